// The chat window in the states the README and the docs show.
#include "shot.h"
#include "shotdriver.h"

#include "chat/dialogmanager.h"
#include "service/ovseverhandler.h"
#include "shell/viewhandler.h"

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

QQuickWindow* chatWithHistory(ShotDriver& driver)
{
    storeEarlierConversations(driver);
    ViewHandler* window = driver.openChatWindow();
    if (!window || !driver.click(QStringLiteral("pullUpButton"))
        || !driver.click(QStringLiteral("historyButton")))
        return nullptr;
    // Open the latest stored conversation from the list.
    const QList<QQuickItem*> entries = driver.items(QStringLiteral("historyEntry"));
    if (entries.isEmpty())
        return nullptr;
    QMetaObject::invokeMethod(entries.first(), "clicked");
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
    };
}
