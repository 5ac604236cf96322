#pragma once

#include <QList>
#include <QString>

#include <optional>

// The keyboards with the AI key that the system itself lists: keyboards whose keys include F20,
// the key the AI key sends. One entry per physical keyboard, even when it shows the system
// several interfaces. Linux reads the kernel's sysfs (the folder that stands for "/sys" can be
// moved with LUMORA_SYSFS_ROOT); Windows asks SetupAPI and the HID driver.
class SystemKeyboards
{
public:
    struct Keyboard
    {
        QString path; // identifies the keyboard while it is connected
        QString reportPath; // the node its key events come from, when there is one
        QString name; // the product's name
        QString vid; // "0x" and four hex digits
        QString pid;
        QString serial; // empty when the keyboard reports none
        QString connectType; // "wired", "ble" or "wireless"
    };

    static QList<Keyboard> list();
    // The keyboard at path, while it is still connected.
    static std::optional<Keyboard> find(const QString& path);
    // The root the Linux listing reads: LUMORA_SYSFS_ROOT, else "/sys". Unused on Windows.
    static QString sysfsRoot();
};
