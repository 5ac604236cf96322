#pragma once

#include "devserveroptions.h"

namespace httplib {
class Server;
}

// The maker-service half of the stand-in: "/v1/ai/api/..." and the policy pages.
class ServiceRoutes
{
public:
    explicit ServiceRoutes(const DevServerOptions& options);
    void install(httplib::Server& server);

private:
    DevServerOptions options;
};
