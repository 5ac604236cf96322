#include "device/vendor/querydevice.h"

#include "device/vendor/devicesimulator.h"

QVariantList QueryDevice::getDeviceList()
{
    return DeviceSimulator::instance().deviceList();
}
