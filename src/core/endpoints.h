#pragma once

#include <QString>

// Base URLs of the outside services. The build provides defaults; the environment
// variables LUMORA_SERVICE_URL and LUMORA_ENGINE_URL override them at run time, which is
// how the tests and the local demo point the app at the stand-ins on loopback.
class Endpoints
{
public:
    // Scheme and host of the maker's web service, without a trailing "/".
    static QString serviceBaseUrl();
    // Scheme and host of the knowledge engine, without a trailing "/".
    static QString engineBaseUrl();

private:
    static QString fromEnvironment(const char* variable, const char* fallback);
};
