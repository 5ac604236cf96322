#include "support/fakesysfs.h"
#include "support/testenvironment.h"

#include "device/devicecontrolsocket.h"
#include "device/devicehandler.h"
#include "device/deviceinfo.h"
#include "device/devicelistmanager.h"
#include "device/devicemodel.h"
#include "device/vendor/basedevice.h"
#include "device/vendor/devicefactory.h"
#include "device/vendor/devicelibrary.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QtTest>

#include <memory>

namespace {

FakeSysfs::Keyboard aiKeyboard(const QString& serial)
{
    FakeSysfs::Keyboard keyboard;
    keyboard.name = QStringLiteral("Orvik Z19");
    keyboard.serial = serial;
    return keyboard;
}

QString serialOf(BaseDevice* device)
{
    return device ? device->getAiKeyData()
                        .value(QStringLiteral("DataMap"))
                        .toMap()
                        .value(QStringLiteral("sn"))
                        .toString()
                  : QString();
}

} // namespace

// The device list over the system's keyboards (a fake sysfs tree here), as on a user's
// machine: no simulator, no control socket.
class TestSystemDevices : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyboardPluggedWhileRunning();
    void keyboardWithoutTheAiKeyIsNeverUsed();
    void deviceOpensOnlyWhileConnected();
    void noControlSocket();

private:
    bool allOpen() const;

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<FakeSysfs> sysfs;
    std::unique_ptr<DeviceListManager> manager;
};

void TestSystemDevices::init()
{
#ifndef Q_OS_LINUX
    QSKIP("sysfs is read on Linux only");
#endif
    DeviceLibrary::setSimulated(false);
    env = std::make_unique<TestEnvironment>();
    sysfs = std::make_unique<FakeSysfs>();
    qputenv("LUMORA_SYSFS_ROOT", sysfs->root().toUtf8());
}

void TestSystemDevices::cleanup()
{
    manager.reset();
    sysfs.reset();
    env.reset();
    qunsetenv("LUMORA_SYSFS_ROOT");
}

bool TestSystemDevices::allOpen() const
{
    for (const QPointer<DeviceInfo>& wrapper : manager->deviceHandler()->deviceInfos()) {
        if (!wrapper || !wrapper->deviceDataInfo().isOpen)
            return false;
    }
    return true;
}

void TestSystemDevices::keyboardPluggedWhileRunning()
{
    manager = std::make_unique<DeviceListManager>(nullptr, nullptr);
    QVERIFY(!manager->aiDevice());
    const QString input = sysfs->plug(aiKeyboard(QStringLiteral("SN-SYS-1")));
    QTRY_COMPARE(manager->deviceModel()->rowCount(), 1);
    QTRY_VERIFY(allOpen());
    const QVariantMap row = manager->deviceModel()->get(0);
    QCOMPARE(row.value(QStringLiteral("devicePath")).toString(), input);
    QCOMPARE(row.value(QStringLiteral("deviceName")).toString(), QStringLiteral("Orvik Z19"));
    QCOMPARE(row.value(QStringLiteral("connectType")).toString(), QStringLiteral("wired"));
    BaseDevice* device = manager->aiDevice();
    QVERIFY(device);
    QVERIFY(device->getDeviceDetails()
                .value(QStringLiteral("DeviceName"))
                .toString()
                .contains(QLatin1String("AI")));
    QCOMPARE(serialOf(device), QStringLiteral("SN-SYS-1"));

    sysfs->unplug(input);
    QTRY_COMPARE(manager->deviceModel()->rowCount(), 0);
    QVERIFY(!manager->aiDevice());
}

void TestSystemDevices::keyboardWithoutTheAiKeyIsNeverUsed()
{
    FakeSysfs::Keyboard plain = aiKeyboard(QStringLiteral("PLAIN"));
    plain.name = QStringLiteral("Orvik Z19 AI"); // a name is not enough
    plain.aiKey = false;
    sysfs->plug(plain);
    manager = std::make_unique<DeviceListManager>(nullptr, nullptr);
    sysfs->plug(aiKeyboard(QStringLiteral("WITH-F20")));
    QTRY_COMPARE(manager->deviceModel()->rowCount(), 1);
    QTRY_VERIFY(allOpen());
    QCOMPARE(serialOf(manager->aiDevice()), QStringLiteral("WITH-F20"));
    sysfs->plug(plain);
    QVERIFY(!QTest::qWaitFor([this] { return manager->deviceModel()->rowCount() > 1; }, 1500));
}

void TestSystemDevices::deviceOpensOnlyWhileConnected()
{
    const QString input = sysfs->plug(aiKeyboard(QStringLiteral("OPEN")));
    std::unique_ptr<BaseDevice> device(
        DeviceFactory::getDevice(QStringLiteral("Orvik Z19"), QStringLiteral("wired")));
    QVERIFY(device);
    QSignalSpy opened(device.get(), &BaseDevice::emitOpenDeviceSucceed);
    QVERIFY(!device->openDevice(input + QStringLiteral("-gone"), QString()));
    QVERIFY(device->openDevice(input, QString()));
    QVERIFY(opened.wait(5000));
    QCOMPARE(opened.count(), 1);
    QCOMPARE(serialOf(device.get()), QStringLiteral("OPEN"));
}

// Nothing outside may invent a keyboard on a user's machine.
void TestSystemDevices::noControlSocket()
{
    manager = std::make_unique<DeviceListManager>(nullptr, nullptr);
    QVERIFY(!manager->controlServer());
    QVERIFY(!QFileInfo::exists(DeviceControlSocket::serverName()));
    QLocalSocket socket;
    socket.connectToServer(DeviceControlSocket::serverName());
    QVERIFY(!socket.waitForConnected(1000));
}

QTEST_GUILESS_MAIN(TestSystemDevices)
#include "tst_systemdevices.moc"
