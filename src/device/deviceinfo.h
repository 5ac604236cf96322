#pragma once

#include "device/devicedatainfo.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>

class BaseDevice;

// Wraps one device of the library together with its record: opens it, keeps the record
// current from the device's signals and relays its AI-key presses with the serial number.
class DeviceInfo : public QObject
{
    Q_OBJECT

public:
    explicit DeviceInfo(QObject* parent = nullptr);
    // Destroys the device, which detaches it from the library at once.
    ~DeviceInfo() override;

    // Connects the device's signals and starts opening it; without a device the record stays
    // unopened.
    void open();

    BaseDevice* device() const;
    // Takes ownership; a previous device is destroyed.
    void setDevice(BaseDevice* device);

    DeviceDataInfo deviceDataInfo() const;
    // Replaces the record; emits nothing.
    void setDeviceDataInfo(const DeviceDataInfo& info);

signals:
    void updateDeviceDataInfo(DeviceDataInfo dataInfo);
    void reviceDeviceAIKeyPresssed(QString sn);

private:
    void onOpenSucceeded();
    void onAiKeyPressed(const QString& sn);
    void onCustomChange(const QMap<QString, QVariant>& values);

    BaseDevice* wrapped = nullptr;
    DeviceDataInfo record;
};
