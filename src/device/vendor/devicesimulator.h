#pragma once

#include "device/vendor/simulatedkeyboard.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>

class BaseDevice;

// The process-wide simulated device library: the keyboards plugged in and the device objects
// opened on them. Safe to use from any thread. Signals of device objects are emitted from the
// simulator's own thread (or, for an open that succeeds at once, from the opening thread) and
// never while the registry's lock is held, so a receiver may call back into the simulator.
class DeviceSimulator
{
public:
    static DeviceSimulator& instance();

    ~DeviceSimulator();
    DeviceSimulator(const DeviceSimulator&) = delete;
    DeviceSimulator& operator=(const DeviceSimulator&) = delete;

    // False when a keyboard with this serial is already plugged in.
    bool plug(const SimulatedKeyboard& keyboard);
    // False when no keyboard has this serial.
    bool unplug(const QString& sn);
    int unplugAll();
    // Each press reaches every opened and started device object of the keyboard.
    bool press(const QString& sn, int count = 1);
    bool setBattery(const QString& sn, int level, int status);

    QList<SimulatedKeyboard> keyboards() const;
    int keyboardCount() const;
    // The entries QueryDevice::getDeviceList() reports.
    QVariantList deviceList() const;
    // Device objects opened and started on the keyboard with this serial.
    int startedDevices(const QString& sn) const;
    bool hasKeyboard(const QString& name, const QString& connectType) const;

    // Test seam: the factory hands out no device at all while set.
    void setFactoryFailure(bool fail);
    bool factoryFailure() const;
    // Test seams: plugs and unplugs stay unannounced while off (as a system that lists a
    // device before it reports it); the number of deviceList() calls so far.
    void setChangeNotices(bool on);
    int listQueries() const;

    // Called after every plug and unplug, from the thread that made it; removal waits for a
    // call in flight. Used by QueryDevice to wake the discovery thread.
    void addChangeListener(const void* key, std::function<void()> listener);
    void removeChangeListener(const void* key);

    // Used by SimulatedDevice.
    bool attach(BaseDevice* device, const QString& path);
    void start(BaseDevice* device);
    void refresh(BaseDevice* device);
    void detach(BaseDevice* device);
    QString serialOf(const BaseDevice* device) const;

private:
    DeviceSimulator();

    struct Private;
    std::unique_ptr<Private> d;
};
