#pragma once

#include "chat/eventstreamparser.h"

#include <QObject>
#include <QString>
#include <QTimer>

class QNetworkAccessManager;
class QNetworkReply;

// Sends one question to the knowledge engine and turns its event stream into signals.
// Every request carries only the current question; the engine keeps the context of the
// conversation under the session id.
class DeepSeekHandler : public QObject
{
    Q_OBJECT

public:
    enum ErrorCode {
        ServerBusy = 0, // network or HTTP failure, a stream that stalled or ended unanswered
        Refused = 1, // the engine flagged the question
    };
    Q_ENUM(ErrorCode)

    // No bytes for this long ends a request as failed.
    static constexpr int DefaultStallTimeoutMs = 60000;
    // However steadily bytes come, a request ends as failed after this long: an engine that
    // trickles a byte now and then must not keep the answer pending for ever.
    static constexpr int DefaultDeadlineMs = 5 * 60 * 1000;
    // An answer (or reasoning) longer than this many characters ends the request as failed;
    // what was shown stays. Each event carries the whole answer so far, so this also bounds
    // what one event may hold.
    static constexpr int DefaultMaxAnswerLength = 400000;
    // What Qt may buffer of a reply between two reads.
    static constexpr qint64 ReadBufferBytes = 1024 * 1024;

    explicit DeepSeekHandler(QObject* parent = nullptr);
    ~DeepSeekHandler() override;

    void postKnowledgeEngine(const QString& question, const QString& requestId,
                             const QString& sessionId, const QString& visitorId,
                             const QString& botKey);

    // Ends the running request at once: the connection closes and no further signal of it
    // arrives. Nothing happens without a running request.
    void abort();
    bool isRunning() const;

    int stallTimeout() const;
    void setStallTimeout(int milliseconds);
    int deadline() const;
    void setDeadline(int milliseconds);
    int maxAnswerLength() const;
    void setMaxAnswerLength(int characters);

signals:
    void receivedStreamingData(QString content, QString reasoningContent, bool end);
    void error(DeepSeekHandler::ErrorCode errorCode = ServerBusy);

protected slots:
    void onReadyRead();
    void onReplyFinished();

private:
    static QByteArray requestBody(const QString& question, const QString& requestId,
                                  const QString& sessionId, const QString& visitorId,
                                  const QString& botKey);
    void retire(QNetworkReply* reply);
    void deliver(const QVector<EventStreamParser::Event>& events);
    void reportError(ErrorCode code);
    void onStalled();
    void endRequest();

    QNetworkAccessManager* manager = nullptr;
    QNetworkReply* currentReply = nullptr;
    EventStreamParser parser;
    QTimer stallTimer;
    QTimer deadlineTimer;
    int answerLimit = DefaultMaxAnswerLength;
    // State of the current request.
    bool answered = false; // the final reply event arrived
    bool errorReported = false; // at most one error per request
};
