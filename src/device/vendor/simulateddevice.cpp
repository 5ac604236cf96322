#include "device/vendor/simulateddevice.h"

#include "device/vendor/devicesimulator.h"

SimulatedDevice::~SimulatedDevice()
{
    DeviceSimulator::instance().detach(this);
}

void SimulatedDevice::startDevice()
{
    DeviceSimulator::instance().start(this);
}

bool SimulatedDevice::open(const QString& path, const QString& reportPath)
{
    Q_UNUSED(reportPath)
    return DeviceSimulator::instance().attach(this, path);
}

void SimulatedDevice::refreshStatus()
{
    DeviceSimulator::instance().refresh(this);
}

QVariantMap SimulatedDevice::getAiKeyData()
{
    return aiKeyData(DeviceSimulator::instance().serialOf(this));
}
