#include "simulatedkeyboards.h"

#include "device/devicehandler.h"
#include "device/deviceinfo.h"
#include "device/vendor/basedevice.h"

#include <QtTest>

#include <atomic>
#include <thread>

using Open = SimulatedKeyboard::OpenMode;
using SimulatedKeyboards::keyboard;

namespace {

const QString Name = QStringLiteral("Z19 AI");

QStringList paths(const DeviceHandler& handler)
{
    QStringList result;
    for (const QPointer<DeviceInfo>& wrapper : handler.deviceInfos())
        result << (wrapper ? wrapper->deviceDataInfo().devicePath : QStringLiteral("(gone)"));
    return result;
}

bool allOpen(const DeviceHandler& handler)
{
    for (const QPointer<DeviceInfo>& wrapper : handler.deviceInfos()) {
        if (!wrapper || !wrapper->deviceDataInfo().isOpen)
            return false;
    }
    return true;
}

} // namespace

class TestDeviceHandler : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void plugOpensOneWrapper();
    void openDelivery_data();
    void openDelivery();
    void presssesRelayedInTheMainThread();
    void unplugDestroysTheWrapper();
    void replugRelaysEachPressOnce();
    void twoKeyboards();
    void wirelessNameClash();
    void filterSwitchQueriesAgain();
    void firstPollAlwaysQueries();
    void libraryLaggingBehindTheCount();
    void restWithoutQueries();
    void nullDeviceLeavesTheRowUnopened();
    void destroyedWhilePolling();

private:
    std::unique_ptr<DeviceHandler> handler;
    void startHandler();
    void waitForOpen(int count);
};

void TestDeviceHandler::init()
{
    SimulatedKeyboards::reset();
}

void TestDeviceHandler::cleanup()
{
    handler.reset();
    SimulatedKeyboards::reset();
}

void TestDeviceHandler::startHandler()
{
    // The handler deletes itself when its thread finishes, which happens only inside its
    // destructor: owning it here is what the manager does too.
    handler = std::make_unique<DeviceHandler>();
    handler->start();
}

void TestDeviceHandler::waitForOpen(int count)
{
    QTRY_COMPARE(handler->deviceInfos().size(), count);
    QTRY_VERIFY(allOpen(*handler));
}

void TestDeviceHandler::plugOpensOneWrapper()
{
    startHandler();
    QSignalSpy changed(handler.get(), &DeviceHandler::emitDeviceListChanged);
    QVERIFY(DeviceSimulator::instance().plug(keyboard(Name, QStringLiteral("SN1"))));
    waitForOpen(1);
    QCOMPARE(changed.count(), 1);
    const DeviceDataInfo record = handler->deviceInfos().first()->deviceDataInfo();
    QCOMPARE(record.deviceName, Name);
    QCOMPARE(record.devicePath, QStringLiteral("sim:SN1/wired"));
    QCOMPARE(record.deviceReportPath, QStringLiteral("sim:SN1/wired/report"));
    QCOMPARE(record.connectType, QStringLiteral("wired"));
    QVERIFY(!record.vid.isEmpty() && !record.pid.isEmpty());
    QTRY_COMPARE(DeviceSimulator::instance().startedDevices(QStringLiteral("SN1")), 1);
}

void TestDeviceHandler::openDelivery_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("openBeforeListed");
    QTest::newRow("later, from the library's thread") << int(Open::Ok) << false;
    QTest::newRow("at once, inside openDevice") << int(Open::Now) << true;
}

// Both ways an open can succeed end in an open record: queued from the library's thread after
// the list changed, or directly inside the sync step before it announces the list.
void TestDeviceHandler::openDelivery()
{
    QFETCH(int, mode);
    QFETCH(bool, openBeforeListed);
    startHandler();
    QStringList order;
    connect(handler.get(), &DeviceHandler::emitDeviceListChanged, this,
            [&order] { order << QStringLiteral("listed"); });
    connect(handler.get(), &DeviceHandler::updateDeviceDataInfo, this,
            [&order](const DeviceDataInfo& info) {
                if (info.isOpen && !order.contains(QStringLiteral("open")))
                    order << QStringLiteral("open");
            });
    DeviceSimulator::instance().plug(
        keyboard(Name, QStringLiteral("SN1"), QStringLiteral("wired"), Open(mode)));
    waitForOpen(1);
    QTRY_COMPARE(order.size(), 2);
    QCOMPARE(order.first() == QLatin1String("open"), openBeforeListed);
}

