#include "platform/devicearrivals.h"

#include "platform/presentdevices.h"

#include <QDeadlineTimer>

#include <windows.h>

#include <cfgmgr32.h>
#include <hidsdi.h>

namespace {

// CM_Register_Notification (Windows 8 and later) is looked up at run time: the import library
// of older systems and of some tool chains lacks it, and without it the count is polled.
struct NotifyFilter
{
    DWORD cbSize;
    DWORD Flags;
    DWORD FilterType; // 0: device interface
    DWORD Reserved;
    GUID ClassGuid;
    WCHAR Padding[200 - sizeof(GUID) / sizeof(WCHAR)];
};
static_assert(sizeof(NotifyFilter) == 416, "the size of CM_NOTIFY_FILTER");
using NotifyCallback = DWORD(CALLBACK*)(void* notification, void* context, DWORD action,
                                        void* eventData, DWORD eventDataSize);
using RegisterNotification = DWORD(WINAPI*)(NotifyFilter*, void*, NotifyCallback, void**);
using UnregisterNotification = DWORD(WINAPI*)(void*);

// Runs on a thread of the system's; only signals the event.
DWORD CALLBACK onHidChange(void*, void* context, DWORD, void*, DWORD)
{
    SetEvent(static_cast<HANDLE>(context));
    return ERROR_SUCCESS;
}

FARPROC configManagerFunction(const char* name)
{
    HMODULE module = GetModuleHandleW(L"cfgmgr32.dll");
    if (!module)
        module = LoadLibraryW(L"cfgmgr32.dll");
    return module ? GetProcAddress(module, name) : nullptr;
}

int remainingMs(const QDeadlineTimer& deadline)
{
    return deadline.isForever() ? -1 : int(qMax<qint64>(0, deadline.remainingTime()));
}

} // namespace

struct DeviceArrivals::Private
{
    HANDLE wakeEvent = nullptr;
    HANDLE changeEvent = nullptr;
    void* notification = nullptr;
    bool polling = false;
    bool system = true;
    int lastCount = 0;
};

DeviceArrivals::DeviceArrivals(Source source)
    : d(std::make_unique<Private>())
{
    d->wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    d->changeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    d->system = source == Source::System;
    if (!d->system)
        return;
    const auto registerNotification = reinterpret_cast<RegisterNotification>(
        reinterpret_cast<void*>(configManagerFunction("CM_Register_Notification")));
    NotifyFilter filter = {};
    filter.cbSize = sizeof(filter);
    filter.FilterType = 0;
    HidD_GetHidGuid(&filter.ClassGuid);
    if (!registerNotification
        || registerNotification(&filter, d->changeEvent, onHidChange, &d->notification)
            != CR_SUCCESS) {
        d->notification = nullptr;
        d->polling = true;
        d->lastCount = PresentDevices::systemCount();
    }
}

DeviceArrivals::~DeviceArrivals()
{
    if (d->notification) {
        // Waits for a callback in flight, so none touches the event after this.
        const auto unregisterNotification = reinterpret_cast<UnregisterNotification>(
            reinterpret_cast<void*>(configManagerFunction("CM_Unregister_Notification")));
        if (unregisterNotification)
            unregisterNotification(d->notification);
    }
    CloseHandle(d->changeEvent);
    CloseHandle(d->wakeEvent);
}

QString DeviceArrivals::method() const
{
    if (!d->system)
        return QStringLiteral("the device library's own reports");
    if (d->polling)
        return QStringLiteral("counting the devices every %1 ms").arg(PollIntervalMs);
    return QStringLiteral("HID arrival and removal notifications");
}

bool DeviceArrivals::wait(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                                : QDeadlineTimer(timeoutMs));
    const HANDLE events[2] = {d->wakeEvent, d->changeEvent};
    for (;;) {
        int timeout = remainingMs(deadline);
        if (d->polling)
            timeout = timeout < 0 ? PollIntervalMs : qMin(timeout, PollIntervalMs);
        const DWORD result =
            WaitForMultipleObjects(2, events, FALSE, timeout < 0 ? INFINITE : DWORD(timeout));
        if (result == WAIT_OBJECT_0)
            return true;
        if (result == WAIT_OBJECT_0 + 1) {
            // One keyboard brings several interfaces: let the burst settle.
            while (WaitForSingleObject(d->changeEvent, 100) == WAIT_OBJECT_0) { }
            return true;
        }
        if (d->polling) {
            const int count = PresentDevices::systemCount();
            if (count != d->lastCount) {
                d->lastCount = count;
                return true;
            }
        }
        if (result == WAIT_FAILED || deadline.hasExpired())
            return false;
    }
}

void DeviceArrivals::wake()
{
    SetEvent(d->wakeEvent);
}
