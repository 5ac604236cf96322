#pragma once

#include <QByteArray>
#include <QString>

// One input device as the kernel shows it under sysfs ("class/input/inputN", a link into the
// device tree): its name, ids and key capabilities, and what its ancestors say about how it is
// connected (the USB device's serial, a Bluetooth bus, a wireless receiver).
class SysfsInputDevice
{
public:
    static constexpr int EventKey = 1; // EV_KEY in "capabilities/ev"
    static constexpr int KeyF20 = 190; // KEY_F20 in "capabilities/key": the AI key
    static constexpr int BusUsb = 0x03;
    static constexpr int BusBluetooth = 0x05;

    // link: a "class/input/inputN" entry; root: the folder that stands for "/sys", which the
    // walk up the device tree never leaves.
    SysfsInputDevice(const QString& link, const QString& root);

    bool exists() const;
    // The resolved folder of the input device in the device tree.
    QString path() const;
    QString name() const;
    int busType() const;
    QString vendorId() const; // "0x" and the kernel's four hex digits
    QString productId() const;
    bool hasKey(int code) const;
    bool hasEvent(int type) const;
    // "wired", "ble" or "wireless" (a keyboard behind a USB receiver).
    QString connectType() const;
    // The USB device's serial, or the input device's "uniq" (Bluetooth, or a USB device that
    // reports no serial of its own).
    QString serial() const;
    // "/dev/input/eventN" of the device's event node, or empty.
    QString eventNode() const;
    // What stands for the physical keyboard: its interfaces share it.
    QString physicalKey() const;

    // A capability bitmap as the kernel prints it: hexadecimal words of the kernel's long,
    // the most significant first, separated by spaces.
    static bool bitmapHas(const QByteArray& text, int bit, int wordBits);
    // The kernel's long in bits: 64 on a 64-bit kernel, whatever this program was built for.
    static int kernelWordBits();

private:
    QByteArray attribute(const QString& relative) const;
    QString text(const QString& relative) const;
    QString usbDevice() const;
    bool behindReceiver() const;

    QString root;
    QString folder;
};
