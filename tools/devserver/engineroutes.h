#pragma once

#include "devserveroptions.h"

#include <QByteArray>
#include <QJsonObject>

#include <atomic>
#include <mutex>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

// The knowledge-engine half of the stand-in.
//
// POST "/v1/qbot/chat/sse" takes the app's JSON body ("bot_app_key", "content",
// "request_id", "session_id", "visitor_biz_id") and answers with the engine's event stream:
// blocks "event:<type>\ndata:<json>" each ended by a blank line. First a "reply" echoing the
// question ("is_from_self" true); for deep-thinking keys "thought" events with the reasoning
// so far in "procedures"[0]."debugging"."content"; then "reply" events with the whole
// answer so far, the last with "is_final" true; a "reference" event for online-search keys;
// "token_stat" events along the way. The key picks the mode (tools/devserver/devkeys.h);
// unknown keys answer like mode 0. --pace-ms sets the delay between two events.
//
// Fault modes, for tests and demos. Put "[fault:<name>]" anywhere in the question, or send
// the header "X-Lumora-Fault: <name>":
//   short               a short answer (two pieces of reasoning and answer), well formed
//   refuse              only the echo, flagged "is_evil" and "is_from_self"
//   http500             HTTP 500 with a JSON error body, no stream
//   stall               the echo, then silence for two minutes
//   malformed           a normal answer with three broken blocks after the echo
//   error-event         the echo, then {"type":"error","error":{"code":460004,...}}; no answer
//   late-error          half the answer, then an error event (code 500001) instead of the rest
//   cut                 half the answer and half a block, then the connection drops
//   bytewise            the short answer, every byte written on its own
//   split:<n>           the short answer written in two parts, cut after byte n
//                       (e.g. "[fault:split:0042]"; digits of a fixed width keep the echo,
//                       and so the byte positions, the same for every n)
//   burst               the short answer; its last three blocks in one write
//   blank-lines         the short answer with doubled blank lines and two extra at the end
//   no-trailing-blank   the short answer; the last block has no blank line after it
//   long                a very long answer (about 30 000 characters)
//   hold                half the answer, then silence until the client closes the
//                       connection (at most two minutes)
// bytewise and split send compact blocks (only the members the app reads) to stay short.
//
// GET "/dev/engine/last-request" returns {"body": <raw body>, "headers": {...}} of the last
// chat request, so tests can check exactly what the app sent. GET "/dev/engine/held" returns
// {"holding": <held streams open now>, "closedByClient": <held streams the client closed>}.
class EngineRoutes
{
public:
    explicit EngineRoutes(const DevServerOptions& options);
    void install(httplib::Server& server);

private:
    void chat(const httplib::Request& request, httplib::Response& response);
    void lastRequest(const httplib::Request& request, httplib::Response& response);
    void held(const httplib::Request& request, httplib::Response& response);
    void remember(const httplib::Request& request);

    DevServerOptions options;
    std::mutex mutex; // guards the last request: handlers run on several threads
    QJsonObject last;
    std::atomic<int> holding {0};
    std::atomic<int> closedByClient {0};
};
