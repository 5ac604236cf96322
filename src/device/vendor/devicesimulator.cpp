#include "device/vendor/devicesimulator.h"

#include "device/vendor/basedevice.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// How long a real keyboard takes to answer an open request, roughly.
constexpr std::chrono::milliseconds OpenDelay(100);

const QString SimulatedVid = QStringLiteral("0x3151");
const QString SimulatedPid = QStringLiteral("0x4011");

} // namespace

// One device object opened on a plugged keyboard. The guard is held while a signal of the
// object is emitted and while the object detaches, so its destructor waits for an emission
// in flight and none starts afterwards. Recursive, because a receiver in the emitting thread
// may destroy the object.
struct Link
{
    std::recursive_mutex guard;
    BaseDevice* device = nullptr; // under guard; null once detached
    const BaseDevice* key = nullptr; // the registry's key, never changes
    quint64 keyboardId = 0;
    QString sn;
    bool opened = false;
    bool started = false;
};

struct Plugged
{
    SimulatedKeyboard keyboard;
    quint64 id = 0;
};

struct DeviceSimulator::Private
{
    mutable std::mutex lock; // guards plugged, links, nextId, factoryFails
    QList<Plugged> plugged;
    std::map<const BaseDevice*, std::shared_ptr<Link>> links;
    quint64 nextId = 1;
    bool factoryFails = false;

    std::mutex queueLock;
    std::condition_variable wake;
    std::multimap<Clock::time_point, std::function<void()>> tasks;
    bool stopping = false;
    std::thread thread;

    void post(std::function<void()> task, std::chrono::milliseconds delay = {});
    void runTasks();

    // Under lock.
    const Plugged* find(const QString& sn) const;
    bool isPlugged(quint64 id) const;
    std::shared_ptr<Link> linkOf(const BaseDevice* device) const;
    QList<std::shared_ptr<Link>> startedLinks(quint64 id) const;

    // Without lock.
    static void emitTo(const std::shared_ptr<Link>& link,
                       const std::function<void(BaseDevice*)>& emission);
    static void emitBattery(const std::shared_ptr<Link>& link, int level, int status);
};

void DeviceSimulator::Private::post(std::function<void()> task, std::chrono::milliseconds delay)
{
    {
        std::lock_guard<std::mutex> guard(queueLock);
        tasks.emplace(Clock::now() + delay, std::move(task));
    }
    wake.notify_one();
}

void DeviceSimulator::Private::runTasks()
{
    std::unique_lock<std::mutex> guard(queueLock);
    while (!stopping) {
        if (tasks.empty()) {
            wake.wait(guard);
            continue;
        }
        const auto next = tasks.begin();
        if (next->first > Clock::now()) {
            wake.wait_until(guard, next->first);
            continue;
        }
        std::function<void()> task = std::move(next->second);
        tasks.erase(next);
        guard.unlock();
        task();
        guard.lock();
    }
}

const Plugged* DeviceSimulator::Private::find(const QString& sn) const
{
    for (const Plugged& entry : plugged) {
        if (entry.keyboard.sn == sn)
            return &entry;
    }
    return nullptr;
}

bool DeviceSimulator::Private::isPlugged(quint64 id) const
{
    for (const Plugged& entry : plugged) {
        if (entry.id == id)
            return true;
    }
    return false;
}

std::shared_ptr<Link> DeviceSimulator::Private::linkOf(const BaseDevice* device) const
{
    const auto found = links.find(device);
    return found == links.end() ? nullptr : found->second;
}

QList<std::shared_ptr<Link>> DeviceSimulator::Private::startedLinks(quint64 id) const
{
    QList<std::shared_ptr<Link>> result;
    for (const auto& entry : links) {
        if (entry.second->keyboardId == id && entry.second->opened && entry.second->started)
            result.append(entry.second);
    }
    return result;
}

void DeviceSimulator::Private::emitTo(const std::shared_ptr<Link>& link,
                                      const std::function<void(BaseDevice*)>& emission)
{
    std::lock_guard<std::recursive_mutex> guard(link->guard);
    if (link->device)
        emission(link->device);
}

