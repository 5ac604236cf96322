#include "enginestream.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUuid>

namespace {

QString newId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace

EngineStream::EngineStream(const Request& request, bool compact)
    : req(request)
    , compact(compact)
    , questionRecordId(newId())
    , answerRecordId(newId())
    , traceId(newId())
{ }

QByteArray EngineStream::block(const QString& type, const QJsonObject& payload) const
{
    QJsonObject data {{QStringLiteral("type"), type}, {QStringLiteral("payload"), payload}};
    if (!compact)
        data.insert(QStringLiteral("message_id"), newId());
    return "event:" + type.toUtf8()
        + "\ndata:" + QJsonDocument(data).toJson(QJsonDocument::Compact);
}

QJsonObject EngineStream::ids(const QString& recordId) const
{
    if (compact)
        return {};
    return {{QStringLiteral("record_id"), recordId},
            {QStringLiteral("request_id"), req.requestId},
            {QStringLiteral("session_id"), req.sessionId},
            {QStringLiteral("trace_id"), traceId}};
}

QByteArray EngineStream::echo(bool evil) const
{
    QJsonObject payload = ids(questionRecordId);
    payload.insert(QStringLiteral("content"), req.question);
    payload.insert(QStringLiteral("is_evil"), evil);
    payload.insert(QStringLiteral("is_final"), true);
    payload.insert(QStringLiteral("is_from_self"), true);
    if (!compact) {
        payload.insert(QStringLiteral("from_name"), QString());
        payload.insert(QStringLiteral("can_rating"), false);
        payload.insert(QStringLiteral("timestamp"), QDateTime::currentSecsSinceEpoch());
    }
    return block(QStringLiteral("reply"), payload);
}

QByteArray EngineStream::thought(const QString& soFar, bool done) const
{
    QJsonObject procedure {
        {QStringLiteral("debugging"), QJsonObject {{QStringLiteral("content"), soFar}}}};
    if (!compact) {
        procedure.insert(QStringLiteral("name"), QStringLiteral("thought"));
        procedure.insert(QStringLiteral("title"), QStringLiteral("思考"));
        procedure.insert(QStringLiteral("status"),
                         done ? QStringLiteral("success") : QStringLiteral("processing"));
        procedure.insert(QStringLiteral("index"), 0);
    }
    QJsonObject payload = ids(answerRecordId);
    payload.insert(QStringLiteral("procedures"), QJsonArray {procedure});
    return block(QStringLiteral("thought"), payload);
}

QByteArray EngineStream::reply(const QString& soFar, bool final) const
{
    QJsonObject payload = ids(answerRecordId);
    payload.insert(QStringLiteral("content"), soFar);
    payload.insert(QStringLiteral("is_evil"), false);
    payload.insert(QStringLiteral("is_final"), final);
    payload.insert(QStringLiteral("is_from_self"), false);
    if (!compact) {
        payload.insert(QStringLiteral("related_record_id"), questionRecordId);
        payload.insert(QStringLiteral("is_llm_generated"), true);
        payload.insert(QStringLiteral("can_rating"), true);
        payload.insert(QStringLiteral("reply_method"), 1);
        payload.insert(QStringLiteral("timestamp"), QDateTime::currentSecsSinceEpoch());
    }
    return block(QStringLiteral("reply"), payload);
}

QByteArray EngineStream::reference() const
{
    const QJsonObject source {
        {QStringLiteral("id"), QStringLiteral("1")},
        {QStringLiteral("name"), QStringLiteral("Lumora 演示资料")},
        {QStringLiteral("type"), 4},
        {QStringLiteral("url"), QStringLiteral("https://example.com/lumora")}};
    QJsonObject payload = ids(answerRecordId);
    payload.insert(QStringLiteral("references"), QJsonArray {source});
    return block(QStringLiteral("reference"), payload);
}

QByteArray EngineStream::tokenStat(int tokens, bool done) const
{
    QJsonObject payload = ids(answerRecordId);
    payload.insert(QStringLiteral("token_count"), tokens);
    payload.insert(QStringLiteral("used_count"), tokens);
    payload.insert(QStringLiteral("free_count"), 0);
    payload.insert(QStringLiteral("order_count"), 0);
    payload.insert(QStringLiteral("status_summary"),
                   done ? QStringLiteral("success") : QStringLiteral("processing"));
    payload.insert(QStringLiteral("procedures"), QJsonArray());
    return block(QStringLiteral("token_stat"), payload);
}

QByteArray EngineStream::error(int code, const QString& message) const
{
    // Error events carry no payload: the error object sits beside "type".
    QJsonObject data {
        {QStringLiteral("type"), QStringLiteral("error")},
        {QStringLiteral("error"),
         QJsonObject {{QStringLiteral("code"), code}, {QStringLiteral("message"), message}}}};
    if (!compact)
        data.insert(QStringLiteral("request_id"), req.requestId);
    return "event:error\ndata:" + QJsonDocument(data).toJson(QJsonDocument::Compact);
}

QByteArray EngineStream::malformed() const
{
    const QByteArray whole = reply(QStringLiteral("此块已损坏"), false);
    return whole.left(whole.size() - 12);
}
