#include "chat/dialogmanager.h"

#include "chat/chathistorystore.h"
#include "chat/conversationexporter.h"
#include "chat/dialoginfomodel.h"
#include "chat/dialogmodel.h"
#include "core/configengine.h"
#include "service/ovseverhandler.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextDocument>

namespace {

constexpr int TitleLength = 30;
constexpr int SenderQuestion = 0;
constexpr int SenderAnswer = 1;
constexpr int ContentRole = 1;
constexpr int ReasoningRole = 2;
const QString FileNameFormat = QStringLiteral("yyyyMMddHHmmss");

} // namespace

DialogManager::DialogManager(ConfigEngine* config, OvSeverHandler* service, QObject* parent)
    : QObject(parent)
    , config(config)
    , service(service)
    , provider(new DeepSeekHandler(this))
    , messages(new DialogModel)
    , conversations(new DialogInfoModel)
    , search([this] { saver.flush(); })
    , historyList(new ConversationFilterModel(conversations, this))
{
    connect(provider, &DeepSeekHandler::receivedStreamingData, this,
            &DialogManager::onReceivedStreamingData);
    connect(provider, &DeepSeekHandler::error, this, &DialogManager::onErrorOccured);
    connect(&answers, &AnswerStream::shown, this, &DialogManager::showAnswer);
    connect(&answers, &AnswerStream::finished, this, &DialogManager::completeAnswer);

    connect(&search, &ConversationSearch::searchingChanged, this, &DialogManager::searchingChanged);
    connect(&search, &ConversationSearch::finished, this, &DialogManager::searchFinished);
    connect(&search, &ConversationSearch::finished, historyList,
            &ConversationFilterModel::showResult);
    // A conversation started while the list is filtered is searched for too.
    connect(conversations, &QAbstractItemModel::rowsInserted, this, [this] {
        if (!searchedText.isEmpty())
            searchConversations(searchedText);
    });

    for (const ChatHistoryStore::IndexEntry& entry : history().loadIndex())
        conversations->append(entry.title, entry.fileName, entry.modifiedTime);
    // The answer given just before quitting is written before the process ends.
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
            answers.flush();
            saver.flush();
        });
}

DialogManager::~DialogManager()
{
    delete historyList;
    delete messages;
    delete conversations;
}

void DialogManager::sendMessage(QString str, bool regenerated)
{
    setResponseGenerated(false);
    answerTextArrived = false;
    setAnswering(true);
    if (messages->rowCount() == 0)
        startConversation(str);
    if (!regenerated) {
        messages->append(SenderQuestion, str, QString());
        storeRow(messages->rowCount() - 1);
    }
    messages->append(SenderAnswer, tr("Generating response..."), QString());
    answers.reset();
    askForAnswer(str);
}

void DialogManager::startConversation(const QString& question)
{
    QDateTime now = QDateTime::currentDateTime();
    const QString fileName = freeFileName(&now);
    const QString title = question.left(TitleLength);
    conversations->append(title, fileName, now);
    setCurrentIndex(conversations->rowCount() - 1);
    saver.appendIndexEntry(history(), title, fileName, now);
    questionCount = 0;
    sessionId = fileName;
}

// Conversation files are named after their creation second; a second conversation started
// within the same second would overwrite the first one's file, so it takes the next free one.
QString DialogManager::freeFileName(QDateTime* when) const
{
    const ChatHistoryStore store = history();
    saver.flush(); // a conversation file still being written must count as in use
    QString fileName = when->toString(FileNameFormat);
    while (store.isFileNameInUse(fileName)) {
        *when = when->addSecs(1);
        fileName = when->toString(FileNameFormat);
    }
    return fileName;
}

void DialogManager::askForAnswer(const QString& question)
{
    const QVariantMap record = service ? service->apiInfo(modeIndex()) : QVariantMap();
    if (record.isEmpty()) {
        replaceLastRow(tr("Network error, please check your connection."));
        return;
    }
    provider->postKnowledgeEngine(question, QString::number(questionCount), sessionId, deviceSn,
                                  record.value(QStringLiteral("apiKey")).toString());
}

