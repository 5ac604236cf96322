#include "device/devicedatainfo.h"
#include "device/devicehandler.h"
#include "device/deviceinfo.h"
#include "device/devicelistmanager.h"
#include "device/vendor/basedevice.h"

#include <QtTest>

namespace {

QVariant entry(const QString& name, const QString& connect, const QString& path)
{
    return QVariantMap {{QStringLiteral("name"), name},
                        {QStringLiteral("connectType"), connect},
                        {QStringLiteral("path"), path}};
}

// "name/connect/path" of each entry, for readable comparisons.
QStringList describe(const QVariantList& list)
{
    QStringList result;
    for (const QVariant& item : list) {
        const QVariantMap map = item.toMap();
        result << QStringLiteral("%1/%2/%3")
                      .arg(map.value(QStringLiteral("name")).toString(),
                           map.value(QStringLiteral("connectType")).toString(),
                           map.value(QStringLiteral("path")).toString());
    }
    return result;
}

QVariantList parse(const QString& text)
{
    QVariantList list;
    for (const QString& item : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QLatin1Char('/'));
        list << entry(parts.value(0), parts.value(1), parts.value(2));
    }
    return list;
}

} // namespace

class TestDeviceRules : public QObject
{
    Q_OBJECT

private slots:
    void filter_data();
    void filter();
    void listComparison_data();
    void listComparison();
    void imagePaths_data();
    void imagePaths();
    void statusMap_data();
    void statusMap();
    void freshRecord();
};

void TestDeviceRules::filter_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("wired beats a later wireless") << "K/wired/a K/wireless/b"
                                                  << "K/wired/a";
    QTest::newRow("wired beats an earlier wireless") << "K/wireless/b K/wired/a"
                                                     << "K/wired/a";
    QTest::newRow("ble beats wireless") << "K/wireless/b K/ble/c"
                                        << "K/ble/c";
    QTest::newRow("last wired wins") << "K/wired/a K/ble/c"
                                     << "K/ble/c";
    QTest::newRow("first wireless wins") << "K/wireless/a K/wireless/b"
                                         << "K/wireless/a";
    QTest::newRow("unknown connection dropped") << "K/usb/a L/Wired/b M//c"
                                                << "";
    QTest::newRow("ordered by name") << "b/wired/1 B/wired/2 a/wired/3"
                                     << "B/wired/2 a/wired/3 b/wired/1";
}

void TestDeviceRules::filter()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(describe(DeviceHandler::filterDevices(parse(input))), describe(parse(expected)));
}

void TestDeviceRules::listComparison_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("next");
    QTest::addColumn<bool>("changed");
    QTest::newRow("both empty") << ""
                                << "" << false;
    QTest::newRow("first device") << ""
                                  << "K/wired/a" << true;
    QTest::newRow("last device gone") << "K/wired/a"
                                      << "" << true;
    QTest::newRow("same paths, other order") << "K/wired/a L/wired/b"
                                             << "L/wired/b K/wired/a" << false;
    QTest::newRow("other values, same path") << "K/wired/a"
                                             << "Q/ble/a" << false;
    QTest::newRow("replaced by another") << "K/wired/a"
                                         << "L/wired/b" << true;
    QTest::newRow("one more") << "K/wired/a"
                              << "K/wired/a L/wired/b" << true;
}

void TestDeviceRules::listComparison()
{
    QFETCH(QString, current);
    QFETCH(QString, next);
    QFETCH(bool, changed);
    QCOMPARE(DeviceHandler::listChanged(parse(current), parse(next)), changed);
}

void TestDeviceRules::imagePaths_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("connect");
    QTest::addColumn<QString>("typeImage");
    QTest::newRow("wireless keyboard") << 0 << "wireless"
                                       << "qrc:/Image/Icon/kb_wireless_";
    QTest::newRow("wired keyboard") << 0 << "wired"
                                    << "qrc:/Image/Icon/kb_wired_";
    QTest::newRow("ble mouse") << 1 << "ble"
                               << "qrc:/Image/Icon/ms_ble_";
    QTest::newRow("no product image") << 2 << "wired"
                                      << "qrc:/Image/Icon/";
    QTest::newRow("unknown type") << 7 << "wired"
                                  << "qrc:/Image/Icon/";
}

void TestDeviceRules::imagePaths()
{
    QFETCH(int, type);
    QFETCH(QString, connect);
    QFETCH(QString, typeImage);
    QCOMPARE(DeviceListManager::typeImageSource(type, connect), typeImage);
    QCOMPARE(DeviceListManager::imageSource(QStringLiteral("Z19 AI")),
             QStringLiteral("qrc:/Image/Device/Z19 AI.png"));
}

// The status handler overwrites both battery fields at every change.
void TestDeviceRules::statusMap_data()
{
    QTest::addColumn<QVariantMap>("values");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("battery");
    QTest::newRow("both") << QVariantMap {{"BatStatus", 2}, {"Electricity", "85"}} << 2 << "85";
    QTest::newRow("none") << QVariantMap {} << 0 << "";
    QTest::newRow("other keys only") << QVariantMap {{"Mode", 3}} << 0 << "";
    QTest::newRow("status as text")
        << QVariantMap {{"BatStatus", "1"}, {"Electricity", 40}} << 1 << "40";
}

void TestDeviceRules::statusMap()
{
    QFETCH(QVariantMap, values);
    QFETCH(int, status);
    QFETCH(QString, battery);
    // A wrapper around a device that never opens: the status handler is reached through the
    // device's signal, as the library would reach it.
    DeviceInfo wrapper;
    DeviceDataInfo previous;
    previous.batteryStatus = 9;
    previous.batteryValue = QStringLiteral("99");
    wrapper.setDeviceDataInfo(previous);
    auto* device = new BaseDevice(QStringLiteral("K"), QStringLiteral("wired"));
    wrapper.setDevice(device);
    wrapper.open();
    QSignalSpy updates(&wrapper, &DeviceInfo::updateDeviceDataInfo);
    emit device->emitCustomChange(values);
    QCOMPARE(updates.count(), 1);
    const DeviceDataInfo record = updates.first().first().value<DeviceDataInfo>();
    QCOMPARE(record.batteryStatus, status);
    QCOMPARE(record.batteryValue, battery);
    QVERIFY(!record.batteryValue.isNull());
    QCOMPARE(wrapper.deviceDataInfo(), record);
}

void TestDeviceRules::freshRecord()
{
    const DeviceDataInfo record;
    QVERIFY(record.batteryValue.isEmpty() && !record.batteryValue.isNull());
    QVERIFY(record.devicePath.isNull());
    QCOMPARE(record.isOpen, false);
    QCOMPARE(record.batteryStatus, 0);
    QCOMPARE(record.deviceType, 0);
}

QTEST_GUILESS_MAIN(TestDeviceRules)
#include "tst_devicerules.moc"