void TestDeviceHandler::presssesRelayedInTheMainThread()
{
    startHandler();
    DeviceSimulator::instance().plug(keyboard(Name, QStringLiteral("SN1")));
    waitForOpen(1);
    QTRY_COMPARE(DeviceSimulator::instance().startedDevices(QStringLiteral("SN1")), 1);
    QThread* relayThread = nullptr;
    connect(
        handler.get(), &DeviceHandler::reviceDeviceAIKeyPresssed, this,
        [&relayThread] { relayThread = QThread::currentThread(); }, Qt::DirectConnection);
    QSignalSpy relayed(handler.get(), &DeviceHandler::reviceDeviceAIKeyPresssed);
    QVERIFY(DeviceSimulator::instance().press(QStringLiteral("SN1"), 2));
    QTRY_COMPARE(relayed.count(), 2);
    QCOMPARE(relayed.at(0).at(0).toString(), QStringLiteral("SN1"));
    QCOMPARE(relayed.at(1).at(0).toString(), QStringLiteral("SN1"));
    QCOMPARE(relayThread, QThread::currentThread());
}

void TestDeviceHandler::unplugDestroysTheWrapper()
{
    startHandler();
    DeviceSimulator::instance().plug(keyboard(Name, QStringLiteral("SN1")));
    waitForOpen(1);
    const QPointer<DeviceInfo> wrapper = handler->deviceInfos().first();
    QSignalSpy changed(handler.get(), &DeviceHandler::emitDeviceListChanged);
    QVERIFY(DeviceSimulator::instance().unplug(QStringLiteral("SN1")));
    QTRY_VERIFY(handler->deviceInfos().isEmpty());
    QCOMPARE(changed.count(), 1);
    QVERIFY(wrapper.isNull());
}

// A wrapper left alive after its keyboard went would relay the re-plugged keyboard's presses
// a second time.
void TestDeviceHandler::replugRelaysEachPressOnce()
{
    startHandler();
    const QString sn = QStringLiteral("SN1");
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Other"), QStringLiteral("BARRIER")));
    for (int i = 0; i < 5; ++i) {
        DeviceSimulator::instance().plug(keyboard(Name, sn));
        waitForOpen(2);
        DeviceSimulator::instance().unplug(sn);
        QTRY_COMPARE(handler->deviceInfos().size(), 1);
    }
    DeviceSimulator::instance().plug(keyboard(Name, sn));
    waitForOpen(2);
    QTRY_COMPARE(DeviceSimulator::instance().startedDevices(sn), 1);
    QTRY_COMPARE(DeviceSimulator::instance().startedDevices(QStringLiteral("BARRIER")), 1);
    QSignalSpy relayed(handler.get(), &DeviceHandler::reviceDeviceAIKeyPresssed);
    DeviceSimulator::instance().press(sn);
    // Presses are delivered in order: once the barrier's arrives, every relay of the first is in.
    DeviceSimulator::instance().press(QStringLiteral("BARRIER"));
    QTRY_COMPARE(relayed.count() > 0 ? relayed.last().at(0).toString() : QString(),
                 QStringLiteral("BARRIER"));
    QCOMPARE(relayed.count(), 2);
    QCOMPARE(relayed.first().at(0).toString(), sn);
}

void TestDeviceHandler::twoKeyboards()
{
    startHandler();
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z46 AI"), QStringLiteral("B")));
    DeviceSimulator::instance().plug(keyboard(Name, QStringLiteral("A")));
    waitForOpen(2);
    // Ordered by product name (the filter's order).
    QCOMPARE(paths(*handler),
             (QStringList {QStringLiteral("sim:A/wired"), QStringLiteral("sim:B/wired")}));
    QTRY_COMPARE(DeviceSimulator::instance().startedDevices(QStringLiteral("A")), 1);
    QTRY_COMPARE(DeviceSimulator::instance().startedDevices(QStringLiteral("B")), 1);
    QSignalSpy relayed(handler.get(), &DeviceHandler::reviceDeviceAIKeyPresssed);
    DeviceSimulator::instance().press(QStringLiteral("B"));
    DeviceSimulator::instance().press(QStringLiteral("A"));
    QTRY_COMPARE(relayed.count(), 2);
    QCOMPARE(relayed.at(0).at(0).toString(), QStringLiteral("B"));
    QCOMPARE(relayed.at(1).at(0).toString(), QStringLiteral("A"));
    DeviceSimulator::instance().unplug(QStringLiteral("A"));
    QTRY_COMPARE(paths(*handler), QStringList {QStringLiteral("sim:B/wired")});
}

void TestDeviceHandler::wirelessNameClash()
{
    startHandler();
    DeviceSimulator::instance().plug(
        keyboard(Name, QStringLiteral("R"), QStringLiteral("wireless")));
    waitForOpen(1);
    QCOMPARE(paths(*handler), QStringList {QStringLiteral("sim:R/wireless")});
    // The same product by cable: one entry, the wired one, and the receiver's wrapper goes.
    DeviceSimulator::instance().plug(keyboard(Name, QStringLiteral("C")));
    QTRY_COMPARE(paths(*handler), QStringList {QStringLiteral("sim:C/wired")});
    waitForOpen(1);
}

