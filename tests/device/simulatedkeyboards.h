#pragma once

#include "device/vendor/devicelibrary.h"
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

// The simulated library in use, empty, announcing its changes.
inline void reset()
{
    DeviceLibrary::setSimulated(true);
    DeviceSimulator::instance().setChangeNotices(true);
    DeviceSimulator::instance().unplugAll();
    DeviceSimulator::instance().setFactoryFailure(false);
}

} // namespace SimulatedKeyboards
