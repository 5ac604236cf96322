#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// Writes the blocks of one answer in the knowledge engine's stream format:
// "event:<type>\ndata:<one-line json>", without the blank line that ends a block.
// Compact blocks leave out the members the app never reads; tests that cut the stream at
// every byte use them to stay short.
class EngineStream
{
public:
    struct Request
    {
        QString question;
        QString requestId;
        QString sessionId;
        QString visitorId;
        QString botKey;
    };

    EngineStream(const Request& request, bool compact);

    QByteArray echo(bool evil) const; // the engine repeats the question first
    QByteArray thought(const QString& soFar, bool done) const;
    QByteArray reply(const QString& soFar, bool final) const;
    QByteArray reference() const;
    QByteArray tokenStat(int tokens, bool done) const;
    QByteArray error(int code, const QString& message) const;
    QByteArray malformed() const; // a reply block whose JSON breaks off

    const Request& request() const { return req; }
    bool isCompact() const { return compact; }

private:
    QByteArray block(const QString& type, const QJsonObject& payload) const;
    QJsonObject ids(const QString& recordId) const;

    Request req;
    bool compact;
    QString questionRecordId;
    QString answerRecordId;
    QString traceId;
};