void DialogManager::onReceivedStreamingData(QString content, QString reasoningContent, bool end)
{
    // Once the answer has ended (final reply, refusal or failure) it is shown and stored as it
    // stands: data the network still delivers must not rewrite, store or count it again.
    if (messages->rowCount() == 0 || generated || answers.isFinishing())
        return;
    answerTextArrived = answerTextArrived || !content.isEmpty();
    answers.update(content, reasoningContent);
    if (end)
        answers.finish();
}

// The first update replaces the placeholder; later ones replace the answer or the reasoning.
void DialogManager::showAnswer(bool hasContent, const QString& content, bool hasReasoning,
                               const QString& reasoning)
{
    const int lastRow = messages->rowCount() - 1;
    if (lastRow < 0 || generated)
        return;
    if (messages->contentAt(lastRow) == tr("Generating response...")) {
        messages->deleteAtIndex(lastRow);
        messages->append(SenderAnswer, content, reasoning);
        return;
    }
    const QModelIndex last = messages->index(lastRow);
    if (hasReasoning)
        messages->setData(last, reasoning, ReasoningRole);
    if (hasContent)
        messages->setData(last, content, ContentRole);
}

// The ended answer, converted whole: shown (mostly the same as streamed), stored and counted.
void DialogManager::completeAnswer(const QString& content, const QString& reasoning)
{
    const int lastRow = messages->rowCount() - 1;
    if (lastRow < 0 || generated) {
        setResponseGenerated(true);
        return;
    }
    const QModelIndex last = messages->index(lastRow);
    if (messages->items().at(lastRow).reasoningContent != reasoning)
        messages->setData(last, reasoning, ReasoningRole);
    if (messages->contentAt(lastRow) != content)
        messages->setData(last, content, ContentRole);
    finishAnswer(true);
}

// The answer as it stands is the answer: stored, the wait ended, and counted when asked.
void DialogManager::finishAnswer(bool count)
{
    storeRow(messages->rowCount() - 1);
    setResponseGenerated(true);
    if (count && service)
        service->addCount(deviceSn);
}

void DialogManager::stopGeneration()
{
    // An answer whose final event came is complete already; it is being converted whole.
    if (!answerRunning || answers.isFinishing())
        return;
    provider->abort();
    answers.showNow();
    const int lastRow = messages->rowCount() - 1;
    if (lastRow < 0) { // the conversation went from under the answer
        setResponseGenerated(true);
        return;
    }
    // Without any answer text the row says so instead of standing empty (or as the
    // placeholder); the reasoning that arrived stays.
    if (!answerTextArrived)
        messages->setData(messages->index(lastRow), tr("The answer was stopped."), ContentRole);
    finishAnswer(answerTextArrived);
}

void DialogManager::onErrorOccured(DeepSeekHandler::ErrorCode errorCode)
{
    // A transport error can still arrive after the final reply; the answer is complete (or
    // being completed) by then, and must not be replaced by an error text.
    if (generated || answers.isFinishing())
        return;
    if (errorCode == DeepSeekHandler::Refused) {
        // A refusal withdraws whatever the engine had written so far.
        replaceLastRow(tr("I'm sorry, I can't provide this information. If you have any other "
                          "questions or need help with anything else, I’d be happy to "
                          "assist!:)"));
        return;
    }
    const QString text = tr("The server is busy, please try again later.");
    if (answerTextArrived)
        keepAnswerWithError(text);
    else
        replaceLastRow(text);
}

// A failure after part of the answer arrived: that part stays, the error follows as a
// paragraph of its own, and the answer is not counted.
void DialogManager::keepAnswerWithError(const QString& text)
{
    answers.showNow();
    const int lastRow = messages->rowCount() - 1;
    const QString paragraph = QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>");
    QString html = messages->contentAt(lastRow);
    const int end = html.lastIndexOf(QLatin1String("</html>"));
    html.insert(end < 0 ? html.size() : end, paragraph);
    messages->setData(messages->index(lastRow), html, ContentRole);
    finishAnswer(false);
}

// Puts a status text where the pending or partial answer was, stores it and ends the wait.
void DialogManager::replaceLastRow(const QString& text)
{
    answers.reset();
    if (messages->rowCount() > 0)
        messages->deleteAtIndex(messages->rowCount() - 1);
    messages->append(SenderAnswer, text, QString());
    storeRow(messages->rowCount() - 1);
    setResponseGenerated(true);
}

