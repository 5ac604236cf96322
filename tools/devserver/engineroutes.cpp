#include "engineroutes.h"

#include <httplib.h>

EngineRoutes::EngineRoutes(const DevServerOptions& options)
    : options(options)
{ }

void EngineRoutes::install(httplib::Server& server)
{
    Q_UNUSED(server)
}
