#include "fakesysfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVector>

namespace {

// Letters, digits and the keys around them: what every keyboard has.
QList<int> ordinaryKeys()
{
    QList<int> keys;
    for (int code = 1; code <= 88; ++code)
        keys << code;
    return keys;
}

constexpr int EventSyn = 0;
constexpr int EventKey = 1;
constexpr int EventMsc = 4;
constexpr int EventLed = 17;
constexpr int EventRep = 20;
constexpr int KeyF20 = 190;

QByteArray busText(FakeSysfs::Bus bus)
{
    switch (bus) {
    case FakeSysfs::Bus::Bluetooth:
        return "0005";
    case FakeSysfs::Bus::Internal:
        return "0011";
    case FakeSysfs::Bus::Usb:
    case FakeSysfs::Bus::Receiver:
        break;
    }
    return "0003";
}

} // namespace

FakeSysfs::FakeSysfs()
{
    QDir(dir.path()).mkpath(QStringLiteral("class/input"));
}

bool FakeSysfs::isValid() const
{
    return dir.isValid();
}

QString FakeSysfs::root() const
{
    return dir.path();
}

QByteArray FakeSysfs::bitmap(const QList<int>& bits, int wordBits)
{
    int top = 0;
    for (const int bit : bits)
        top = qMax(top, bit / wordBits);
    QVector<quint64> words(top + 1, 0);
    for (const int bit : bits)
        words[bit / wordBits] |= quint64(1) << (bit % wordBits);
    QByteArrayList text;
    for (int i = top; i >= 0; --i)
        text << QByteArray::number(words.at(i), 16);
    return text.join(' ');
}

void FakeSysfs::write(const QString& path, const QByteArray& content) const
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content + '\n');
}

QString FakeSysfs::addInput(const QString& parent, const Keyboard& keyboard, const QString& vendor,
                            const QString& product)
{
    const QString name = QStringLiteral("input%1").arg(nextInput);
    const QString folder = parent + QStringLiteral("/input/") + name;
    QList<int> keys = ordinaryKeys();
    if (keyboard.aiKey)
        keys << KeyF20;
    QList<int> events {EventSyn, EventMsc, EventLed, EventRep};
    if (keyboard.keyEvents)
        events << EventKey;
    write(folder + QStringLiteral("/name"), keyboard.name.toUtf8());
    write(folder + QStringLiteral("/uniq"),
          keyboard.bus == Bus::Bluetooth ? keyboard.serial.toUtf8() : QByteArray());
    write(folder + QStringLiteral("/id/bustype"), busText(keyboard.bus));
    write(folder + QStringLiteral("/id/vendor"), vendor.toLatin1());
    write(folder + QStringLiteral("/id/product"), product.toLatin1());
    write(folder + QStringLiteral("/capabilities/ev"), bitmap(events));
    write(folder + QStringLiteral("/capabilities/key"), keyboard.keyEvents ? bitmap(keys) : "0");
    QDir().mkpath(folder + QStringLiteral("/event%1").arg(nextInput));
    ++nextInput;
    return folder;
}

QString FakeSysfs::plug(const Keyboard& keyboard)
{
    const QString vendor = QStringLiteral("3151");
    const QString product = QStringLiteral("4011");
    const QString base = dir.path() + QStringLiteral("/devices");
    QStringList inputs;
    QString device;
    if (keyboard.bus == Bus::Bluetooth || keyboard.bus == Bus::Internal) {
        device = keyboard.bus == Bus::Bluetooth
            ? base
                + QStringLiteral("/virtual/misc/uhid/0005:3151:4011.%1")
                      .arg(nextHid++, 4, 16, QLatin1Char('0'))
            : base + QStringLiteral("/platform/i8042/serio%1").arg(nextHid++);
        inputs << addInput(device, keyboard, vendor, product);
    } else {
        const QString port = QStringLiteral("1-%1").arg(nextPort++);
        const QString usb = base + QStringLiteral("/pci0000:00/0000:00:14.0/usb1/") + port;
        device = usb;
        write(usb + QStringLiteral("/idVendor"), vendor.toLatin1());
        write(usb + QStringLiteral("/idProduct"), product.toLatin1());
        write(usb + QStringLiteral("/product"),
              (keyboard.usbProduct.isEmpty() ? keyboard.name : keyboard.usbProduct).toUtf8());
        if (!keyboard.serial.isEmpty())
            write(usb + QStringLiteral("/serial"), keyboard.serial.toUtf8());
        for (int i = 0; i < keyboard.interfaces; ++i) {
            QString hid = usb
                + QStringLiteral("/%1:1.%2/0003:3151:4011.%3")
                      .arg(port)
                      .arg(i)
                      .arg(nextHid++, 4, 16, QLatin1Char('0'));
            // A receiver passes its keyboard on as a HID device of its own below it.
            if (keyboard.bus == Bus::Receiver)
                hid += QStringLiteral("/0003:3151:4012.%1").arg(nextHid++, 4, 16, QLatin1Char('0'));
            inputs << addInput(hid, keyboard, vendor, product);
        }
    }
    for (const QString& input : qAsConst(inputs)) {
        const QString link =
            dir.path() + QStringLiteral("/class/input/") + QFileInfo(input).fileName();
        QFile::link(QDir(QFileInfo(link).path()).relativeFilePath(input), link);
    }
    const QString first = QFileInfo(inputs.first()).canonicalFilePath();
    inputsOf.insert(first, inputs);
    deviceOf.insert(first, device);
    return first;
}

void FakeSysfs::unplug(const QString& inputFolder)
{
    for (const QString& input : inputsOf.take(inputFolder))
        QFile::remove(dir.path() + QStringLiteral("/class/input/") + QFileInfo(input).fileName());
    QDir(deviceOf.take(inputFolder)).removeRecursively();
}
