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

// One device object opened on a keyboard, known by its serial: like a real library, which
// finds a re-plugged keyboard again, an object that was never closed hears the keyboard after
// a re-plug too. The guard is held while a signal of the object is emitted and while the
// object detaches, so its destructor waits for an emission in flight and none starts
// afterwards. Recursive, because a receiver in the emitting thread may destroy the object.
struct Link
{
    std::recursive_mutex guard;
    BaseDevice* device = nullptr; // under guard; null once detached
    const BaseDevice* key = nullptr; // the registry's key, never changes
    QString sn;
    bool opened = false; // under the registry's lock, like started
    bool started = false;
};

} // namespace

struct DeviceSimulator::Private
{
    mutable std::mutex lock; // the registry's lock: plugged, links and factoryFails
    QList<SimulatedKeyboard> plugged;
    std::map<const BaseDevice*, std::shared_ptr<Link>> links;
    bool factoryFails = false;
    bool notices = true;
    mutable int queries = 0;

    // Not the registry's lock: a listener may call back into the simulator.
    std::mutex listenerLock;
    std::map<const void*, std::function<void()>> listeners;
    void announce();

    std::mutex queueLock;
    std::condition_variable wake;
    std::multimap<Clock::time_point, std::function<void()>> tasks;
    bool stopping = false;
    std::thread thread;

    void post(std::function<void()> task, std::chrono::milliseconds delay = {});
    void runTasks();

    // Under lock.
    const SimulatedKeyboard* find(const QString& sn) const;
    std::shared_ptr<Link> linkOf(const BaseDevice* device) const;
    QList<std::shared_ptr<Link>> startedLinks(const QString& sn) const;

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

const SimulatedKeyboard* DeviceSimulator::Private::find(const QString& sn) const
{
    for (const SimulatedKeyboard& entry : plugged) {
        if (entry.sn == sn)
            return &entry;
    }
    return nullptr;
}

std::shared_ptr<Link> DeviceSimulator::Private::linkOf(const BaseDevice* device) const
{
    const auto found = links.find(device);
    return found == links.end() ? nullptr : found->second;
}

QList<std::shared_ptr<Link>> DeviceSimulator::Private::startedLinks(const QString& sn) const
{
    QList<std::shared_ptr<Link>> result;
    for (const auto& entry : links) {
        if (entry.second->sn == sn && entry.second->opened && entry.second->started)
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

void DeviceSimulator::Private::announce()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!notices)
            return;
    }
    std::lock_guard<std::mutex> guard(listenerLock);
    for (const auto& entry : listeners)
        entry.second();
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
    {
        std::lock_guard<std::mutex> guard(d->lock);
        if (d->find(keyboard.sn))
            return false;
        d->plugged.append(keyboard);
    }
    d->announce();
    return true;
}

bool DeviceSimulator::unplug(const QString& sn)
{
    bool found = false;
    {
        std::lock_guard<std::mutex> guard(d->lock);
        for (int i = 0; i < d->plugged.size() && !found; ++i) {
            found = d->plugged.at(i).sn == sn;
            if (found)
                d->plugged.removeAt(i);
        }
    }
    if (found)
        d->announce();
    return found;
}

int DeviceSimulator::unplugAll()
{
    int count = 0;
    {
        std::lock_guard<std::mutex> guard(d->lock);
        count = d->plugged.size();
        d->plugged.clear();
    }
    if (count > 0)
        d->announce();
    return count;
}

bool DeviceSimulator::press(const QString& sn, int count)
{
    {
        std::lock_guard<std::mutex> guard(d->lock);
        if (!d->find(sn))
            return false;
    }
    d->post([this, sn, count] {
        for (int i = 0; i < count; ++i) {
            QList<std::shared_ptr<Link>> targets;
            {
                std::lock_guard<std::mutex> guard(d->lock);
                // An unplugged keyboard presses nothing.
                if (d->find(sn))
                    targets = d->startedLinks(sn);
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
        for (SimulatedKeyboard& entry : d->plugged) {
            if (entry.sn != sn)
                continue;
            entry.batteryLevel = level;
            entry.batteryStatus = status;
            targets = d->startedLinks(sn);
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
    return d->plugged;
}

int DeviceSimulator::keyboardCount() const
{
    std::lock_guard<std::mutex> guard(d->lock);
    return d->plugged.size();
}

QVariantList DeviceSimulator::deviceList() const
{
    std::lock_guard<std::mutex> guard(d->lock);
    ++d->queries;
    QVariantList list;
    for (const SimulatedKeyboard& keyboard : d->plugged) {
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
    const SimulatedKeyboard* entry = d->find(sn);
    return entry ? d->startedLinks(sn).size() : 0;
}

bool DeviceSimulator::hasKeyboard(const QString& name, const QString& connectType) const
{
    std::lock_guard<std::mutex> guard(d->lock);
    for (const SimulatedKeyboard& entry : d->plugged) {
        if (entry.name == name && entry.connectType == connectType)
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

void DeviceSimulator::setChangeNotices(bool on)
{
    std::lock_guard<std::mutex> guard(d->lock);
    d->notices = on;
}

int DeviceSimulator::listQueries() const
{
    std::lock_guard<std::mutex> guard(d->lock);
    return d->queries;
}

void DeviceSimulator::addChangeListener(const void* key, std::function<void()> listener)
{
    std::lock_guard<std::mutex> guard(d->listenerLock);
    d->listeners[key] = std::move(listener);
}

void DeviceSimulator::removeChangeListener(const void* key)
{
    std::lock_guard<std::mutex> guard(d->listenerLock);
    d->listeners.erase(key);
}

bool DeviceSimulator::attach(BaseDevice* device, const QString& path)
{
    auto link = std::make_shared<Link>();
    link->device = device;
    link->key = device;
    SimulatedKeyboard::OpenMode mode = SimulatedKeyboard::OpenMode::Ok;
    {
        std::lock_guard<std::mutex> guard(d->lock);
        const SimulatedKeyboard* found = nullptr;
        for (const SimulatedKeyboard& entry : d->plugged) {
            if (entry.path() == path)
                found = &entry;
        }
        if (!found)
            return false;
        link->sn = found->sn;
        mode = found->open;
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
                    if (d->linkOf(link->key) != link || !d->find(link->sn))
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
    if (const SimulatedKeyboard* entry = d->find(link->sn)) {
        const int level = entry->batteryLevel;
        const int status = entry->batteryStatus;
        d->post([link, level, status] { Private::emitBattery(link, level, status); });
    }
}

void DeviceSimulator::refresh(BaseDevice* device)
{
    std::lock_guard<std::mutex> guard(d->lock);
    const std::shared_ptr<Link> link = d->linkOf(device);
    if (!link || !link->started)
        return;
    if (const SimulatedKeyboard* entry = d->find(link->sn)) {
        const int level = entry->batteryLevel;
        const int status = entry->batteryStatus;
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
