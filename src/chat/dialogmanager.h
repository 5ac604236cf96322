#pragma once

#include "chat/answerstream.h"
#include "chat/conversationfiltermodel.h"
#include "chat/conversationsaver.h"
#include "chat/conversationsearch.h"
#include "chat/deepseekhandler.h"
// Complete types, so that the model properties are readable from QML.
#include "chat/dialoginfomodel.h"
#include "chat/dialogmodel.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

class ChatHistoryStore;
class ConfigEngine;
class OvSeverHandler;

// The conversation behind the chat window: sends the user's questions to the knowledge
// engine, shows the streamed answer in place of a placeholder, mirrors every question and
// completed answer into the conversation's history file and reports each answer for usage
// counting. Published to the chat view as "dialog_manager".
class DialogManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(DialogModel* dialogModel READ dialogModel NOTIFY dialogModelChanged)
    Q_PROPERTY(DialogInfoModel* dialogInfoModel READ dialogInfoModel NOTIFY dialogInfoModelChanged)
    Q_PROPERTY(bool responseGenerated READ responseGenerated WRITE setResponseGenerated NOTIFY
                   responseGeneratedChanged)
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
    Q_PROPERTY(bool reasonModeActive READ reasonModeActive WRITE setReasonModeActive NOTIFY
                   reasonModeActiveChanged)
    Q_PROPERTY(bool searchModeActive READ searchModeActive WRITE setSearchModeActive NOTIFY
                   searchModeActiveChanged)
    // An answer is on its way (waiting for its first event or streaming): it can be stopped.
    Q_PROPERTY(bool answering READ answering NOTIFY answeringChanged)
    // The conversations as the history panel lists them: all, or the latest search's result.
    Q_PROPERTY(ConversationFilterModel* historyModel READ historyModel CONSTANT)
    // A search is on its way.
    Q_PROPERTY(bool searching READ searching NOTIFY searchingChanged)

public:
    // config gives the user data directory, asked anew for every file operation.
    DialogManager(ConfigEngine* config, OvSeverHandler* service, QObject* parent = nullptr);
    ~DialogManager() override;

    DialogModel* dialogModel() const;
    DialogInfoModel* dialogInfoModel() const;
    bool responseGenerated() const;
    void setResponseGenerated(bool value);
    int currentIndex() const;
    void setCurrentIndex(int value);
    bool reasonModeActive() const;
    void setReasonModeActive(bool value);
    bool searchModeActive() const;
    void setSearchModeActive(bool value);
    bool answering() const;
    ConversationFilterModel* historyModel() const;
    bool searching() const;

    // 0 normal, 1 deep thinking, 2 online search, 3 both: the key of the provider records.
    int modeIndex() const;
    void setDeviceSn(const QString& sn);
    DeepSeekHandler* providerClient() const;
    // Waits until every stored message is in the conversation file (they are written on a
    // worker thread).
    void flushHistory();
    // Reads the stored conversations for the search ahead of it, in the background (the
    // history panel opens).
    void prepareSearch();

    Q_INVOKABLE void sendMessage(QString str, bool regenerated = false);
    Q_INVOKABLE void regenerate();
    Q_INVOKABLE void copy(int index);
    Q_INVOKABLE void parseJSONToCurrentChat();
    Q_INVOKABLE void modifyTitleAtIndex(QString str, int index);
    // Ends the running answer at once and keeps what arrived of it, shown and stored; counted
    // when any answer text had arrived. Does nothing when no answer is running.
    Q_INVOKABLE void stopGeneration();
    // index is a row of dialogInfoModel. Removes the conversation's entry from the index and
    // its file; the open conversation leaves an empty new one. False for a row outside the
    // list, or when the index cannot be written (nothing is removed then).
    Q_INVOKABLE bool deleteConversation(int index);
    // Writes the conversation as Markdown (UTF-8) to filePath (a path or a "file:" URL),
    // atomically. False, leaving no file, when the row is outside the list, its file cannot
    // be read or the target cannot be written.
    Q_INVOKABLE bool exportConversation(int index, const QString& filePath);
    // Answers with searchFinished(): the conversations whose title or text contains text
    // (case-insensitive, in what the user sees of them), newest first. Off the GUI thread;
    // only the latest search answers, and the history panel's list shows its result.
    Q_INVOKABLE void searchConversations(const QString& text);

signals:
    void dialogModelChanged();
    void dialogInfoModelChanged();
    void responseGeneratedChanged();
    void currentIndexChanged();
    void reasonModeActiveChanged();
    void searchModeActiveChanged();
    void answeringChanged();
    void searchingChanged();
    void searchFinished(QString text, QStringList fileNames);

protected slots:
    void onReceivedStreamingData(QString content, QString reasoningContent, bool end);
    void onErrorOccured(DeepSeekHandler::ErrorCode errorCode);

private:
    ChatHistoryStore history() const;
    void startConversation(const QString& question);
    QString freeFileName(QDateTime* when) const;
    void askForAnswer(const QString& question);
    void replaceLastRow(const QString& text);
    void keepAnswerWithError(const QString& text);
    void finishAnswer(bool count);
    void setAnswering(bool value);
    void showAnswer(bool hasContent, const QString& content, bool hasReasoning,
                    const QString& reasoning);
    void completeAnswer(const QString& content, const QString& reasoning);
    void forgetOpenConversation();
    void removeLastStored();
    void storeRow(int row);
    QString currentFileName() const;

    QPointer<ConfigEngine> config;
    QPointer<OvSeverHandler> service;
    DeepSeekHandler* provider = nullptr;
    DialogModel* messages = nullptr;
    DialogInfoModel* conversations = nullptr;
    bool generated = false;
    int index = -1;
    bool reasonMode = false;
    bool searchMode = false;
    bool answerRunning = false;
    bool answerTextArrived = false; // the running answer has shown some answer text
    int questionCount = 0;
    QString sessionId;
    QString deviceSn;
    // The answer and reasoning of the pending request, converted as they grow and once more
    // when they end.
    AnswerStream answers;
    // Writes the conversation file off the GUI thread; drained before the file is read.
    mutable ConversationSaver saver;
    // Waits for the saver's writes, so it goes first.
    ConversationSearch search;
    ConversationFilterModel* historyList = nullptr;
    QString searchedText; // the latest search, repeated when a conversation is added
};
