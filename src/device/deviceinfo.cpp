#include "device/deviceinfo.h"

#include "device/vendor/basedevice.h"

DeviceInfo::DeviceInfo(QObject* parent)
    : QObject(parent)
{ }

DeviceInfo::~DeviceInfo()
{
    delete wrapped;
}

void DeviceInfo::open()
{
    record.isOpen = false;
    if (!wrapped)
        return;
    connect(wrapped, &BaseDevice::emitOpenDeviceSucceed, this, &DeviceInfo::onOpenSucceeded);
    connect(wrapped, &BaseDevice::emitAiKeyPressed, this, &DeviceInfo::onAiKeyPressed);
    connect(wrapped, &BaseDevice::emitCustomChange, this, &DeviceInfo::onCustomChange);
    wrapped->openDevice(record.devicePath, record.deviceReportPath);
}

BaseDevice* DeviceInfo::device() const
{
    return wrapped;
}

void DeviceInfo::setDevice(BaseDevice* device)
{
    if (device == wrapped)
        return;
    delete wrapped;
    wrapped = device;
}

DeviceDataInfo DeviceInfo::deviceDataInfo() const
{
    return record;
}

void DeviceInfo::setDeviceDataInfo(const DeviceDataInfo& info)
{
    record = info;
}

void DeviceInfo::onOpenSucceeded()
{
    record.isOpen = true;
    wrapped->startDevice();
    emit updateDeviceDataInfo(record);
}

void DeviceInfo::onAiKeyPressed(const QString& sn)
{
    emit reviceDeviceAIKeyPresssed(sn);
}

void DeviceInfo::onCustomChange(const QMap<QString, QVariant>& values)
{
    record.batteryStatus = values.value(QStringLiteral("BatStatus")).toInt();
    record.batteryValue = values.value(QStringLiteral("Electricity")).toString();
    if (record.batteryValue.isNull())
        record.batteryValue = QStringLiteral("");
    emit updateDeviceDataInfo(record);
}