void DeviceSimulator::Private::emitBattery(const std::shared_ptr<Link>& link, int level, int status)
{
    const QMap<QString, QVariant> values {{QStringLiteral("BatStatus"), status},
                                          {QStringLiteral("Electricity"), QString::number(level)}};
    emitTo(link, [&values](BaseDevice* device) { emit device->emitCustomChange(values); });
}

DeviceSimulator& DeviceSimulator::instance()
{
    static DeviceSimulator simulator;
    return simulator;
}

DeviceSimulator::DeviceSimulator()
    : d(std::make_unique<Private>())
{
    d->thread = std::thread([this] { d->runTasks(); });
}

DeviceSimulator::~DeviceSimulator()
{
    {
        std::lock_guard<std::mutex> guard(d->queueLock);
        d->stopping = true;
    }
    d->wake.notify_one();
    d->thread.join();
}

bool DeviceSimulator::plug(const SimulatedKeyboard& keyboard)
{
    std::lock_guard<std::mutex> guard(d->lock);
    if (d->find(keyboard.sn))
        return false;
    d->plugged.append({keyboard, d->nextId++});
    return true;
}

bool DeviceSimulator::unplug(const QString& sn)
{
    std::lock_guard<std::mutex> guard(d->lock);
    for (int i = 0; i < d->plugged.size(); ++i) {
        if (d->plugged.at(i).keyboard.sn == sn) {
            d->plugged.removeAt(i);
            return true;
        }
    }
    return false;
}

int DeviceSimulator::unplugAll()
{
    std::lock_guard<std::mutex> guard(d->lock);
    const int count = d->plugged.size();
    d->plugged.clear();
    return count;
}

bool DeviceSimulator::press(const QString& sn, int count)
{
    quint64 id = 0;
    {
        std::lock_guard<std::mutex> guard(d->lock);
        const Plugged* entry = d->find(sn);
        if (!entry)
            return false;
        id = entry->id;
    }
    d->post([this, id, sn, count] {
        for (int i = 0; i < count; ++i) {
            QList<std::shared_ptr<Link>> targets;
            {
                std::lock_guard<std::mutex> guard(d->lock);
                targets = d->startedLinks(id);
            }
            for (const auto& link : targets)
                Private::emitTo(link,
                                [&sn](BaseDevice* device) { emit device->emitAiKeyPressed(sn); });
        }
    });
    return true;
}

bool DeviceSimulator::setBattery(const QString& sn, int level, int status)
{
    QList<std::shared_ptr<Link>> targets;
    {
        std::lock_guard<std::mutex> guard(d->lock);
        for (Plugged& entry : d->plugged) {
            if (entry.keyboard.sn != sn)
                continue;
            entry.keyboard.batteryLevel = level;
            entry.keyboard.batteryStatus = status;
            targets = d->startedLinks(entry.id);
            d->post([targets, level, status] {
                for (const auto& link : targets)
                    Private::emitBattery(link, level, status);
            });
            return true;
        }
    }
    return false;
}

QList<SimulatedKeyboard> DeviceSimulator::keyboards() const
{
    std::lock_guard<std::mutex> guard(d->lock);
    QList<SimulatedKeyboard> result;
    for (const Plugged& entry : d->plugged)
        result.append(entry.keyboard);
    return result;
}

int DeviceSimulator::keyboardCount() const
{
    std::lock_guard<std::mutex> guard(d->lock);
    return d->plugged.size();
}

QVariantList DeviceSimulator::deviceList() const
{
    std::lock_guard<std::mutex> guard(d->lock);
    QVariantList list;
    for (const Plugged& entry : d->plugged) {
        const SimulatedKeyboard& keyboard = entry.keyboard;
        list.append(QVariantMap {
            {QStringLiteral("path"), keyboard.path()},
            {QStringLiteral("path_report"), keyboard.reportPath()},
            {QStringLiteral("name"), keyboard.name},
            {QStringLiteral("vid"), SimulatedVid},
            {QStringLiteral("pid"), SimulatedPid},
            {QStringLiteral("type"), keyboard.type},
            {QStringLiteral("connectType"), keyboard.connectType},
        });
    }
    return list;
}

