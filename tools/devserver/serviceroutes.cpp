#include "serviceroutes.h"

#include "servicecatalog.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <httplib.h>

#include <map>

namespace {

// The secret shared with the client; it never travels, only the signature made with it.
const QByteArray SigningSalt = QByteArrayLiteral("t4Qe&8r#MvZkLpXw");

constexpr std::size_t RequestLogLimit = 200;

} // namespace

ServiceRoutes::ServiceRoutes(const DevServerOptions& options)
    : options(options)
    , store(options.dataDir, options.allowance)
{ }

void ServiceRoutes::install(httplib::Server& server)
{
    using httplib::Request;
    using httplib::Response;
    server.Post("/v1/ai/api/list", [this](const Request& request, Response& response) {
        serveList(request, response);
    });
    server.Post("/v1/ai/api/addCount", [this](const Request& request, Response& response) {
        serveCount(request, response, true);
    });
    server.Post("/v1/ai/api/getCount", [this](const Request& request, Response& response) {
        serveCount(request, response, false);
    });
    server.Get(R"(/static/([A-Za-z0-9_.-]+))", [](const Request& request, Response& response) {
        const QString html = ServiceCatalog::page(QString::fromStdString(request.matches[1]));
        if (html.isEmpty()) {
            response.status = 404;
            return;
        }
        response.set_content(html.toStdString(), "text/html; charset=utf-8");
    });
    server.Post("/dev/scenario", [this](const Request& request, Response& response) {
        serveScenario(request, response);
    });
    server.Get("/dev/requests",
               [this](const Request&, Response& response) { serveRequestLog(response); });
}

void ServiceRoutes::serveList(const httplib::Request& request, httplib::Response& response)
{
    Call call;
    if (!begin(request, response, &call))
        return;
    QList<ServiceCatalog::Record> records;
    switch (currentScenario()) {
    case Scenario::Modes03:
        records = ServiceCatalog::modes03List();
        break;
    case Scenario::ForeignOnly:
        records = ServiceCatalog::foreignList();
        break;
    case Scenario::Alternate: {
        std::lock_guard<std::mutex> lock(stateMutex);
        records = ServiceCatalog::alternateList(listTurn++ % 2 == 1);
        break;
    }
    case Scenario::Refused:
        records = ServiceCatalog::alternateList(true); // other records than the normal list
        break;
    default:
        records = ServiceCatalog::fullList();
        break;
    }
    const bool refused = currentScenario() == Scenario::Refused;
    QJsonObject object = refused ? envelope(1002, QStringLiteral("service paused"))
                                 : envelope(0, QStringLiteral("success"));
    object.insert(QStringLiteral("data"), ServiceCatalog::listData(records, ownBaseUrl(request)));
    reply(response, object);
}

void ServiceRoutes::serveCount(const httplib::Request& request, httplib::Response& response,
                               bool add)
{
    Call call;
    if (!begin(request, response, &call))
        return;
    switch (currentScenario()) {
    case Scenario::CountRefused:
        reply(response, envelope(1001, QStringLiteral("device not registered")));
        return;
    case Scenario::Refused:
        reply(response, envelope(1002, QStringLiteral("service paused")));
        return;
    case Scenario::CountBare:
        reply(response, QJsonObject {{QStringLiteral("data"), QJsonObject()}});
        return;
    default:
        reply(response, countReply(call, add));
        return;
    }
}

QJsonObject ServiceRoutes::countReply(const Call& call, bool add)
{
    const QString deviceSn = call.params.value(QStringLiteral("deviceSn")).toString();
    if (deviceSn.isEmpty())
        return envelope(4004, QStringLiteral("deviceSn is missing"));
    UsageStore::Counts counts;
    if (!add) {
        counts = store.counts(deviceSn);
    } else {
        switch (store.add(deviceSn, &counts)) {
        case UsageStore::AddResult::Added:
            break;
        case UsageStore::AddResult::Exhausted:
            return envelope(4005, QStringLiteral("allowance used up"));
        case UsageStore::AddResult::NotStored:
            return envelope(5001, QStringLiteral("the count could not be stored"));
        }
    }
    QJsonObject object = envelope(0, QStringLiteral("success"));
    object.insert(QStringLiteral("data"),
                  QJsonObject {{QStringLiteral("maxCount"), counts.max},
                               {QStringLiteral("usedCount"), counts.used}});
    return object;
}

