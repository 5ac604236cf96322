#pragma once

// The number of devices present in the system, counted through SetupAPI; no Qt, so the Windows
// test program runs it against a real SetupAPI (Wine's). Discovery compares it between polls
// to notice arrivals and removals.
class DeviceCount
{
public:
    // -1 when the system's device list cannot be had.
    static int present();
};
