#pragma once

#include <QString>

class BaseDevice;

// Creates the device object for one entry of QueryDevice::getDeviceList().
class DeviceFactory
{
public:
    // A new device that the caller owns, or nullptr when the library has no device of that
    // name and connection type.
    static BaseDevice* getDevice(const QString& name, const QString& connectType);
};
