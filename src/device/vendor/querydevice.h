#pragma once

#include <QVariantList>

// The library's list of connected devices. Safe to call from any thread; it never waits on
// the GUI thread.
class QueryDevice
{
public:
    QueryDevice() = default;

    // One QVariantMap per device: "path", "path_report", "name", "vid", "pid", "type" (int:
    // 0 keyboard, 1 mouse, 2 device without product image), "connectType" ("wired", "ble" or
    // "wireless").
    QVariantList getDeviceList();

    // The figure the discovery thread watches to notice arrivals and removals: the system's
    // present devices plus the keyboards plugged into the simulated library (a simulated
    // keyboard arrives like any other device). Only its changes matter.
    static int presentDeviceCount();
};
