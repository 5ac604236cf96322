// The first-run windows, and the chat bar in Chinese beside the English shots of chatshots.cpp.
#include "shot.h"
#include "shotdriver.h"

#include "core/languagemanager.h"
#include "shell/firstrunwindows.h"
#include "shell/viewhandler.h"

#include <QQuickItem>
#include <QQuickWindow>

namespace {

constexpr int ChineseRow = 0; // the language list's first row

void switchToChinese(ShotDriver& driver)
{
    driver.window()->languageManager()->setOptLanguageIndex(ChineseRow);
    driver.settle();
}

QQuickWindow* agreement(ShotDriver& driver, bool chinese, bool ticked)
{
    ViewHandler* window = driver.openBeforeAgreement();
    if (chinese)
        switchToChinese(driver);
    window->setAgreePolicy(ticked);
    driver.settle();
    return window->firstRunWindows()->agreementWindow();
}

QQuickWindow* agreementEnglish(ShotDriver& driver)
{
    return agreement(driver, false, false);
}

QQuickWindow* agreementChinese(ShotDriver& driver)
{
    return agreement(driver, true, true);
}

// What follows the agreement: tick, "agree", and the guide comes up.
QQuickWindow* guideAfterAgreement(ShotDriver& driver, bool chinese)
{
    QQuickWindow* window = agreement(driver, chinese, true);
    QQuickItem* agree =
        window ? window->findChild<QQuickItem*>(QStringLiteral("agreeButton")) : nullptr;
    if (!agree || !QMetaObject::invokeMethod(agree, "clicked"))
        return nullptr;
    driver.settle();
    return driver.window()->firstRunWindows()->guideWindow();
}

QQuickWindow* guideEnglish(ShotDriver& driver)
{
    return guideAfterAgreement(driver, false);
}

QQuickWindow* guideChinese(ShotDriver& driver)
{
    return guideAfterAgreement(driver, true);
}

QQuickWindow* barChinese(ShotDriver& driver, bool pressKey)
{
    if (!driver.openChatWindow(pressKey))
        return nullptr;
    switchToChinese(driver);
    return driver.window();
}

QQuickWindow* barAllowedChinese(ShotDriver& driver)
{
    return barChinese(driver, true);
}

QQuickWindow* barNoKeyboardChinese(ShotDriver& driver)
{
    return barChinese(driver, false);
}

} // namespace

QVector<Shot> languageShots()
{
    return {
        {QStringLiteral("first-run-agreement"),
         QStringLiteral("The agreement window of the first start"), agreementEnglish},
        {QStringLiteral("first-run-agreement-chinese"),
         QStringLiteral("The agreement window in Chinese, box ticked"), agreementChinese},
        {QStringLiteral("first-run-guide"), QStringLiteral("The guide window after the agreement"),
         guideEnglish},
        {QStringLiteral("first-run-guide-chinese"), QStringLiteral("The guide window in Chinese"),
         guideChinese},
        {QStringLiteral("chat-bar-chinese"),
         QStringLiteral("The bar in Chinese, questions allowed"), barAllowedChinese},
        {QStringLiteral("chat-bar-no-keyboard-chinese"),
         QStringLiteral("The bar in Chinese without a keyboard"), barNoKeyboardChinese},
    };
}
