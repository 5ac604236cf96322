#pragma once

#include "devserveroptions.h"

namespace httplib {
class Server;
}

// The knowledge-engine half of the stand-in: "/v1/qbot/chat/sse".
class EngineRoutes
{
public:
    explicit EngineRoutes(const DevServerOptions& options);
    void install(httplib::Server& server);

private:
    DevServerOptions options;
};
