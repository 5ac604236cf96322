#pragma once

#include <QString>

#include <memory>

// Wakes a waiting thread when devices may have come or gone, instead of counting them again
// and again. Linux listens to the kernel's device events for the input class and watches the
// "class/input" folder of the sysfs root (which also covers a moved root, LUMORA_SYSFS_ROOT);
// Windows registers for HID arrivals and removals. Where neither can be had, it counts the
// present devices every PollIntervalMs, as before.
class DeviceArrivals
{
public:
    enum class Source {
        System, // the system's devices
        WakeOnly, // only wake(): for a device library that reports its own changes
    };

    static constexpr int PollIntervalMs = 50;

    explicit DeviceArrivals(Source source = Source::System);
    ~DeviceArrivals();
    DeviceArrivals(const DeviceArrivals&) = delete;
    DeviceArrivals& operator=(const DeviceArrivals&) = delete;

    // How arrivals are noticed, for the log.
    QString method() const;

    // Blocks until devices may have changed or wake() was called (true), or timeoutMs passed
    // (false); a negative timeout waits without limit. A burst of device events (one keyboard
    // brings several) ends in one return, once it has settled. One waiting thread at a time.
    bool wait(int timeoutMs);
    // Ends the current or the next wait. Safe from any thread.
    void wake();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
