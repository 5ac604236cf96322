#include "core/endpoints.h"

#include "core/buildconfig.h"

QString Endpoints::serviceBaseUrl()
{
    return fromEnvironment("LUMORA_SERVICE_URL", LUMORA_DEFAULT_SERVICE_URL);
}

QString Endpoints::engineBaseUrl()
{
    return fromEnvironment("LUMORA_ENGINE_URL", LUMORA_DEFAULT_ENGINE_URL);
}

QString Endpoints::fromEnvironment(const char* variable, const char* fallback)
{
    QString url = qEnvironmentVariable(variable);
    if (url.isEmpty())
        url = QString::fromUtf8(fallback);
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}
