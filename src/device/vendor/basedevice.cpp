#include "device/vendor/basedevice.h"

BaseDevice::BaseDevice(const QString& name, const QString& connectType, QObject* parent)
    : QObject(parent)
    , productName(name)
    , connection(connectType)
{ }

BaseDevice::~BaseDevice() = default;

void BaseDevice::startDevice() { }

bool BaseDevice::openDevice(const QString& path, const QString& reportPath)
{
    return open(path, reportPath);
}

bool BaseDevice::open(const QString& path, const QString& reportPath)
{
    Q_UNUSED(path)
    Q_UNUSED(reportPath)
    return false;
}

QVariantMap BaseDevice::getDeviceDetails()
{
    return {{QStringLiteral("DeviceName"), productName}};
}

void BaseDevice::refreshStatus() { }

QVariantMap BaseDevice::getAiKeyData()
{
    return aiKeyData(QString());
}

QVariantMap BaseDevice::aiKeyData(const QString& sn)
{
    const QVariantMap data {{QStringLiteral("sn"), sn}};
    return {{QStringLiteral("DataMap"), data}};
}

QString BaseDevice::name() const
{
    return productName;
}

QString BaseDevice::connectType() const
{
    return connection;
}
