#include "simulatedkeyboards.h"

#include "device/vendor/querydevice.h"
#include "platform/presentdevices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPresentDevices : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void countsInputAndHidrawEntries_data();
    void countsInputAndHidrawEntries();
    void simulatedKeyboardsCount();
};

void TestPresentDevices::cleanup()
{
    SimulatedKeyboards::reset();
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

// A simulated keyboard arrives like any other device: the watched count changes with it.
void TestPresentDevices::simulatedKeyboardsCount()
{
    const int system = PresentDevices::systemCount();
    DeviceSimulator::instance().plug(
        SimulatedKeyboards::keyboard(QStringLiteral("K"), QStringLiteral("A")));
    DeviceSimulator::instance().plug(
        SimulatedKeyboards::keyboard(QStringLiteral("K"), QStringLiteral("B")));
    QCOMPARE(QueryDevice::presentDeviceCount(), system + 2);
    DeviceSimulator::instance().unplug(QStringLiteral("A"));
    QCOMPARE(QueryDevice::presentDeviceCount(), system + 1);
}

QTEST_GUILESS_MAIN(TestPresentDevices)
#include "tst_presentdevices.moc"
