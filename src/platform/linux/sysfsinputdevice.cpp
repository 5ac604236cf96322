#include "platform/linux/sysfsinputdevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

namespace {

// "0003:3151:4011.0001": a HID device; one nested in another is a device behind a receiver.
const QRegularExpression
    HidDeviceName(QStringLiteral("^[0-9A-Fa-f]{4}:[0-9A-Fa-f]{4}:[0-9A-Fa-f]{4}\\.[0-9A-Fa-f]+$"));
// The product texts of USB receivers that pass their keyboard's keys on as their own.
const QRegularExpression ReceiverName(QStringLiteral("receiver|dongle|2\\.4 ?g"),
                                      QRegularExpression::CaseInsensitiveOption);

} // namespace

SysfsInputDevice::SysfsInputDevice(const QString& link, const QString& root)
    : root(QFileInfo(root).canonicalFilePath())
    , folder(QFileInfo(link).canonicalFilePath())
{ }

bool SysfsInputDevice::exists() const
{
    return !folder.isEmpty() && QFileInfo::exists(folder + QStringLiteral("/capabilities/key"));
}

QString SysfsInputDevice::path() const
{
    return folder;
}

QByteArray SysfsInputDevice::attribute(const QString& relative) const
{
    QFile file(relative.startsWith(QLatin1Char('/')) ? relative
                                                     : folder + QLatin1Char('/') + relative);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Attributes are one line, at most a page.
    return file.read(4096).trimmed();
}

QString SysfsInputDevice::text(const QString& relative) const
{
    return QString::fromUtf8(attribute(relative));
}

QString SysfsInputDevice::name() const
{
    return text(QStringLiteral("name"));
}

int SysfsInputDevice::busType() const
{
    bool ok = false;
    const int bus = attribute(QStringLiteral("id/bustype")).toInt(&ok, 16);
    return ok ? bus : -1;
}

QString SysfsInputDevice::vendorId() const
{
    return QStringLiteral("0x") + text(QStringLiteral("id/vendor"));
}

QString SysfsInputDevice::productId() const
{
    return QStringLiteral("0x") + text(QStringLiteral("id/product"));
}

bool SysfsInputDevice::hasKey(int code) const
{
    return bitmapHas(attribute(QStringLiteral("capabilities/key")), code, kernelWordBits());
}

bool SysfsInputDevice::hasEvent(int type) const
{
    return bitmapHas(attribute(QStringLiteral("capabilities/ev")), type, kernelWordBits());
}

bool SysfsInputDevice::bitmapHas(const QByteArray& text, int bit, int wordBits)
{
    if (bit < 0 || wordBits <= 0)
        return false;
    const QList<QByteArray> words = text.simplified().split(' ');
    const int index = bit / wordBits;
    if (text.trimmed().isEmpty() || index >= words.size())
        return false;
    bool ok = false;
    const quint64 word = words.at(words.size() - 1 - index).toULongLong(&ok, 16);
    return ok && (word >> (bit % wordBits)) & 1U;
}

int SysfsInputDevice::kernelWordBits()
{
    static const int bits =
        QSysInfo::currentCpuArchitecture().contains(QLatin1String("64")) ? 64 : 32;
    return bits;
}

// The nearest ancestor with USB ids: the USB device the input device belongs to.
QString SysfsInputDevice::usbDevice() const
{
    QDir dir(folder);
    while (dir.cdUp() && dir.absolutePath().startsWith(root) && dir.absolutePath() != root) {
        if (QFileInfo::exists(dir.filePath(QStringLiteral("idVendor"))))
            return dir.absolutePath();
    }
    return {};
}

bool SysfsInputDevice::behindReceiver() const
{
    int hidDevices = 0;
    QDir dir(folder);
    const QString usb = usbDevice();
    while (dir.cdUp() && dir.absolutePath().startsWith(root) && dir.absolutePath() != usb) {
        if (HidDeviceName.match(dir.dirName()).hasMatch())
            ++hidDevices;
    }
    if (hidDevices > 1)
        return true;
    return !usb.isEmpty() && ReceiverName.match(text(usb + QStringLiteral("/product"))).hasMatch();
}

QString SysfsInputDevice::connectType() const
{
    if (busType() == BusBluetooth)
        return QStringLiteral("ble");
    return behindReceiver() ? QStringLiteral("wireless") : QStringLiteral("wired");
}

QString SysfsInputDevice::serial() const
{
    const QString usb = busType() == BusUsb ? usbDevice() : QString();
    const QString usbSerial = usb.isEmpty() ? QString() : text(usb + QStringLiteral("/serial"));
    return usbSerial.isEmpty() ? text(QStringLiteral("uniq")) : usbSerial;
}

QString SysfsInputDevice::eventNode() const
{
    const QStringList events = QDir(folder).entryList({QStringLiteral("event*")}, QDir::Dirs);
    return events.isEmpty() ? QString() : QStringLiteral("/dev/input/") + events.first();
}

// A keyboard with several USB interfaces shows one input device per interface, all below one
// USB device; keyboards behind one receiver each have a HID device of their own below it.
QString SysfsInputDevice::physicalKey() const
{
    const QString usb = usbDevice();
    if (usb.isEmpty() || behindReceiver())
        return QFileInfo(QFileInfo(folder).absolutePath()).absolutePath();
    return usb;
}
