#include "device/vendor/devicefactory.h"

#include "device/vendor/devicelibrary.h"
#include "device/vendor/devicesimulator.h"
#include "device/vendor/simulateddevice.h"
#include "device/vendor/systemdevice.h"

BaseDevice* DeviceFactory::getDevice(const QString& name, const QString& connectType)
{
    if (!DeviceLibrary::isSimulated())
        return new SystemDevice(name, connectType);
    const DeviceSimulator& simulator = DeviceSimulator::instance();
    if (simulator.factoryFailure() || !simulator.hasKeyboard(name, connectType))
        return nullptr;
    return new SimulatedDevice(name, connectType);
}