void ServiceRoutes::serveScenario(const httplib::Request& request, httplib::Response& response)
{
    static const std::map<std::string, Scenario> names {
        {"normal", Scenario::Normal},
        {"modes-0-3", Scenario::Modes03},
        {"foreign-only", Scenario::ForeignOnly},
        {"alternate", Scenario::Alternate},
        {"count-refused", Scenario::CountRefused},
        {"count-bare", Scenario::CountBare},
        {"not-json", Scenario::NotJson},
        {"json-array", Scenario::JsonArray},
        {"json-number", Scenario::JsonNumber},
        {"refused", Scenario::Refused},
        {"http-error", Scenario::HttpError},
    };
    const auto found = names.find(request.body);
    if (found == names.end()) {
        response.status = 400;
        response.set_content("unknown scenario\n", "text/plain");
        return;
    }
    std::lock_guard<std::mutex> lock(stateMutex);
    scenario = found->second;
    listTurn = 0;
    response.set_content("ok\n", "text/plain");
}

void ServiceRoutes::serveRequestLog(httplib::Response& response)
{
    QJsonArray log;
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        for (const auto& entry : requestLog) {
            log.append(QJsonObject {
                {QStringLiteral("path"), QString::fromStdString(entry.path)},
                {QStringLiteral("contentType"), QString::fromStdString(entry.contentType)},
                {QStringLiteral("body"), QString::fromStdString(entry.body)},
            });
        }
    }
    response.set_content(QJsonDocument(log).toJson(QJsonDocument::Compact).toStdString(),
                         "application/json");
}

bool ServiceRoutes::begin(const httplib::Request& request, httplib::Response& response, Call* call)
{
    Scenario now;
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        requestLog.push_back(
            {request.path, request.get_header_value("Content-Type"), request.body});
        if (requestLog.size() > RequestLogLimit)
            requestLog.pop_front();
        now = scenario;
    }
    if (now == Scenario::HttpError) {
        response.status = 500;
        response.set_content("internal error\n", "text/plain");
        return false;
    }
    if (now == Scenario::NotJson) {
        response.set_content("<html>maintenance</html>", "text/html");
        return false;
    }
    if (now == Scenario::JsonArray || now == Scenario::JsonNumber) {
        response.set_content(now == Scenario::JsonArray ? "[1, 2, 3]" : "42", "application/json");
        return false;
    }
    *call = verify(request.body);
    if (call->code != 0) {
        reply(response, envelope(call->code, call->msg));
        return false;
    }
    return true;
}

// The params text is taken as the bytes between "params=" and the last "&salt=": the
// signature is plain hex, so a "&salt=" inside a serial number can only come earlier.
ServiceRoutes::Call ServiceRoutes::verify(const std::string& body) const
{
    Call call;
    const std::string head = "params=";
    const std::string::size_type salt = body.rfind("&salt=");
    if (body.compare(0, head.size(), head) != 0 || salt == std::string::npos || salt < head.size()
        || salt + 6 == body.size()) {
        call.code = 4001;
        call.msg = QStringLiteral("missing signature");
        return call;
    }
    const QByteArray params =
        QByteArray::fromStdString(body.substr(head.size(), salt - head.size()));
    const QByteArray given = QByteArray::fromStdString(body.substr(salt + 6));
    const QByteArray expected =
        QCryptographicHash::hash(params + SigningSalt, QCryptographicHash::Md5).toHex().toUpper();
    if (given != expected) {
        call.code = 4002;
        call.msg = QStringLiteral("signature mismatch");
        return call;
    }
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(params, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        call.code = 4003;
        call.msg = QStringLiteral("params is not a JSON object");
        return call;
    }
    call.params = document.object();
    return call;
}

QString ServiceRoutes::ownBaseUrl(const httplib::Request& request) const
{
    const bool tls = !options.certFile.isEmpty() && !options.keyFile.isEmpty();
    return QStringLiteral("%1://%2:%3")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"),
             QString::fromStdString(request.local_addr))
        .arg(request.local_port);
}

ServiceRoutes::Scenario ServiceRoutes::currentScenario() const
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return scenario;
}

void ServiceRoutes::reply(httplib::Response& response, const QJsonObject& object)
{
    response.set_content(QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString(),
                         "application/json");
}

QJsonObject ServiceRoutes::envelope(int code, const QString& msg)
{
    return QJsonObject {{QStringLiteral("code"), code}, {QStringLiteral("msg"), msg}};
}
