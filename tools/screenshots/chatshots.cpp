// The chat window in the states the README and the docs show.
#include "shot.h"
#include "shotdriver.h"

#include "chat/dialogmanager.h"
#include "chat/markdownrenderer.h"
#include "service/ovseverhandler.h"
#include "shell/thememanager.h"
#include "shell/viewhandler.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QQuickItem>

namespace {

// A few earlier conversations, so the history panel has something to show.
void storeEarlierConversations(const ShotDriver& driver)
{
    driver.storeConversation(QStringLiteral("20260301091500"), QStringLiteral("周末出行计划"),
                             {QStringLiteral("周末去杭州两天，怎么安排？"),
                              QStringLiteral("<p>第一天西湖，第二天灵隐寺。</p>")});
    driver.storeConversation(QStringLiteral("20260302140000"), QStringLiteral("Regex for dates"),
                             {QStringLiteral("A regex for ISO dates?"),
                              QStringLiteral("<p><code>\\d{4}-\\d{2}-\\d{2}</code></p>")});
    driver.storeConversation(QStringLiteral("20260303201000"), QStringLiteral("键盘快捷键整理"),
                             {QStringLiteral("常用的键盘快捷键有哪些？"),
                              QStringLiteral("<p>复制 Ctrl+C，粘贴 Ctrl+V。</p>")});
    driver.storeConversation(QStringLiteral("20260304083000"),
                             QStringLiteral("Meeting notes summary"),
                             {QStringLiteral("Summarise these notes"),
                              QStringLiteral("<p>Three decisions, two open points.</p>")});
}

QQuickWindow* barAllowed(ShotDriver& driver)
{
    return driver.openChatWindow();
}

QQuickWindow* barNoKeyboard(ShotDriver& driver)
{
    return driver.openChatWindow(false);
}

QQuickWindow* barQuotaUsedUp(ShotDriver& driver)
{
    ViewHandler* window = driver.openChatWindow();
    if (!window)
        return nullptr;
    // The service's reply for a keyboard whose 50 answers are used up.
    emit window->serverHandler()->sigAICountValue(50, 50);
    return window->notEnough() ? window : nullptr;
}

QQuickWindow* multiLineInput(ShotDriver& driver)
{
    ViewHandler* window = driver.openChatWindow();
    if (!window)
        return nullptr;
    const bool typed = driver.setText(
        QStringLiteral("input"),
        QStringLiteral("帮我写一封简短的邮件，告诉团队周五的发布推迟到下周一。\n"
                       "Keep it friendly and mention that the release notes are ready.\n"
                       "Sign it with my name."));
    return typed && window->height() == 212 + 24 ? window : nullptr;
}

QQuickWindow* chatWithReasoning(ShotDriver& driver)
{
    ViewHandler* window = driver.openChatWindow();
    if (!window)
        return nullptr;
    window->dialogManager()->setReasonModeActive(true);
    return driver.ask(QStringLiteral("用一句话解释什么是流式输出？")) ? window : nullptr;
}

// The chat window with its history panel open and the latest stored conversation opened
// from the list.
ViewHandler* openLatestConversation(ShotDriver& driver)
{
    ViewHandler* window = driver.openChatWindow();
    if (!window || !driver.click(QStringLiteral("pullUpButton"))
        || !driver.click(QStringLiteral("historyButton")))
        return nullptr;
    const QList<QQuickItem*> entries = driver.items(QStringLiteral("historyEntry"));
    if (entries.isEmpty())
        return nullptr;
    QMetaObject::invokeMethod(entries.first(), "clicked");
    return window;
}

QQuickWindow* chatWithHistory(ShotDriver& driver)
{
    storeEarlierConversations(driver);
    ViewHandler* window = openLatestConversation(driver);
    if (!window)
        return nullptr;
    driver.settle();
    return window->width() == 660 ? window : nullptr;
}

QQuickWindow* renameInProgress(ShotDriver& driver)
{
    QQuickWindow* window = chatWithHistory(driver);
    if (!window)
        return nullptr;
    QQuickItem* editor = driver.items(QStringLiteral("historyTitleEditor")).value(1);
    if (!editor || !QMetaObject::invokeMethod(editor->parentItem(), "startRename"))
        return nullptr;
    editor->setProperty("text", QStringLiteral("日期正则"));
    driver.settle();
    return editor->isVisible() ? window : nullptr;
}

// A long stored answer, shown in several pieces.
QString longAnswer()
{
    QString markdown;
    for (int part = 1; part <= 8; ++part) {
        markdown +=
            QStringLiteral("## 第 %1 部分\n\n线性轴从上到下手感**顺滑**，段落轴有明显的*段落感*。"
                           "Most people settle within a week.\n\n- 红轴：安静\n- 青轴：清脆\n\n"
                           "| 轴体 | 压力 | 声音 |\n|---|---|---|\n| 红 | 45 g | 安静 |\n"
                           "| 青 | 60 g | 响亮 |\n\n选择之前最好先试用。\n\n")
                .arg(part);
    }
    return MarkdownRenderer::toHtml(markdown);
}

void drag(QQuickWindow* window, const QPointF& from, const QPointF& to)
{
    const auto send = [window](QEvent::Type type, const QPointF& at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, at, window->mapToGlobal(at.toPoint()), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QGuiApplication::sendEvent(window, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// A long answer scrolled to where two of its pieces meet, with a selection running from one
// into the other: it reads and selects as one text.
QQuickWindow* longAnswerSelected(ShotDriver& driver)
{
    driver.storeConversation(QStringLiteral("20260305100000"), QStringLiteral("机械键盘选购"),
                             {QStringLiteral("机械键盘的轴体怎么选？"), longAnswer()});
    ViewHandler* window = openLatestConversation(driver);
    if (!window)
        return nullptr;
    driver.click(QStringLiteral("historyButton")); // the history panel closes again
    driver.settle();
    QQuickItem* list = driver.item(QStringLiteral("dialogList"));
    QQuickItem* answer = nullptr;
    for (QQuickItem* candidate : driver.items(QStringLiteral("answerText"))) {
        if (candidate->isVisible() && candidate->childItems().size() > 2)
            answer = candidate;
    }
    if (!list || !answer)
        return nullptr;
    // The second piece's top, brought to the middle of the list.
    QQuickItem* second = nullptr;
    for (QQuickItem* child : answer->childItems()) {
        if (child->y() > 0 && !second)
            second = child;
    }
    if (!second)
        return nullptr;
    const qreal boundary = list->mapFromItem(answer, QPointF(0, second->y())).y();
    list->setProperty("contentY", list->property("contentY").toReal() + boundary - 200);
    driver.settle();
    const QPointF top = second->mapToScene(QPointF(40, -60));
    drag(window, top, second->mapToScene(QPointF(300, 50)));
    driver.settle();
    return answer->property("hasSelection").toBool() ? window : nullptr;
}

// An answer with a numbered list with nested items, a highlighted code block (its copy button
// showing) and a table, opened from the history; dark: in the dark theme.
QQuickWindow* answerWithCodeTableAndList(ShotDriver& driver, bool dark)
{
    const QString markdown = QStringLiteral(
        "Read the sensor in three steps:\n\n"
        "1. Prepare the board\n   - enable **I2C** in the settings\n   - `pip install smbus2`\n"
        "2. Read the value once a second\n3. Compare with the table\n\n"
        "```python\nimport time\nfrom smbus2 import SMBus\n\n"
        "with SMBus(1) as bus:\n    while True:\n"
        "        raw = bus.read_word_data(0x48, 0)  # two bytes, swapped\n"
        "        print(f\"{raw * 0.0625:.1f} °C\")\n        time.sleep(1)\n```\n\n"
        "| Sensor | Address | Range |\n|:--|:-:|--:|\n| TMP102 | 0x48 | -40 to 125 °C |\n"
        "| BME280 | 0x76 | 300 to 1100 hPa |\n");
    driver.storeConversation(QStringLiteral("20260306090000"), QStringLiteral("读取温度传感器"),
                             {QStringLiteral("How do I read a TMP102 from a Raspberry Pi?"),
                              MarkdownRenderer::toHtml(markdown)});
    ViewHandler* window = openLatestConversation(driver);
    if (!window)
        return nullptr;
    if (dark)
        window->themeManager()->setCurrentTheme(QLatin1String(ThemeManager::DarkTheme));
    driver.click(QStringLiteral("historyButton")); // the history panel closes again
    driver.settle();
    const QList<QQuickItem*> buttons = driver.items(QStringLiteral("codeCopyButton"));
    const bool shown = !buttons.isEmpty() && buttons.first()->isVisible();
    return shown && window->darkTheme() == dark ? window : nullptr;
}

QQuickWindow* answerLight(ShotDriver& driver)
{
    return answerWithCodeTableAndList(driver, false);
}

QQuickWindow* answerDark(ShotDriver& driver)
{
    return answerWithCodeTableAndList(driver, true);
}

} // namespace

QVector<Shot> chatShots()
{
    return {
        {QStringLiteral("chat-bar"), QStringLiteral("The bar, questions allowed"), barAllowed},
        {QStringLiteral("chat-bar-no-keyboard"),
         QStringLiteral("The bar without a keyboard: questions blocked"), barNoKeyboard},
        {QStringLiteral("chat-bar-quota-used-up"),
         QStringLiteral("The bar once the allowance is used up"), barQuotaUsedUp},
        {QStringLiteral("chat-multi-line-input"), QStringLiteral("A question of several lines"),
         multiLineInput},
        {QStringLiteral("chat-answer-with-reasoning"),
         QStringLiteral("A streamed answer with its reasoning (deep thinking)"), chatWithReasoning},
        {QStringLiteral("chat-with-history"), QStringLiteral("The chat with the history panel"),
         chatWithHistory},
        {QStringLiteral("chat-history-rename"), QStringLiteral("Renaming a conversation"),
         renameInProgress},
        {QStringLiteral("chat-long-answer-selected"),
         QStringLiteral("A long answer, selected across two of its pieces"), longAnswerSelected},
        {QStringLiteral("chat-answer-code-table-list-light"),
         QStringLiteral("An answer with a list, a highlighted code block and a table, light"),
         answerLight},
        {QStringLiteral("chat-answer-code-table-list-dark"),
         QStringLiteral("The same answer in the dark theme"), answerDark},
    };
}
