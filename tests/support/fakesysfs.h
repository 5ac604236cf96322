#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QTemporaryDir>

// A folder laid out like the kernel's sysfs, for LUMORA_SYSFS_ROOT: each keyboard gets its
// device folders ("devices/…/usb1/1-N/1-N:1.I/0003:VVVV:PPPP.K/input/inputM" with the kernel's
// attribute files) and, last, its "class/input/inputM" links, so a watcher of that folder sees
// a keyboard only once it is complete.
class FakeSysfs
{
public:
    enum class Bus { Usb, Bluetooth, Receiver, Internal };

    struct Keyboard
    {
        QString name;
        QString serial; // the USB device's "serial" (USB), "uniq" (Bluetooth)
        Bus bus = Bus::Usb;
        bool aiKey = true; // F20 among the keys
        bool keyEvents = true; // EV_KEY among the event types
        int interfaces = 1; // input devices of the keyboard, each with the same keys
        QString usbProduct; // the USB device's "product"
    };

    FakeSysfs();

    bool isValid() const;
    QString root() const;
    // Adds the keyboard; returns the device folder of its first input device.
    QString plug(const Keyboard& keyboard);
    // Removes the keyboard's links, then its device folders.
    void unplug(const QString& inputFolder);

    // A capability bitmap as the kernel prints it.
    static QByteArray bitmap(const QList<int>& bits, int wordBits = 64);

private:
    QString addInput(const QString& parent, const Keyboard& keyboard, const QString& vendor,
                     const QString& product);
    void write(const QString& path, const QByteArray& content) const;

    QTemporaryDir dir;
    QHash<QString, QStringList> inputsOf; // by the first input folder
    QHash<QString, QString> deviceOf; // the folder that goes with the keyboard
    int nextInput = 3;
    int nextHid = 1;
    int nextPort = 1;
};
