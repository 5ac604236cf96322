#include "device/vendor/devicefactory.h"

#include "device/vendor/basedevice.h"
#include "device/vendor/devicesimulator.h"

BaseDevice* DeviceFactory::getDevice(const QString& name, const QString& connectType)
{
    const DeviceSimulator& simulator = DeviceSimulator::instance();
    if (simulator.factoryFailure() || !simulator.hasKeyboard(name, connectType))
        return nullptr;
    return new BaseDevice(name, connectType);
}
