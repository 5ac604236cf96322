#include "simulatedkeyboards.h"
#include "support/fakesysfs.h"

#include "device/vendor/querydevice.h"
#include "platform/devicearrivals.h"
#include "platform/presentdevices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

class TestPresentDevices : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void countsInputAndHidrawEntries_data();
    void countsInputAndHidrawEntries();
    void simulatedPlugWakesTheQuery();
    void keyboardInAMovedTree();
    void wakeEndsAWait();
    void countsWithoutAFolderToWatch();
};

void TestPresentDevices::cleanup()
{
    SimulatedKeyboards::reset();
    qunsetenv("LUMORA_SYSFS_ROOT");
}

void TestPresentDevices::countsInputAndHidrawEntries_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("expected");
    QTest::newRow("no folders") << QStringList {} << 0;
    QTest::newRow("input only") << QStringList {"input/event0", "input/event1", "input/mice"} << 3;
    QTest::newRow("both") << QStringList {"input/event0", "hidraw/hidraw0", "hidraw/hidraw1"} << 3;
    QTest::newRow("other classes ignored")
        << QStringList {"input/event0", "net/eth0", "sound/card0"} << 1;
}

void TestPresentDevices::countsInputAndHidrawEntries()
{
#ifndef Q_OS_LINUX
    QSKIP("the device classes are read on Linux only");
#endif
    QFETCH(QStringList, entries);
    QFETCH(int, expected);
    QTemporaryDir root;
    for (const QString& entry : entries) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(entry).path()));
        // sysfs lists devices as links; files count the same.
        QFile file(root.filePath(entry));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(PresentDevices::systemCount(root.path()), expected);
}

// A simulated keyboard arrives like any other device: its plug wakes the waiting query.
void TestPresentDevices::simulatedPlugWakesTheQuery()
{
    SimulatedKeyboards::reset();
    QueryDevice query;
    QVERIFY(!query.waitForChange(0));
    DeviceSimulator::instance().plug(
        SimulatedKeyboards::keyboard(QStringLiteral("K"), QStringLiteral("A")));
    QVERIFY(query.waitForChange(5000));
    QVERIFY(!query.waitForChange(0));
    DeviceSimulator::instance().unplug(QStringLiteral("A"));
    QVERIFY(query.waitForChange(5000));
}

// The folder watch notices a keyboard added to (and taken from) a moved tree.
void TestPresentDevices::keyboardInAMovedTree()
{
#ifndef Q_OS_LINUX
    QSKIP("sysfs is read on Linux only");
#endif
    DeviceLibrary::setSimulated(false);
    FakeSysfs sysfs;
    qputenv("LUMORA_SYSFS_ROOT", sysfs.root().toUtf8());
    DeviceArrivals arrivals;
    QVERIFY2(arrivals.method().contains(QStringLiteral("watch")), qPrintable(arrivals.method()));
    QVERIFY(!arrivals.wait(0));
    FakeSysfs::Keyboard keyboard;
    keyboard.name = QStringLiteral("Orvik Z19 AI");
    keyboard.interfaces = 2;
    const QString input = sysfs.plug(keyboard);
    QVERIFY(arrivals.wait(5000));
    // One keyboard, several links: one wake once they have settled.
    QVERIFY(!arrivals.wait(0));
    sysfs.unplug(input);
    QVERIFY(arrivals.wait(5000));
}

void TestPresentDevices::wakeEndsAWait()
{
    DeviceArrivals arrivals(DeviceArrivals::Source::WakeOnly);
    QElapsedTimer waited;
    waited.start();
    std::thread waker([&arrivals] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        arrivals.wake();
    });
    QVERIFY(arrivals.wait(-1));
    waker.join();
    QVERIFY(waited.elapsed() < 5000);
    QVERIFY(!arrivals.wait(10));
}

// Without a folder to watch (and not the real tree), the count is watched as before.
void TestPresentDevices::countsWithoutAFolderToWatch()
{
#ifndef Q_OS_LINUX
    QSKIP("sysfs is read on Linux only");
#endif
    QTemporaryDir root;
    qputenv("LUMORA_SYSFS_ROOT", root.path().toUtf8());
    DeviceArrivals arrivals;
    QVERIFY2(arrivals.method().contains(QStringLiteral("counting")), qPrintable(arrivals.method()));
    QVERIFY(!arrivals.wait(2 * DeviceArrivals::PollIntervalMs));
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("class/hidraw/hidraw0")));
    QVERIFY(arrivals.wait(5000));
}

QTEST_GUILESS_MAIN(TestPresentDevices)
#include "tst_presentdevices.moc"
