#pragma once

#include "device/vendor/basedevice.h"

// A device of the simulated library (DeviceSimulator): it opens on a plugged keyboard and hears
// its presses and battery changes.
class SimulatedDevice : public BaseDevice
{
    Q_OBJECT

public:
    using BaseDevice::BaseDevice;
    // Detaches from the simulator at once: no signal of this object is emitted afterwards.
    ~SimulatedDevice() override;

    void startDevice() override;
    void refreshStatus() override;
    QVariantMap getAiKeyData() override;

protected:
    bool open(const QString& path, const QString& reportPath) override;
};
