#include "platform/devicearrivals.h"

#include "platform/presentdevices.h"
#include "platform/systemkeyboards.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <linux/netlink.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// One keyboard brings a burst of events (USB device, interfaces, HID, input and event nodes);
// the library is asked once they have gone quiet, or at the latest after SettleLimitMs.
constexpr int SettleQuietMs = 100;
constexpr int SettleLimitMs = 1000;
constexpr unsigned KernelEvents = 1; // the kernel's multicast group; udev re-sends on group 2

void drain(int fd)
{
    char buffer[8192];
    while (read(fd, buffer, sizeof(buffer)) > 0) { }
}

// A kernel device event: "ACTION@DEVPATH" and "KEY=value" fields, each ended by a NUL. Only
// input devices matter; a laptop's battery alone reports every few seconds.
bool isInputEvent(const char* message, ssize_t size)
{
    for (ssize_t at = 0; at < size;) {
        const char* field = message + at;
        const size_t length = strnlen(field, size_t(size - at));
        if (length == qstrlen("SUBSYSTEM=input")
            && std::strncmp(field, "SUBSYSTEM=input", length) == 0)
            return true;
        at += ssize_t(length) + 1;
    }
    return false;
}

bool drainNetlink(int fd)
{
    bool input = false;
    char buffer[8192];
    for (;;) {
        const ssize_t size = recv(fd, buffer, sizeof(buffer), MSG_DONTWAIT);
        if (size <= 0)
            return input;
        input = input || isInputEvent(buffer, size);
    }
}

int openKernelEvents()
{
    const int fd =
        socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
    if (fd < 0)
        return -1;
    sockaddr_nl address = {};
    address.nl_family = AF_NETLINK;
    address.nl_groups = KernelEvents;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int watchFolder(const QString& folder)
{
    const int fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (fd < 0)
        return -1;
    const uint32_t mask =
        IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
    if (inotify_add_watch(fd, QFile::encodeName(folder).constData(), mask) < 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int remainingMs(const QDeadlineTimer& deadline)
{
    return deadline.isForever() ? -1 : int(qMax<qint64>(0, deadline.remainingTime()));
}

} // namespace

struct DeviceArrivals::Private
{
    int wakeFd = -1;
    int folderFd = -1;
    int kernelFd = -1;
    bool polling = false;
    QString countRoot;
    int lastCount = 0;

    // Which of the sources had something; the wake flag ends a wait at once.
    bool readSources(const pollfd* fds, int count, bool* woken);
    bool countChanged();
    void settle();
};

bool DeviceArrivals::Private::readSources(const pollfd* fds, int count, bool* woken)
{
    bool changed = false;
    for (int i = 0; i < count; ++i) {
        if (!(fds[i].revents & POLLIN))
            continue;
        if (fds[i].fd == wakeFd) {
            drain(wakeFd);
            *woken = true;
        } else if (fds[i].fd == kernelFd) {
            changed = drainNetlink(kernelFd) || changed;
        } else {
            drain(fds[i].fd);
            changed = true;
        }
    }
    return changed;
}

bool DeviceArrivals::Private::countChanged()
{
    const int count = PresentDevices::systemCount(countRoot);
    if (count == lastCount)
        return false;
    lastCount = count;
    return true;
}

void DeviceArrivals::Private::settle()
{
    pollfd fds[3] = {{wakeFd, POLLIN, 0}, {folderFd, POLLIN, 0}, {kernelFd, POLLIN, 0}};
    const QDeadlineTimer limit(SettleLimitMs);
    while (!limit.hasExpired()) {
        if (poll(fds, 3, qMin(SettleQuietMs, remainingMs(limit))) <= 0)
            return;
        bool woken = false;
        readSources(fds, 3, &woken);
        if (woken) {
            // Kept for the next wait: a wake must never be lost.
            const uint64_t one = 1;
            if (write(wakeFd, &one, sizeof(one)) < 0) { }
            return;
        }
    }
}

DeviceArrivals::DeviceArrivals(Source source)
    : d(std::make_unique<Private>())
{
    d->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (source == Source::WakeOnly)
        return;
    const QString root = SystemKeyboards::sysfsRoot();
    d->folderFd = watchFolder(root + QStringLiteral("/class/input"));
    // Kernel events describe the real tree only; a moved root has its folder watch.
    if (QFileInfo(root).canonicalFilePath() == QLatin1String("/sys"))
        d->kernelFd = openKernelEvents();
    if (d->folderFd < 0 && d->kernelFd < 0) {
        d->polling = true;
        d->countRoot = root + QStringLiteral("/class");
        d->lastCount = PresentDevices::systemCount(d->countRoot);
    }
}

DeviceArrivals::~DeviceArrivals()
{
    for (const int fd : {d->wakeFd, d->folderFd, d->kernelFd}) {
        if (fd >= 0)
            close(fd);
    }
}

QString DeviceArrivals::method() const
{
    if (d->polling)
        return QStringLiteral("counting the devices every %1 ms").arg(PollIntervalMs);
    QStringList methods;
    if (d->kernelFd >= 0)
        methods << QStringLiteral("kernel device events");
    if (d->folderFd >= 0)
        methods << QStringLiteral("a watch of %1/class/input").arg(SystemKeyboards::sysfsRoot());
    if (methods.isEmpty())
        methods << QStringLiteral("the device library's own reports");
    return methods.join(QStringLiteral(" and "));
}

bool DeviceArrivals::wait(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                                : QDeadlineTimer(timeoutMs));
    pollfd fds[3] = {{d->wakeFd, POLLIN, 0}, {d->folderFd, POLLIN, 0}, {d->kernelFd, POLLIN, 0}};
    for (;;) {
        int timeout = remainingMs(deadline);
        if (d->polling)
            timeout = timeout < 0 ? PollIntervalMs : qMin(timeout, PollIntervalMs);
        const int ready = poll(fds, 3, timeout);
        if (ready < 0 && errno != EINTR)
            return false;
        bool woken = false;
        const bool changed = ready > 0 && d->readSources(fds, 3, &woken);
        if (woken)
            return true;
        if (changed || (d->polling && d->countChanged())) {
            d->settle();
            return true;
        }
        if (deadline.hasExpired())
            return false;
    }
}

void DeviceArrivals::wake()
{
    const uint64_t one = 1;
    if (write(d->wakeFd, &one, sizeof(one)) < 0) {
        // The counter is full only after 2^64 - 2 wakes nobody waited for.
    }
}
