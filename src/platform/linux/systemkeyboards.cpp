#include "platform/systemkeyboards.h"

#include "platform/linux/sysfsinputdevice.h"

#include <QDir>
#include <QSet>
#include <QtGlobal>

#include <algorithm>

namespace {

// A keyboard of ours: key events, the AI key among its keys, and on a bus a keyboard of the
// maker uses (a laptop's own keyboard or a virtual one may also claim F20).
bool isAiKeyboard(const SysfsInputDevice& device)
{
    const int bus = device.busType();
    return device.exists() && device.hasEvent(SysfsInputDevice::EventKey)
        && device.hasKey(SysfsInputDevice::KeyF20)
        && (bus == SysfsInputDevice::BusUsb || bus == SysfsInputDevice::BusBluetooth);
}

SystemKeyboards::Keyboard describe(const SysfsInputDevice& device)
{
    SystemKeyboards::Keyboard keyboard;
    keyboard.path = device.path();
    keyboard.reportPath = device.eventNode();
    keyboard.name = device.name();
    keyboard.vid = device.vendorId();
    keyboard.pid = device.productId();
    keyboard.serial = device.serial();
    keyboard.connectType = device.connectType();
    return keyboard;
}

int inputNumber(const QString& entry)
{
    return entry.midRef(int(qstrlen("input"))).toInt();
}

// "inputN" entries in the kernel's order of registration; the class also lists "eventN",
// "mouseN" and "jsN" nodes, which are not devices of their own.
QStringList inputEntries(const QString& classFolder)
{
    QStringList entries;
    for (const QString& entry :
         QDir(classFolder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        bool numbered = false;
        entry.midRef(int(qstrlen("input"))).toInt(&numbered);
        if (entry.startsWith(QLatin1String("input")) && numbered)
            entries.append(entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const QString& a, const QString& b) { return inputNumber(a) < inputNumber(b); });
    return entries;
}

} // namespace

QString SystemKeyboards::sysfsRoot()
{
    const QString moved = qEnvironmentVariable("LUMORA_SYSFS_ROOT");
    return moved.isEmpty() ? QStringLiteral("/sys") : moved;
}

QList<SystemKeyboards::Keyboard> SystemKeyboards::list()
{
    const QString root = sysfsRoot();
    const QString classFolder = root + QStringLiteral("/class/input");
    QList<Keyboard> keyboards;
    QSet<QString> seen;
    for (const QString& entry : inputEntries(classFolder)) {
        const SysfsInputDevice device(classFolder + QLatin1Char('/') + entry, root);
        if (!isAiKeyboard(device))
            continue;
        // The first interface of a keyboard stands for it.
        const QString physical = device.physicalKey();
        if (seen.contains(physical))
            continue;
        seen.insert(physical);
        keyboards.append(describe(device));
    }
    return keyboards;
}

std::optional<SystemKeyboards::Keyboard> SystemKeyboards::find(const QString& path)
{
    for (const Keyboard& keyboard : list()) {
        if (keyboard.path == path)
            return keyboard;
    }
    return std::nullopt;
}
