#include "benchenvironment.h"

#include "core/configengine.h"
#include "core/constants.h"
#include "platform/threadcputime.h"

#include <QString>

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
    return ThreadCpuTime::nanoseconds();
}