int DeviceSimulator::startedDevices(const QString& sn) const
{
    std::lock_guard<std::mutex> guard(d->lock);
    const Plugged* entry = d->find(sn);
    return entry ? d->startedLinks(entry->id).size() : 0;
}

bool DeviceSimulator::hasKeyboard(const QString& name, const QString& connectType) const
{
    std::lock_guard<std::mutex> guard(d->lock);
    for (const Plugged& entry : d->plugged) {
        if (entry.keyboard.name == name && entry.keyboard.connectType == connectType)
            return true;
    }
    return false;
}

void DeviceSimulator::setFactoryFailure(bool fail)
{
    std::lock_guard<std::mutex> guard(d->lock);
    d->factoryFails = fail;
}

bool DeviceSimulator::factoryFailure() const
{
    std::lock_guard<std::mutex> guard(d->lock);
    return d->factoryFails;
}

bool DeviceSimulator::attach(BaseDevice* device, const QString& path)
{
    auto link = std::make_shared<Link>();
    link->device = device;
    link->key = device;
    SimulatedKeyboard::OpenMode mode = SimulatedKeyboard::OpenMode::Ok;
    {
        std::lock_guard<std::mutex> guard(d->lock);
        const Plugged* found = nullptr;
        for (const Plugged& entry : d->plugged) {
            if (entry.keyboard.path() == path)
                found = &entry;
        }
        if (!found)
            return false;
        link->keyboardId = found->id;
        link->sn = found->keyboard.sn;
        mode = found->keyboard.open;
        if (mode == SimulatedKeyboard::OpenMode::Now)
            link->opened = true;
        d->links[device] = link;
    }
    const auto succeed = [](BaseDevice* target) { emit target->emitOpenDeviceSucceed(); };
    if (mode == SimulatedKeyboard::OpenMode::Now) {
        Private::emitTo(link, succeed);
    } else if (mode == SimulatedKeyboard::OpenMode::Ok) {
        d->post(
            [this, link, succeed] {
                {
                    std::lock_guard<std::mutex> guard(d->lock);
                    if (d->linkOf(link->key) != link || !d->isPlugged(link->keyboardId))
                        return;
                    link->opened = true;
                }
                Private::emitTo(link, succeed);
            },
            OpenDelay);
    }
    return true;
}

void DeviceSimulator::start(BaseDevice* device)
{
    std::lock_guard<std::mutex> guard(d->lock);
    const std::shared_ptr<Link> link = d->linkOf(device);
    if (!link || !link->opened)
        return;
    link->started = true;
    for (const Plugged& entry : d->plugged) {
        if (entry.id != link->keyboardId)
            continue;
        const int level = entry.keyboard.batteryLevel;
        const int status = entry.keyboard.batteryStatus;
        d->post([link, level, status] { Private::emitBattery(link, level, status); });
    }
}

void DeviceSimulator::refresh(BaseDevice* device)
{
    std::lock_guard<std::mutex> guard(d->lock);
    const std::shared_ptr<Link> link = d->linkOf(device);
    if (!link || !link->started)
        return;
    for (const Plugged& entry : d->plugged) {
        if (entry.id != link->keyboardId)
            continue;
        const int level = entry.keyboard.batteryLevel;
        const int status = entry.keyboard.batteryStatus;
        d->post([link, level, status] { Private::emitBattery(link, level, status); });
    }
}

void DeviceSimulator::detach(BaseDevice* device)
{
    std::shared_ptr<Link> link;
    {
        std::lock_guard<std::mutex> guard(d->lock);
        const auto found = d->links.find(device);
        if (found == d->links.end())
            return;
        link = found->second;
        d->links.erase(found);
    }
    std::lock_guard<std::recursive_mutex> guard(link->guard);
    link->device = nullptr;
}

QString DeviceSimulator::serialOf(const BaseDevice* device) const
{
    std::lock_guard<std::mutex> guard(d->lock);
    const std::shared_ptr<Link> link = d->linkOf(device);
    return link ? link->sn : QString();
}
