#include "benchenvironment.h"

#include "core/configengine.h"
#include "core/constants.h"

#include <QString>

#include <ctime>

BenchEnvironment::BenchEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
}

void BenchEnvironment::initialize(ConfigEngine& config)
{
    config.initialize({{QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
}

qint64 BenchEnvironment::threadCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
