#pragma once

#include "device/vendor/basedevice.h"

// A keyboard with the AI key as the system lists it (SystemKeyboards). Opening succeeds while
// the keyboard is connected; its serial number is the one the system reports. Key presses do
// not pass here: the desktop reports the AI key (raw input on Windows, the F20 grab on X11),
// and the device list names this keyboard as the one it came from.
class SystemDevice : public BaseDevice
{
    Q_OBJECT

public:
    using BaseDevice::BaseDevice;

    // The product's name; marked as the AI keyboard it is when the name does not say so.
    QVariantMap getDeviceDetails() override;
    QVariantMap getAiKeyData() override;

protected:
    bool open(const QString& path, const QString& reportPath) override;

private:
    QString serial;
};
