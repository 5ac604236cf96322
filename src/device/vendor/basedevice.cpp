#include "device/vendor/basedevice.h"

#include "device/vendor/devicesimulator.h"

BaseDevice::BaseDevice(const QString& name, const QString& connectType, QObject* parent)
    : QObject(parent)
    , productName(name)
    , connection(connectType)
{ }

BaseDevice::~BaseDevice()
{
    DeviceSimulator::instance().detach(this);
}

void BaseDevice::startDevice()
{
    DeviceSimulator::instance().start(this);
}

bool BaseDevice::openDevice(const QString& path, const QString& reportPath)
{
    Q_UNUSED(reportPath)
    return DeviceSimulator::instance().attach(this, path);
}

QVariantMap BaseDevice::getDeviceDetails()
{
    return {{QStringLiteral("DeviceName"), productName}};
}

void BaseDevice::refreshStatus()
{
    DeviceSimulator::instance().refresh(this);
}

QVariantMap BaseDevice::getAiKeyData()
{
    const QVariantMap data {{QStringLiteral("sn"), DeviceSimulator::instance().serialOf(this)}};
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
