#include "device/vendor/querydevice.h"

#include "device/vendor/devicesimulator.h"
#include "platform/presentdevices.h"

QVariantList QueryDevice::getDeviceList()
{
    return DeviceSimulator::instance().deviceList();
}

int QueryDevice::presentDeviceCount()
{
    return PresentDevices::systemCount() + DeviceSimulator::instance().keyboardCount();
}
