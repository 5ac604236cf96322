#pragma once

// Which device library answers behind QueryDevice, DeviceFactory and BaseDevice: the system's
// keyboards, or the simulated library of the tests and the demo. The simulator is chosen only
// on request (LUMORA_DEVICE_SIMULATOR=1, or the command-line switch "--device-simulator"), and
// only then may anything plug keyboards into it from outside.
class DeviceLibrary
{
public:
    static bool isSimulated();
    // Overrides the environment: the command-line switch, and tests.
    static void setSimulated(bool simulated);
};
