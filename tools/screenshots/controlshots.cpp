// The controls of the conversation: the stop button while an answer streams, the history's
// search and delete, and the allowance in the bar.
#include "shot.h"
#include "shotdriver.h"

#include "chat/conversationfiltermodel.h"
#include "chat/deepseekhandler.h"
#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "chat/markdownrenderer.h"
#include "service/ovseverhandler.h"
#include "shell/viewhandler.h"

#include <QQuickItem>

namespace {

constexpr int WaitMs = 15000;

void storeKeyboardConversations(const ShotDriver& driver)
{
    driver.storeConversation(
        QStringLiteral("20260301091500"), QStringLiteral("周末出行计划"),
        {QStringLiteral("周末去杭州两天，怎么安排？"),
         MarkdownRenderer::toHtml(QStringLiteral("第一天西湖，第二天灵隐寺。"))});
    driver.storeConversation(
        QStringLiteral("20260302140000"), QStringLiteral("Keyboard lighting"),
        {QStringLiteral("Can the keys glow in one colour?"),
         MarkdownRenderer::toHtml(QStringLiteral("Yes: pick **one colour** in the settings."))});
    driver.storeConversation(
        QStringLiteral("20260303201000"), QStringLiteral("键盘快捷键整理"),
        {QStringLiteral("常用的键盘快捷键有哪些？"),
         MarkdownRenderer::toHtml(QStringLiteral("复制 **Ctrl+C**，粘贴 **Ctrl+V**。"))});
    driver.storeConversation(
        QStringLiteral("20260304083000"), QStringLiteral("Meeting notes summary"),
        {QStringLiteral("Summarise these notes"),
         MarkdownRenderer::toHtml(QStringLiteral("Three decisions, two open points."))});
    driver.storeConversation(
        QStringLiteral("20260305110000"), QStringLiteral("Quiet switches"),
        {QStringLiteral("Which switches are quiet enough for an office keyboard?"),
         MarkdownRenderer::toHtml(QStringLiteral("Linear switches with dampers are quietest."))});
}

// An answer half streamed: the stop button stands where the send button was.
QQuickWindow* stopButton(ShotDriver& driver)
{
    ViewHandler* window = driver.openChatWindow();
    if (!window)
        return nullptr;
    DialogManager* manager = window->dialogManager();
    if (!driver.setText(QStringLiteral("input"), QStringLiteral("键盘的轴体有哪几种？"))
        || !driver.click(QStringLiteral("sendButton")))
        return nullptr;
    const bool streaming = driver.waitUntil(
        [manager] {
            return manager->answering() && manager->dialogModel()->rowCount() == 2
                && manager->dialogModel()->contentAt(1).size() > 2500;
        },
        WaitMs, QStringLiteral("part of the answer"));
    // The rest of the stream is let go without ending the answer: the picture holds still.
    manager->providerClient()->abort();
    driver.settle();
    return streaming && manager->answering() ? window : nullptr;
}

// The history panel filtered by its search field as the user types, its first result open.
QQuickWindow* historySearch(ShotDriver& driver)
{
    storeKeyboardConversations(driver);
    ViewHandler* window = driver.openChatWindow();
    if (!window || !driver.click(QStringLiteral("pullUpButton"))
        || !driver.click(QStringLiteral("historyButton")))
        return nullptr;
    QQuickItem* field = driver.item(QStringLiteral("historySearch"));
    if (!field)
        return nullptr;
    field->forceActiveFocus();
    field->setProperty("text", QStringLiteral("keyboard"));
    ConversationFilterModel* list = window->dialogManager()->historyModel();
    const bool found =
        driver.waitUntil([list] { return list->filtering() && list->rowCount() == 2; }, WaitMs,
                         QStringLiteral("the search's result"));
    // The first result opened: the word was found in its messages, not in its title.
    DialogManager* manager = window->dialogManager();
    if (!found || !driver.click(QStringLiteral("historyEntry")))
        return nullptr;
    const bool opened =
        driver.waitUntil([manager] { return manager->dialogModel()->rowCount() == 2; }, WaitMs,
                         QStringLiteral("the opened result"));
    driver.settle();
    return opened && list->rowCount() == 2 ? window : nullptr;
}

// Deleting asks first.
QQuickWindow* historyDelete(ShotDriver& driver)
{
    storeKeyboardConversations(driver);
    ViewHandler* window = driver.openChatWindow();
    if (!window || !driver.click(QStringLiteral("pullUpButton"))
        || !driver.click(QStringLiteral("historyButton")))
        return nullptr;
    const QList<QQuickItem*> buttons = driver.items(QStringLiteral("deleteButton"));
    if (buttons.size() < 2 || !QMetaObject::invokeMethod(buttons.at(1), "clicked"))
        return nullptr;
    driver.settle();
    QQuickItem* confirmation = driver.item(QStringLiteral("deleteConfirmation"));
    return confirmation && confirmation->isVisible() ? window : nullptr;
}

// Three questions left of fifty: the count turns to the warning colour.
QQuickWindow* allowanceLow(ShotDriver& driver)
{
    ViewHandler* window = driver.openChatWindow();
    if (!window)
        return nullptr;
    emit window->serverHandler()->sigAICountValue(47, 50);
    driver.settle();
    return window->questionsLeft() == 3 && window->allowanceLow() ? window : nullptr;
}

} // namespace

QVector<Shot> controlShots()
{
    return {
        {QStringLiteral("chat-stop-button"),
         QStringLiteral("An answer streaming: the stop button in the send button's place"),
         stopButton},
        {QStringLiteral("chat-history-search"),
         QStringLiteral("The history filtered by its search field, the first result open"),
         historySearch},
        {QStringLiteral("chat-history-delete"),
         QStringLiteral("Deleting a conversation asks first"), historyDelete},
        {QStringLiteral("chat-allowance-low"),
         QStringLiteral("The last questions of the allowance, in the warning colour"),
         allowanceLow},
    };
}
