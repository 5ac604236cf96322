#include "device/devicehandler.h"

#include "core/logging.h"
#include "core/logredaction.h"
#include "device/deviceinfo.h"
#include "device/vendor/devicefactory.h"
#include "device/vendor/querydevice.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QMap>
#include <QMutexLocker>

namespace {

QString pathOf(const QVariant& entry)
{
    return entry.toMap().value(QStringLiteral("path")).toString();
}

bool containsPath(const QVariantList& list, const QString& path)
{
    for (const QVariant& entry : list) {
        if (pathOf(entry) == path)
            return true;
    }
    return false;
}

} // namespace

DeviceHandler::DeviceHandler(QObject* parent)
    : QThread(parent)
    , query(std::make_unique<QueryDevice>())
{
    qRegisterMetaType<DeviceDataInfo>();
    connect(this, &DeviceHandler::deviceListChanged, this, &DeviceHandler::syncDeviceInfos);
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

DeviceHandler::~DeviceHandler()
{
    running = false;
    query->wake();
    wait();
    // The sync step may still be queued; ~QObject drops it with the other posted events.
    QMutexLocker locker(&mutex);
    for (const QPointer<DeviceInfo>& wrapper : qAsConst(wrappers))
        delete wrapper.data();
    wrappers.clear();
}

QList<QPointer<DeviceInfo>> DeviceHandler::deviceInfos() const
{
    return wrappers;
}

void DeviceHandler::setIsFilterDevices(bool filter)
{
    filtering = filter;
    // A flag of its own: a query running right now may have read the old setting.
    requery = true;
    query->wake();
}

bool DeviceHandler::isFilterDevices() const
{
    return filtering;
}

void DeviceHandler::run()
{
    qCInfo(lcDevice) << "Device arrivals noticed by" << query->changeMethod();
    QDeadlineTimer retry(QDeadlineTimer::Forever);
    // The first cycle always asks (requery starts set): the devices already there were never
    // reported.
    bool changed = false;
    while (running) {
        const bool retryDue = retry.hasExpired();
        if (retryDue)
            retry = QDeadlineTimer(QDeadlineTimer::Forever);
        const bool force = requery.exchange(false) || retryDue;
        // The system may report a new device before the library lists it: ask once more later.
        if ((changed || force) && !pollOnce() && changed)
            retry = QDeadlineTimer(RetryDelayMs);
        if (!running)
            break;
        const qint64 untilRetry = retry.remainingTime();
        changed = query->waitForChange(untilRetry < 0 ? -1 : int(untilRetry));
    }
    exit(0);
}

// Queries the library and stores a changed list; returns whether it changed.
bool DeviceHandler::pollOnce()
{
    QMutexLocker locker(&mutex);
    QVariantList list = query->getDeviceList();
    if (filtering)
        list = filterDevices(list);
    if (!listChanged(deviceList, list))
        return false;
    deviceList = list;
    emit deviceListChanged();
    return true;
}

QVariantList DeviceHandler::filterDevices(const QVariantList& list)
{
    QMap<QString, QVariantMap> byName;
    for (const QVariant& item : list) {
        const QVariantMap entry = item.toMap();
        const QString name = entry.value(QStringLiteral("name")).toString();
        const QString connectType = entry.value(QStringLiteral("connectType")).toString();
        if (connectType == QLatin1String("wired") || connectType == QLatin1String("ble"))
            byName.insert(name, entry);
        else if (connectType == QLatin1String("wireless") && !byName.contains(name))
            byName.insert(name, entry);
    }
    QVariantList result;
    for (const QVariantMap& entry : qAsConst(byName))
        result.append(entry);
    return result;
}

QVariantList DeviceHandler::newPaths(const QVariantList& current, const QVariantList& next)
{
    QVariantList result;
    for (const QVariant& entry : next) {
        if (!containsPath(current, pathOf(entry)))
            result.append(entry);
    }
    return result;
}

bool DeviceHandler::listChanged(const QVariantList& current, const QVariantList& next)
{
    return current.size() != next.size() || !newPaths(current, next).isEmpty();
}

void DeviceHandler::syncDeviceInfos()
{
    QMutexLocker locker(&mutex);
    const int before = wrappers.size();
    const int removed = removeGoneWrappers();
    const QList<DeviceInfo*> added = addNewWrappers();
    for (DeviceInfo* wrapper : added)
        wrapper->open();
    if (!added.isEmpty() || removed > 0 || wrappers.size() != before)
        emit emitDeviceListChanged();
}

// A wrapper whose device left the list is destroyed, not merely forgotten: left alive it would
// keep its device open and relay the presses of a re-plugged keyboard a second time.
int DeviceHandler::removeGoneWrappers()
{
    int removed = 0;
    for (int i = wrappers.size() - 1; i >= 0; --i) {
        DeviceInfo* wrapper = wrappers.at(i);
        if (wrapper && containsPath(deviceList, wrapper->deviceDataInfo().devicePath))
            continue;
        wrappers.removeAt(i);
        delete wrapper;
        ++removed;
    }
    return removed;
}

QList<DeviceInfo*> DeviceHandler::addNewWrappers()
{
    QList<DeviceInfo*> added;
    for (const QVariant& item : qAsConst(deviceList)) {
        const QVariantMap entry = item.toMap();
        const QString path = entry.value(QStringLiteral("path")).toString();
        bool known = false;
        for (const QPointer<DeviceInfo>& wrapper : qAsConst(wrappers))
            known = known || (wrapper && wrapper->deviceDataInfo().devicePath == path);
        if (known)
            continue;
        DeviceInfo* wrapper = createWrapper(entry);
        wrappers.append(wrapper);
        added.append(wrapper);
    }
    return added;
}

DeviceInfo* DeviceHandler::createWrapper(const QVariantMap& entry)
{
    auto* wrapper = new DeviceInfo;
    connect(wrapper, &DeviceInfo::updateDeviceDataInfo, this, &DeviceHandler::updateDeviceDataInfo);
    connect(wrapper, &DeviceInfo::reviceDeviceAIKeyPresssed, this, [this](const QString& sn) {
        qCDebug(lcDevice) << "接收到的设备 SN:" << LogRedaction::serial(sn);
        emit reviceDeviceAIKeyPresssed(sn);
    });
    DeviceDataInfo record;
    record.devicePath = entry.value(QStringLiteral("path")).toString();
    record.deviceReportPath = entry.value(QStringLiteral("path_report")).toString();
    record.deviceName = entry.value(QStringLiteral("name")).toString();
    record.pid = entry.value(QStringLiteral("pid")).toString();
    record.vid = entry.value(QStringLiteral("vid")).toString();
    record.deviceType = entry.value(QStringLiteral("type")).toInt();
    record.connectType = entry.value(QStringLiteral("connectType")).toString();
    wrapper->setDeviceDataInfo(record);
    wrapper->setDevice(DeviceFactory::getDevice(record.deviceName, record.connectType));
    if (!wrapper->device())
        qCDebug(lcDevice) << "No device from the library for" << record.deviceName
                          << record.devicePath;
    return wrapper;
}
