#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>

// The record of one connected device, copied whole: it travels in signals and fills the rows
// of the device model. The device path identifies the device everywhere.
struct DeviceDataInfo
{
    Q_GADGET

public:
    QString pid;
    QString vid;
    QString devicePath;
    QString deviceReportPath;
    QString deviceName;
    int deviceType = 0; // 0 keyboard, 1 mouse, 2 device without product image
    QString connectType; // "wired", "ble" or "wireless"
    QString connectState;
    QString batteryValue = QStringLiteral(""); // empty, not null, until the device reports
    QString imageSource;
    QString typeImageSource;
    bool isOpen = false;
    int batteryStatus = 0;

    bool operator==(const DeviceDataInfo& other) const;
    bool operator!=(const DeviceDataInfo& other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(DeviceDataInfo)
