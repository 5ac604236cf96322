#pragma once

#include "devserveroptions.h"
#include "usagestore.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <mutex>
#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

// The maker-service half of the stand-in.
//
// "/v1/ai/api/list", "/v1/ai/api/addCount", "/v1/ai/api/getCount": POST bodies of the form
// "params=<compact JSON>&salt=<signature>", read raw (the client does not percent-encode
// them, so a serial number may hold "&" or "+"): the params text runs from "params=" to the
// last "&salt=". The signature is the upper-case hex MD5 of the params text followed by the
// shared signing salt; a request without a valid one is answered with a non-zero "code".
// Replies are JSON {"code", "msg", "data"} with HTTP status 200.
//   code 0     success
//   code 4001  missing signature         code 4002  signature mismatch
//   code 4003  params is not JSON        code 4004  deviceSn is missing
//   code 4005  allowance used up (addCount; the count stays)
//   code 5001  the count could not be stored
// The list has one "tencent" record per mode 0..3 whose apiKey ("lumora-dev-mode-<mode>")
// selects the matching behaviour of the knowledge-engine half; "apiUrl" is this server.
// Counts: see UsageStore; the allowance is --allowance.
//
// "/static/user-agreement.html", "/static/privacy-policy.html": the policy pages.
//
// Test and demo controls (loopback only like everything here):
//   POST "/dev/scenario" with one of these names as the body switches the answers from the
//   next request on (HTTP 400 for an unknown name):
//     "normal"          the default described above
//     "modes-0-3"       the list holds only the records of modes 0 and 3
//     "foreign-only"    the list holds no "tencent" record (other platforms, other spelling)
//     "alternate"       list replies alternate between A (modes 0 and 1, model "a") and
//                       B (modes 1 and 2, model "b"), starting with A
//     "count-refused"   count replies: code 1001, msg "device not registered"
//     "count-bare"      count replies: no "code", no "msg", "data" an empty object
//     "not-json"        every service reply is a body that is not JSON
//     "json-array"      every service reply is the JSON array [1, 2, 3]
//     "json-number"     every service reply is the JSON number 42
//     "refused"         every service reply: code 1002, msg "service paused", list data
//                       still holding the normal records
//     "http-error"      every service request fails with HTTP status 500
//   GET "/dev/requests": the last requests to "/v1/ai/api/..." as a JSON array of
//   {"path", "contentType", "body"} (body exactly as received), oldest first.
class ServiceRoutes
{
public:
    explicit ServiceRoutes(const DevServerOptions& options);
    void install(httplib::Server& server);

private:
    enum class Scenario {
        Normal,
        Modes03,
        ForeignOnly,
        Alternate,
        CountRefused,
        CountBare,
        NotJson,
        JsonArray,
        JsonNumber,
        Refused,
        HttpError
    };

    struct Call
    {
        QJsonObject params; // valid only when code is 0
        int code = 0;
        QString msg;
    };

    struct LoggedRequest
    {
        std::string path;
        std::string contentType;
        std::string body;
    };

    void serveList(const httplib::Request& request, httplib::Response& response);
    void serveCount(const httplib::Request& request, httplib::Response& response, bool add);
    void serveScenario(const httplib::Request& request, httplib::Response& response);
    void serveRequestLog(httplib::Response& response);

    // Logs the request, checks its signature and parses its params. Returns false when the
    // response has already been written (a fault scenario, or a bad signature or params).
    bool begin(const httplib::Request& request, httplib::Response& response, Call* call);
    Call verify(const std::string& body) const;
    QJsonObject countReply(const Call& call, bool add);
    QString ownBaseUrl(const httplib::Request& request) const;
    Scenario currentScenario() const;

    static void reply(httplib::Response& response, const QJsonObject& object);
    static QJsonObject envelope(int code, const QString& msg); // {"code", "msg"}

    DevServerOptions options;
    UsageStore store;
    mutable std::mutex stateMutex; // guards the members below
    Scenario scenario = Scenario::Normal;
    int listTurn = 0;
    std::deque<LoggedRequest> requestLog;
};
