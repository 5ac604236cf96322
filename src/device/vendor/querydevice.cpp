#include "device/vendor/querydevice.h"

#include "device/vendor/devicelibrary.h"
#include "device/vendor/devicesimulator.h"
#include "platform/devicearrivals.h"
#include "platform/systemkeyboards.h"

namespace {

QVariantList systemDeviceList()
{
    QVariantList list;
    for (const SystemKeyboards::Keyboard& keyboard : SystemKeyboards::list()) {
        list.append(QVariantMap {
            {QStringLiteral("path"), keyboard.path},
            {QStringLiteral("path_report"), keyboard.reportPath},
            {QStringLiteral("name"), keyboard.name},
            {QStringLiteral("vid"), keyboard.vid},
            {QStringLiteral("pid"), keyboard.pid},
            {QStringLiteral("type"), 0},
            {QStringLiteral("connectType"), keyboard.connectType},
        });
    }
    return list;
}

} // namespace

QueryDevice::QueryDevice()
    : simulated(DeviceLibrary::isSimulated())
{
    arrivals = std::make_unique<DeviceArrivals>(simulated ? DeviceArrivals::Source::WakeOnly
                                                          : DeviceArrivals::Source::System);
    if (simulated) {
        DeviceArrivals* watch = arrivals.get();
        DeviceSimulator::instance().addChangeListener(this, [watch] { watch->wake(); });
    }
}

QueryDevice::~QueryDevice()
{
    if (simulated)
        DeviceSimulator::instance().removeChangeListener(this);
}

QVariantList QueryDevice::getDeviceList()
{
    return simulated ? DeviceSimulator::instance().deviceList() : systemDeviceList();
}

bool QueryDevice::waitForChange(int timeoutMs)
{
    return arrivals->wait(timeoutMs);
}

void QueryDevice::wake()
{
    arrivals->wake();
}

QString QueryDevice::changeMethod() const
{
    return arrivals->method();
}
