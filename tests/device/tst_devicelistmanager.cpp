#include "simulatedkeyboards.h"
#include "support/testenvironment.h"

#include "device/devicehandler.h"
#include "device/deviceinfo.h"
#include "device/devicelistmanager.h"
#include "device/devicemodel.h"
#include "device/vendor/basedevice.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <memory>

using Open = SimulatedKeyboard::OpenMode;
using SimulatedKeyboards::keyboard;

class TestDeviceListManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void noDevicesAtAll();
    void rowFollowsTheKeyboard();
    void typeTwoImageOnlyFromARecordChange();
    void wirelessKeyboardImages();
    void disconnectionOfTheCurrentDevice();
    void pressBecomesAiDeviceData();
    void aiDevicePicksTheLaterMatch();
    void aiDeviceForgottenWithItsKeyboard();
    void nullDeviceRowStaysUnopened();
    void destroyedWhilePolling();

private:
    int rowOf(const QString& sn) const;

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<DeviceListManager> manager;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

void TestDeviceListManager::init()
{
    SimulatedKeyboards::reset();
    env = std::make_unique<TestEnvironment>();
    manager = std::make_unique<DeviceListManager>(nullptr, nullptr);
    tester = std::make_unique<QAbstractItemModelTester>(
        manager->deviceModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestDeviceListManager::cleanup()
{
    tester.reset();
    manager.reset();
    env.reset();
    SimulatedKeyboards::reset();
}

int TestDeviceListManager::rowOf(const QString& sn) const
{
    DeviceModel* model = manager->deviceModel();
    for (int i = 0; i < model->rowCount(); ++i) {
        if (model->get(i)
                .value(QStringLiteral("devicePath"))
                .toString()
                .startsWith(QStringLiteral("sim:") + sn + QLatin1Char('/')))
            return i;
    }
    return -1;
}

void TestDeviceListManager::noDevicesAtAll()
{
    QStringList order;
    connect(manager.get(), &DeviceListManager::deviceDisconnection, this,
            [&order] { order << QStringLiteral("disconnection"); });
    connect(manager.get(), &DeviceListManager::deviceListChanged, this,
            [&order] { order << QStringLiteral("list"); });
    manager->slotDeviceListChanged();
    QCOMPARE(order, (QStringList {QStringLiteral("disconnection"), QStringLiteral("list")}));
    QCOMPARE(manager->deviceModel()->rowCount(), 0);
}

void TestDeviceListManager::rowFollowsTheKeyboard()
{
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z19 AI"), QStringLiteral("A")));
    QTRY_COMPARE(rowOf(QStringLiteral("A")), 0);
    QTRY_VERIFY(manager->deviceModel()->get(0).value(QStringLiteral("isOpen")).toBool());
    DeviceSimulator::instance().setBattery(QStringLiteral("A"), 42, 1);
    QTRY_COMPARE(manager->deviceModel()->get(0).value(QStringLiteral("batteryValue")).toString(),
                 QStringLiteral("42"));
    QCOMPARE(manager->deviceModel()->get(0).value(QStringLiteral("batteryStatus")).toInt(), 1);
    QCOMPARE(manager->deviceModel()->get(0).value(QStringLiteral("imageSource")).toString(),
             QStringLiteral("qrc:/Image/Device/Z19 AI.png"));
    DeviceSimulator::instance().unplug(QStringLiteral("A"));
    QTRY_COMPARE(manager->deviceModel()->rowCount(), 0);
}

void TestDeviceListManager::typeTwoImageOnlyFromARecordChange()
{
    SimulatedKeyboard device = keyboard(QStringLiteral("Dongle"), QStringLiteral("D"),
                                        QStringLiteral("wired"), Open::Never);
    device.type = 2;
    DeviceSimulator::instance().plug(device);
    QTRY_COMPARE(rowOf(QStringLiteral("D")), 0);
    DeviceModel* model = manager->deviceModel();
    QVERIFY(model->get(0).value(QStringLiteral("imageSource")).toString().isEmpty());
    QCOMPARE(model->get(0).value(QStringLiteral("typeImageSource")).toString(),
             QStringLiteral("qrc:/Image/Icon/"));
    DeviceInfo* wrapper = manager->deviceHandler()->deviceInfos().first();
    emit wrapper->device()->emitCustomChange(
        {{QStringLiteral("Electricity"), QStringLiteral("7")}});
    QTRY_COMPARE(model->get(0).value(QStringLiteral("imageSource")).toString(),
                 QStringLiteral("qrc:/Image/Device/Dongle.png"));
}

void TestDeviceListManager::wirelessKeyboardImages()
{
    DeviceSimulator::instance().plug(
        keyboard(QStringLiteral("Z19 AI"), QStringLiteral("W"), QStringLiteral("wireless")));
    QTRY_COMPARE(rowOf(QStringLiteral("W")), 0);
    const QVariantMap row = manager->deviceModel()->get(0);
    QCOMPARE(row.value(QStringLiteral("typeImageSource")).toString(),
             QStringLiteral("qrc:/Image/Icon/kb_wireless_"));
    QCOMPARE(row.value(QStringLiteral("imageSource")).toString(),
             QStringLiteral("qrc:/Image/Device/Z19 AI.png"));
    // The wrapper keeps the paths, so its later updates carry them.
    DeviceInfo* wrapper = manager->deviceHandler()->deviceInfos().first();
    QCOMPARE(wrapper->deviceDataInfo().typeImageSource,
             QStringLiteral("qrc:/Image/Icon/kb_wireless_"));
}

void TestDeviceListManager::disconnectionOfTheCurrentDevice()
{
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z19 AI"), QStringLiteral("A")));
    QTRY_COMPARE(rowOf(QStringLiteral("A")), 0);
    manager->setCurrentPath(
        manager->deviceModel()->get(0).value(QStringLiteral("devicePath")).toString());
    QSignalSpy gone(manager.get(), &DeviceListManager::deviceDisconnection);
    QSignalSpy listed(manager.get(), &DeviceListManager::deviceListChanged);
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z46 AI"), QStringLiteral("B")));
    QTRY_COMPARE(listed.count(), 1);
    QCOMPARE(gone.count(), 0);
    DeviceSimulator::instance().unplug(QStringLiteral("A"));
    QTRY_COMPARE(listed.count(), 2);
    QCOMPARE(gone.count(), 1);
}

void TestDeviceListManager::pressBecomesAiDeviceData()
{
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z19 AI"), QStringLiteral("A")));
    QTRY_COMPARE(DeviceSimulator::instance().startedDevices(QStringLiteral("A")), 1);
    QSignalSpy data(manager.get(), &DeviceListManager::aiDeviceData);
    DeviceSimulator::instance().press(QStringLiteral("A"));
    QTRY_COMPARE(data.count(), 1);
    QCOMPARE(data.first().first().toString(), QStringLiteral("A"));
}

void TestDeviceListManager::aiDevicePicksTheLaterMatch()
{
    QVERIFY(!manager->aiDevice());
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z19 AI"), QStringLiteral("A")));
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Plain"), QStringLiteral("P")));
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z46 AI"), QStringLiteral("B")));
    QTRY_COMPARE(manager->deviceHandler()->deviceInfos().size(), 3);
    BaseDevice* device = manager->aiDevice();
    QVERIFY(device);
    const QVariantMap data = device->getAiKeyData().value(QStringLiteral("DataMap")).toMap();
    QCOMPARE(data.value(QStringLiteral("sn")).toString(), QStringLiteral("B"));
}

// The remembered device belonged to a wrapper that is destroyed with its keyboard: it must
// read as none, not as a freed object.
void TestDeviceListManager::aiDeviceForgottenWithItsKeyboard()
{
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z19 AI"), QStringLiteral("A")));
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Plain"), QStringLiteral("P")));
    QTRY_COMPARE(manager->deviceHandler()->deviceInfos().size(), 2);
    QVERIFY(manager->aiDevice());
    DeviceSimulator::instance().unplug(QStringLiteral("A"));
    QTRY_COMPARE(manager->deviceHandler()->deviceInfos().size(), 1);
    QVERIFY(!manager->aiDevice());
}

void TestDeviceListManager::nullDeviceRowStaysUnopened()
{
    DeviceSimulator::instance().setFactoryFailure(true);
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z19 AI"), QStringLiteral("A")));
    QTRY_COMPARE(rowOf(QStringLiteral("A")), 0);
    QVERIFY(!manager->deviceModel()->get(0).value(QStringLiteral("isOpen")).toBool());
    QVERIFY(!manager->aiDevice());
}

void TestDeviceListManager::destroyedWhilePolling()
{
    for (int round = 0; round < 10; ++round) {
        DeviceSimulator::instance().plug(
            keyboard(QStringLiteral("K"), QStringLiteral("R%1").arg(round)));
        QTest::qWait(round * 5); // destroyed at a different point of discovery each round
        tester.reset();
        manager.reset();
        manager = std::make_unique<DeviceListManager>(nullptr, nullptr);
    }
    QTRY_COMPARE(manager->deviceModel()->rowCount(), 1); // one product name: one entry
}

QTEST_GUILESS_MAIN(TestDeviceListManager)
#include "tst_devicelistmanager.moc"
