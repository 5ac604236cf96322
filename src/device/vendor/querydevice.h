#pragma once

#include <QVariantList>

#include <memory>

class DeviceArrivals;

// The library's list of connected devices, and the wait for the next change of it. Safe to
// call from any thread; it never waits on the GUI thread.
class QueryDevice
{
public:
    QueryDevice();
    ~QueryDevice();
    QueryDevice(const QueryDevice&) = delete;
    QueryDevice& operator=(const QueryDevice&) = delete;

    // One QVariantMap per device: "path", "path_report", "name", "vid", "pid", "type" (int:
    // 0 keyboard, 1 mouse, 2 device without product image), "connectType" ("wired", "ble" or
    // "wireless").
    QVariantList getDeviceList();

    // Blocks until devices may have come or gone (true), wake() was called (true) or timeoutMs
    // passed (false; negative waits without limit). The system's arrivals, or the simulated
    // library's plugs.
    bool waitForChange(int timeoutMs);
    void wake();
    // How changes are noticed, for the log.
    QString changeMethod() const;

private:
    std::unique_ptr<DeviceArrivals> arrivals;
    bool simulated;
};
