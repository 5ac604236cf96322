#pragma once

#include "device/vendor/devicesimulator.h"

// Keyboards for the simulated device library, and a clean library between tests.
namespace SimulatedKeyboards {

inline SimulatedKeyboard
keyboard(const QString& name, const QString& sn, const QString& connect = QStringLiteral("wired"),
         SimulatedKeyboard::OpenMode open = SimulatedKeyboard::OpenMode::Ok)
{
    SimulatedKeyboard result;
    result.name = name;
    result.sn = sn;
    result.connectType = connect;
    result.open = open;
    return result;
}

inline void reset()
{
    DeviceSimulator::instance().unplugAll();
    DeviceSimulator::instance().setFactoryFailure(false);
}

} // namespace SimulatedKeyboards
