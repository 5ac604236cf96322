#include "app/screenscale.h"

#include "app/scalerule.h"
#include "core/configengine.h"
#include "core/constants.h"
#include "core/jsonfile.h"
#include "platform/screenmetrics.h"

#include <QFileInfo>
#include <QJsonObject>
#include <QStandardPaths>

namespace {

const QString ScaleKey = QStringLiteral("Scale");

} // namespace

QString ScreenScale::startupConfigPath(const QString& programPath)
{
    return QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + QLatin1Char('/')
        + QFileInfo(programPath).baseName() + QStringLiteral("/configs/config.json");
}

double ScreenScale::storedScale(const QString& programPath)
{
    const QString path = startupConfigPath(programPath);
    const QJsonDocument document = JsonFile::read(path).document;
    if (document.isNull())
        return 1.0;
    const QJsonValue value = document.object().value(ScaleKey);
    if (value.isUndefined())
        return computeScreenScale(path).value_or(1.0);
    return value.toDouble(0);
}

std::optional<double> ScreenScale::computeScreenScale(const QString& configPath, bool* stored)
{
    const QHash<QString, QVariant> metrics = ScreenMetrics::current();
    if (metrics.isEmpty())
        return std::nullopt;
    const double scale = ScaleRule::scaleFor(metrics);
    const bool written = storeScale(scale, configPath);
    if (stored)
        *stored = written;
    return scale;
}

bool ScreenScale::storeScale(double scale, const QString& configPath)
{
    ConfigEngine engine;
    if (!configPath.isEmpty())
        engine.setUserConfigPath(configPath);
    engine.initialize({{QStringLiteral("AppVer2ConfigPath"), CONFIG_DIR_NAME},
                       {QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
    QJsonDocument work;
    return engine.setValue(ScaleKey, scale, work);
}
