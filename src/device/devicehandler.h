#pragma once

#include "device/devicedatainfo.h"

#include <QList>
#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QVariantList>

#include <atomic>
#include <memory>

class DeviceInfo;
class QueryDevice;

// Finds the maker's devices and keeps one open wrapper per connected device. The worker
// thread sleeps until the system (or the simulated library) reports that devices came or went,
// and only then asks the library for its list; a changed list is handed to the main thread,
// which creates, opens and drops the wrappers.
class DeviceHandler : public QThread
{
    Q_OBJECT

public:
    explicit DeviceHandler(QObject* parent = nullptr);
    // Wakes and stops the thread (at most one library query) and destroys every wrapper still
    // listed.
    ~DeviceHandler() override;

    // Main thread only.
    QList<QPointer<DeviceInfo>> deviceInfos() const;
    // Switches the one-entry-per-product filter; the library is asked again in the next cycle.
    void setIsFilterDevices(bool filter);
    bool isFilterDevices() const;

    // One entry per product name: the "wired" or "ble" entry wins over a "wireless" one,
    // other connection types are dropped; ordered by name.
    static QVariantList filterDevices(const QVariantList& list);
    // The entries of next whose "path" is not in current (next's order).
    static QVariantList newPaths(const QVariantList& current, const QVariantList& next);
    // Whether next replaces current: another size, or a path current does not have.
    static bool listChanged(const QVariantList& current, const QVariantList& next);

    // How long the worker waits for the library to list a device after a change was reported.
    static constexpr int RetryDelayMs = 1000;

signals:
    void deviceListChanged();
    void emitDeviceListChanged();
    void updateDeviceDataInfo(DeviceDataInfo dataInfo);
    void reviceDeviceAIKeyPresssed(QString sn);

protected:
    void run() override;

private:
    bool pollOnce();
    void syncDeviceInfos();
    int removeGoneWrappers();
    QList<DeviceInfo*> addNewWrappers();
    DeviceInfo* createWrapper(const QVariantMap& entry);

    QMutex mutex;
    std::unique_ptr<QueryDevice> query;
    QVariantList deviceList; // guarded by mutex
    QList<QPointer<DeviceInfo>> wrappers; // changed in the main thread only, under mutex
    std::atomic<bool> running {true};
    std::atomic<bool> filtering {true};
    std::atomic<bool> requery {true};
};
