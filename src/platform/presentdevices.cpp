#include "platform/presentdevices.h"

#include "device/vendor/devicesimulator.h"

int PresentDevices::count()
{
    return systemCount() + DeviceSimulator::instance().keyboardCount();
}
