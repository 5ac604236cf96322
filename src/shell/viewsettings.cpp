#include "shell/viewsettings.h"

#include "core/configengine.h"

#include <QJsonDocument>

namespace {

const QString SkinModeKey = QStringLiteral("SkinMode");
const QString FirstStartKey = QStringLiteral("FirstStart");
const QString ColorTypeKey = QStringLiteral("ColorType");
const QString ProdColorTypeSuffix = QStringLiteral("_prodColorType");

QJsonValue boolText(bool value)
{
    return QJsonValue(value ? QStringLiteral("true") : QStringLiteral("false"));
}

bool readsColorType(const QString& deviceName)
{
    return deviceName == QLatin1String("Z19") || deviceName == QLatin1String("Z46");
}

} // namespace

ViewSettings::ViewSettings(ConfigEngine* engine)
    : engine(engine)
{ }

int ViewSettings::skinMode()
{
    const QString stored = text(SkinModeKey);
    if (!stored.isEmpty())
        return stored.toInt();
    storeSkinMode(0);
    return 0;
}

void ViewSettings::storeSkinMode(int mode)
{
    store(SkinModeKey, QString::number(mode));
}

bool ViewSettings::firstStartAccepted()
{
    return text(FirstStartKey) == QLatin1String("true");
}

bool ViewSettings::firstStartEmpty()
{
    return text(FirstStartKey).isEmpty();
}

bool ViewSettings::storeFirstStart(bool accepted)
{
    if (value(FirstStartKey) == boolText(accepted))
        return false;
    store(FirstStartKey, boolText(accepted));
    return true;
}

int ViewSettings::prodColorType(const QString& deviceName)
{
    if (deviceName.isEmpty())
        return -1;
    const QString key = deviceName + ProdColorTypeSuffix;
    const QJsonValue stored = value(key);
    if (!stored.isUndefined() && stored != QJsonValue(QString()))
        return stored.toInt(0);
    int colorType = 1;
    if (readsColorType(deviceName)) {
        const QString configured = text(ColorTypeKey);
        if (!configured.isEmpty())
            colorType = configured.toInt();
    }
    store(key, colorType);
    return colorType;
}

QJsonValue ViewSettings::value(const QString& key)
{
    QJsonDocument work;
    return engine->getValue(key, true, work);
}

QString ViewSettings::text(const QString& key)
{
    return value(key).toString();
}

void ViewSettings::store(const QString& key, const QJsonValue& value)
{
    QJsonDocument work;
    engine->setValue(key, value, work);
}
