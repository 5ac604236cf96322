#include "serviceroutes.h"

#include <httplib.h>

ServiceRoutes::ServiceRoutes(const DevServerOptions& options)
    : options(options)
{ }

void ServiceRoutes::install(httplib::Server& server)
{
    Q_UNUSED(server)
}