// The switch's re-query must survive a poll that runs at the same moment; with the filter off
// both entries of one product are listed.
void TestDeviceHandler::filterSwitchQueriesAgain()
{
    startHandler();
    DeviceSimulator::instance().plug(
        keyboard(Name, QStringLiteral("R"), QStringLiteral("wireless")));
    DeviceSimulator::instance().plug(keyboard(Name, QStringLiteral("C")));
    waitForOpen(1);
    for (int round = 0; round < 10; ++round) {
        handler->setIsFilterDevices(false);
        QTRY_COMPARE(handler->deviceInfos().size(), 2);
        handler->setIsFilterDevices(true);
        QTRY_COMPARE(handler->deviceInfos().size(), 1);
    }
    QCOMPARE(paths(*handler), QStringList {QStringLiteral("sim:C/wired")});
}

// A keyboard that is already there when the thread starts was never reported as arriving:
// the first cycle asks anyway.
void TestDeviceHandler::firstPollAlwaysQueries()
{
    DeviceSimulator::instance().setChangeNotices(false);
    DeviceSimulator::instance().plug(keyboard(Name, QStringLiteral("SN1")));
    startHandler();
    waitForOpen(1);
}

// The system may report a new device before the library lists it; one more query a second
// later finds it without another report.
void TestDeviceHandler::libraryLaggingBehindTheCount()
{
    DeviceSimulator& simulator = DeviceSimulator::instance();
    startHandler();
    QSignalSpy changed(handler.get(), &DeviceHandler::emitDeviceListChanged);
    QTRY_VERIFY(simulator.listQueries() >= 1); // the first query found nothing
    // A report (the switch wakes the thread like one) whose query finds nothing new...
    simulator.setChangeNotices(false);
    const int seen = simulator.listQueries();
    handler->setIsFilterDevices(true);
    QTRY_VERIFY(simulator.listQueries() > seen);
    // ...then the library lists the keyboard without a report of its own.
    simulator.plug(keyboard(Name, QStringLiteral("SN1")));
    QTRY_COMPARE_WITH_TIMEOUT(handler->deviceInfos().size(), 1, 3 * DeviceHandler::RetryDelayMs);
    QCOMPARE(changed.count(), 1);
}

// At rest nothing asks the library: the thread sleeps until a change is reported.
void TestDeviceHandler::restWithoutQueries()
{
    DeviceSimulator& simulator = DeviceSimulator::instance();
    startHandler();
    simulator.plug(keyboard(Name, QStringLiteral("SN1")));
    waitForOpen(1);
    const int seen = simulator.listQueries();
    QSignalSpy changed(handler.get(), &DeviceHandler::emitDeviceListChanged);
    QVERIFY(!changed.wait(500));
    QCOMPARE(simulator.listQueries(), seen);
    simulator.unplug(QStringLiteral("SN1"));
    QTRY_VERIFY(handler->deviceInfos().isEmpty());
    QVERIFY(simulator.listQueries() > seen);
}

void TestDeviceHandler::nullDeviceLeavesTheRowUnopened()
{
    DeviceSimulator::instance().setFactoryFailure(true);
    startHandler();
    DeviceSimulator::instance().plug(keyboard(Name, QStringLiteral("NULL")));
    DeviceSimulator::instance().plug(keyboard(QStringLiteral("Z46 AI"), QStringLiteral("OK"),
                                              QStringLiteral("wired"), Open::Now));
    QTRY_COMPARE(handler->deviceInfos().size(), 2);
    const QPointer<DeviceInfo> unopened = handler->deviceInfos().first();
    QVERIFY(!unopened->device());
    QVERIFY(!unopened->deviceDataInfo().isOpen);
    QCOMPARE(unopened->deviceDataInfo().deviceName, Name);
    DeviceSimulator::instance().unplug(QStringLiteral("NULL"));
    QTRY_COMPARE(handler->deviceInfos().size(), 1);
    QVERIFY(unopened.isNull());
}

// Destroying the handler at any point of a poll or a sync: the sanitizer build checks for
// use after free and leaks.
void TestDeviceHandler::destroyedWhilePolling()
{
    std::atomic<bool> churning {true};
    std::thread churn([&churning] {
        int i = 0;
        while (churning) {
            const QString sn = QStringLiteral("CHURN%1").arg(i++ % 3);
            DeviceSimulator& simulator = DeviceSimulator::instance();
            if (!simulator.unplug(sn))
                simulator.plug(keyboard(QStringLiteral("K%1").arg(i % 3), sn,
                                        QStringLiteral("wired"), i % 2 ? Open::Now : Open::Ok));
            simulator.press(sn);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    for (int round = 0; round < 40; ++round) {
        startHandler(); // the churn keeps every cycle querying
        QTest::qWait(round % 7); // destroyed at a different point of a cycle each round
        handler.reset();
    }
    churning = false;
    churn.join();
    QVERIFY(true);
}

QTEST_GUILESS_MAIN(TestDeviceHandler)
#include "tst_devicehandler.moc"
