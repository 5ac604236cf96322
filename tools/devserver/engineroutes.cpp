#include "engineroutes.h"

#include "devkeys.h"
#include "enginefault.h"

#include <QJsonDocument>

#include <httplib.h>

namespace {

const char* const faultHeader = "X-Lumora-Fault";

void replyJson(httplib::Response& response, int status, const QJsonObject& body)
{
    response.status = status;
    const QByteArray bytes = QJsonDocument(body).toJson(QJsonDocument::Compact);
    response.set_content(bytes.constData(), static_cast<size_t>(bytes.size()), "application/json");
}

EngineStream::Request parseRequest(const QJsonObject& body)
{
    EngineStream::Request request;
    request.question = body.value(QLatin1String("content")).toString();
    request.requestId = body.value(QLatin1String("request_id")).toString();
    request.sessionId = body.value(QLatin1String("session_id")).toString();
    request.visitorId = body.value(QLatin1String("visitor_biz_id")).toString();
    request.botKey = body.value(QLatin1String("bot_app_key")).toString();
    return request;
}

} // namespace

EngineRoutes::EngineRoutes(const DevServerOptions& options)
    : options(options)
{ }

void EngineRoutes::install(httplib::Server& server)
{
    server.Post("/v1/qbot/chat/sse",
                [this](const httplib::Request& request, httplib::Response& response) {
                    chat(request, response);
                });
    server.Get("/dev/engine/last-request",
               [this](const httplib::Request& request, httplib::Response& response) {
                   lastRequest(request, response);
               });
    server.Get("/dev/engine/held",
               [this](const httplib::Request& request, httplib::Response& response) {
                   held(request, response);
               });
}

void EngineRoutes::chat(const httplib::Request& request, httplib::Response& response)
{
    remember(request);
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(request.body.data(), static_cast<int>(request.body.size())));
    if (!document.isObject()) {
        replyJson(response, 400,
                  {{QStringLiteral("code"), 400},
                   {QStringLiteral("message"), QStringLiteral("body is not a JSON object")}});
        return;
    }
    const EngineStream::Request question = parseRequest(document.object());
    const EngineFault fault = EngineFault::choose(
        question.question, QString::fromStdString(request.get_header_value(faultHeader)));
    if (fault.kind() == EngineFault::Http500) {
        replyJson(response, 500,
                  {{QStringLiteral("code"), 500},
                   {QStringLiteral("message"), QStringLiteral("internal server error")}});
        return;
    }

    const int mode = DevKeys::modeOfKey(question.botKey.toUtf8().constData());
    const EngineStream stream(question, fault.compact());
    const QVector<QByteArray> blocks = fault.blocks(stream, mode);
    const int paceMs = options.paceMs;
    response.set_header("Cache-Control", "no-cache");
    response.set_chunked_content_provider(
        "text/event-stream", [this, fault, blocks, paceMs](size_t, httplib::DataSink& sink) {
            const bool holds = fault.kind() == EngineFault::Hold;
            if (holds)
                ++holding;
            bool clientGone = false;
            const bool complete = fault.write(blocks, paceMs, sink, &clientGone);
            if (holds) {
                --holding;
                closedByClient += clientGone ? 1 : 0;
            }
            if (!complete)
                return false;
            sink.done();
            return true;
        });
}

void EngineRoutes::remember(const httplib::Request& request)
{
    QJsonObject headers;
    for (const auto& header : request.headers)
        headers.insert(QString::fromStdString(header.first), QString::fromStdString(header.second));
    const QJsonObject entry {{QStringLiteral("body"), QString::fromStdString(request.body)},
                             {QStringLiteral("headers"), headers}};
    std::lock_guard<std::mutex> lock(mutex);
    last = entry;
}

void EngineRoutes::lastRequest(const httplib::Request&, httplib::Response& response)
{
    std::lock_guard<std::mutex> lock(mutex);
    replyJson(response, 200, last);
}

void EngineRoutes::held(const httplib::Request&, httplib::Response& response)
{
    replyJson(response, 200,
              {{QStringLiteral("holding"), holding.load()},
               {QStringLiteral("closedByClient"), closedByClient.load()}});
}
