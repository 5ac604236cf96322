#include "chat/deepseekhandler.h"

#include "core/endpoints.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

DeepSeekHandler::DeepSeekHandler(QObject* parent)
    : QObject(parent)
    , manager(new QNetworkAccessManager(this))
{
    qRegisterMetaType<DeepSeekHandler::ErrorCode>();
    stallTimer.setSingleShot(true);
    stallTimer.setInterval(DefaultStallTimeoutMs);
    connect(&stallTimer, &QTimer::timeout, this, &DeepSeekHandler::onStalled);
    deadlineTimer.setSingleShot(true);
    deadlineTimer.setInterval(DefaultDeadlineMs);
    connect(&deadlineTimer, &QTimer::timeout, this, &DeepSeekHandler::endRequest);
}

DeepSeekHandler::~DeepSeekHandler()
{
    // Replies die with the manager; none of their last signals may reach a half-gone handler.
    if (currentReply)
        currentReply->disconnect(this);
    delete manager;
}

int DeepSeekHandler::stallTimeout() const
{
    return stallTimer.interval();
}

void DeepSeekHandler::setStallTimeout(int milliseconds)
{
    stallTimer.setInterval(milliseconds);
}

int DeepSeekHandler::deadline() const
{
    return deadlineTimer.interval();
}

void DeepSeekHandler::setDeadline(int milliseconds)
{
    deadlineTimer.setInterval(milliseconds);
}

int DeepSeekHandler::maxAnswerLength() const
{
    return answerLimit;
}

void DeepSeekHandler::setMaxAnswerLength(int characters)
{
    answerLimit = characters;
}

void DeepSeekHandler::postKnowledgeEngine(const QString& question, const QString& requestId,
                                          const QString& sessionId, const QString& visitorId,
                                          const QString& botKey)
{
    const QByteArray body = requestBody(question, requestId, sessionId, visitorId, botKey);
    QNetworkRequest request(QUrl(Endpoints::engineBaseUrl() + QStringLiteral("/v1/qbot/chat/sse")));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));

    if (currentReply)
        retire(currentReply);
    parser.reset();
    answered = false;
    errorReported = false;
    currentReply = manager->post(request, body);
    currentReply->setReadBufferSize(ReadBufferBytes);
    connect(currentReply, &QNetworkReply::readyRead, this, &DeepSeekHandler::onReadyRead);
    connect(currentReply, &QNetworkReply::finished, this, &DeepSeekHandler::onReplyFinished);
    stallTimer.start();
    deadlineTimer.start();
}

void DeepSeekHandler::abort()
{
    QNetworkReply* reply = currentReply;
    if (!reply)
        return;
    stallTimer.stop();
    deadlineTimer.stop();
    currentReply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    manager->clearAccessCache();
}

bool DeepSeekHandler::isRunning() const
{
    return currentReply != nullptr;
}

QByteArray DeepSeekHandler::requestBody(const QString& question, const QString& requestId,
                                        const QString& sessionId, const QString& visitorId,
                                        const QString& botKey)
{
    QJsonObject body;
    body.insert(QStringLiteral("request_id"), requestId);
    body.insert(QStringLiteral("content"), question);
    body.insert(QStringLiteral("session_id"), sessionId);
    body.insert(QStringLiteral("bot_app_key"), botKey);
    body.insert(QStringLiteral("visitor_biz_id"), visitorId);
    return QJsonDocument(body).toJson();
}

// A request still running when the next one starts is left to finish on its own: its
// bytes belong to another answer and must not mix into the current stream.
void DeepSeekHandler::retire(QNetworkReply* reply)
{
    reply->disconnect(this);
    if (reply->isFinished())
        reply->deleteLater();
    else
        connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

void DeepSeekHandler::onReadyRead()
{
    if (!currentReply)
        return;
    stallTimer.start();
    deliver(parser.feed(currentReply->readAll()));
}

void DeepSeekHandler::onReplyFinished()
{
    QNetworkReply* reply = currentReply;
    if (!reply)
        return;
    stallTimer.stop();
    deadlineTimer.stop();
    const bool failed = reply->error() != QNetworkReply::NoError;
    if (reply->isOpen()) // an aborted reply is closed
        deliver(parser.feed(reply->readAll()));
    if (reply == currentReply)
        deliver(parser.finish());
    if (reply != currentReply)
        return; // a receiver started the next request; this one is already retired
    manager->clearAccessCache();
    reply->deleteLater();
    currentReply = nullptr;
    // Last, so that a request started by a receiver of the error stays the current one.
    // A stream that ends without its final answer would otherwise leave the caller waiting.
    if (failed || !answered)
        reportError(ServerBusy);
}

void DeepSeekHandler::deliver(const QVector<EventStreamParser::Event>& events)
{
    QNetworkReply* reply = currentReply;
    for (const EventStreamParser::Event& event : events) {
        if (reply != currentReply)
            return; // a receiver started another request meanwhile
        if (event.content.size() > answerLimit || event.reasoning.size() > answerLimit) {
            endRequest();
            return;
        }
        switch (event.kind) {
        case EventStreamParser::Event::Refusal:
            reportError(Refused);
            break;
        case EventStreamParser::Event::Content:
            answered = answered || event.end;
            emit receivedStreamingData(event.content, QString(), event.end);
            break;
        case EventStreamParser::Event::Reasoning:
            emit receivedStreamingData(QString(), event.reasoning, false);
            break;
        }
    }
}

void DeepSeekHandler::reportError(ErrorCode code)
{
    if (errorReported)
        return;
    errorReported = true;
    emit error(code);
}

void DeepSeekHandler::onStalled()
{
    endRequest();
}

// Finishes the running reply with an error, reported as ServerBusy; what was shown stays.
void DeepSeekHandler::endRequest()
{
    if (currentReply && !currentReply->isFinished())
        currentReply->abort();
}