void DialogManager::storeRow(int row)
{
    const DialogRecord& record = messages->items().at(row);
    saver.appendMessage(history(), currentFileName(), messages->rowCount() == 1, record.sender,
                        record.content, record.reasoningContent);
    search.conversationChanged(currentFileName());
}

void DialogManager::removeLastStored()
{
    saver.removeLastMessage(history(), currentFileName());
    search.conversationChanged(currentFileName());
}

void DialogManager::regenerate()
{
    if (messages->rowCount() == 0)
        return;
    if (messages->items().constLast().sender == SenderAnswer) {
        messages->deleteAtIndex(messages->rowCount() - 1);
        removeLastStored();
    }
    if (messages->rowCount() == 0 || messages->items().constLast().sender != SenderQuestion)
        return;
    sendMessage(messages->items().constLast().content, true);
}

void DialogManager::copy(int index)
{
    if (index < 0 || index >= messages->rowCount())
        return;
    const DialogRecord& record = messages->items().at(index);
    QString text;
    if (record.sender != SenderQuestion) {
        QTextDocument document;
        document.setHtml(record.content);
        text = document.toPlainText();
    }
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void DialogManager::parseJSONToCurrentChat()
{
    if (index < 0 || index >= conversations->rowCount())
        return;
    const QString fileName = conversations->items().at(index).fileName;
    saver.flush();
    const ChatHistoryStore::Conversation conversation = history().loadConversation(fileName);
    if (conversation.outcome == ChatHistoryStore::Conversation::Outcome::Unreadable)
        return;
    sessionId = fileName;
    questionCount = 0;
    for (const ChatHistoryStore::Message& message : conversation.messages) {
        if (message.sender == SenderQuestion)
            ++questionCount;
        messages->append(message.sender, message.content, message.reasoningContent);
    }
    setResponseGenerated(true);
}

void DialogManager::modifyTitleAtIndex(QString str, int index)
{
    conversations->setData(conversations->index(index), str, 0);
    const QString fileName = conversations->data(conversations->index(index), 1).toString();
    saver.flush(); // the index may still be getting a new entry
    history().renameIndexEntry(fileName, str);
}

bool DialogManager::deleteConversation(int row)
{
    if (row < 0 || row >= conversations->rowCount())
        return false;
    const bool open = row == index;
    if (open)
        stopGeneration(); // what arrived is stored and counted, then goes with the rest
    saver.flush(); // the index may still be getting an entry, the file a message
    if (!history().removeConversation(row, conversations->items().at(row).fileName))
        return false;
    conversations->remove(row);
    if (open)
        forgetOpenConversation();
    else if (row < index)
        setCurrentIndex(index - 1);
    return true;
}

// The open conversation was deleted: the chat starts a new one with the next question.
void DialogManager::forgetOpenConversation()
{
    answers.reset(); // an answer still being converted whole has nowhere to go
    messages->clearAll();
    setCurrentIndex(-1);
    sessionId.clear();
    questionCount = 0;
    setResponseGenerated(true);
}

bool DialogManager::exportConversation(int row, const QString& filePath)
{
    if (row < 0 || row >= conversations->rowCount())
        return false;
    const DialogInfoRecord& record = conversations->items().at(row);
    saver.flush();
    const ChatHistoryStore::Conversation conversation = history().loadConversation(record.fileName);
    if (conversation.outcome != ChatHistoryStore::Conversation::Outcome::Loaded)
        return false;
    return ConversationExporter::write(
        filePath, ConversationExporter::markdown(record.title, conversation.messages));
}

void DialogManager::searchConversations(const QString& text)
{
    searchedText = text;
    search.search(text, history(), conversations->items());
}

void DialogManager::prepareSearch()
{
    search.prepare(history(), conversations->items());
}

ChatHistoryStore DialogManager::history() const
{
    return ChatHistoryStore(config ? config->dataLocation() : QString());
}

QString DialogManager::currentFileName() const
{
    if (index < 0 || index >= conversations->rowCount())
        return QString();
    return conversations->items().at(index).fileName;
}
