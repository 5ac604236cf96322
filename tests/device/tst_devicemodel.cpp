#include "device/devicemodel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

namespace {

DeviceDataInfo record(const QString& path, const QString& name = QStringLiteral("Z19 AI"))
{
    DeviceDataInfo info;
    info.devicePath = path;
    info.deviceName = name;
    info.connectType = QStringLiteral("wired");
    return info;
}

} // namespace

class TestDeviceModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void roleNames();
    void rowsComeAndGo();
    void dataOutsideTheRoles();
    void getGivesEveryField();
    void getOutsideTheRows_data();
    void getOutsideTheRows();
    void setData_data();
    void setData();
    void setDataSameValueEmitsNothing();
    void setDataUnknownRoleChangesNothing();
    void updateDevice();
    void currentIndex();

private:
    DeviceModel* model = nullptr;
    QAbstractItemModelTester* tester = nullptr;
};

void TestDeviceModel::init()
{
    model = new DeviceModel;
    tester =
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestDeviceModel::cleanup()
{
    delete tester;
    delete model;
}

void TestDeviceModel::roleNames()
{
    const QHash<int, QByteArray> names = model->roleNames();
    QCOMPARE(names.size(), 11);
    QCOMPARE(names.value(0), QByteArray("_devicePath"));
    QCOMPARE(names.value(9), QByteArray("_isOpen"));
    QCOMPARE(names.value(10), QByteArray("_batteryStatus"));
}

void TestDeviceModel::rowsComeAndGo()
{
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    model->addDevice(record(QStringLiteral("a")));
    model->addDevice(record(QStringLiteral("b")));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(inserted.at(1).at(1).toInt(), 1);
    QCOMPARE(model->rowCount(model->index(0)), 0);
    model->clearDevices();
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().at(2).toInt(), 1);
    model->clearDevices(); // an empty model stays empty, unannounced
    QCOMPARE(removed.count(), 1);
}

void TestDeviceModel::dataOutsideTheRoles()
{
    model->addDevice(record(QStringLiteral("a")));
    QVERIFY(!model->data(model->index(0), 11).isValid());
    QVERIFY(!model->data(model->index(0), -1).isValid());
    QVERIFY(!model->data(QModelIndex(), 0).isValid());
    QCOMPARE(model->data(model->index(0), DeviceModel::DevicePathRole).toString(),
             QStringLiteral("a"));
}

void TestDeviceModel::getGivesEveryField()
{
    DeviceDataInfo info = record(QStringLiteral("a"));
    info.deviceType = 1;
    info.isOpen = true;
    // Roles count from 0, so the battery status (role 10) is also what a generic view reads as
    // Qt::CheckStateRole; the model tester accepts only check states there.
    info.batteryStatus = 2;
    model->addDevice(info);
    const QVariantMap map = model->get(0);
    QCOMPARE(map.size(), 13);
    QCOMPARE(map.value(QStringLiteral("deviceType")).type(), QVariant::Int);
    QCOMPARE(map.value(QStringLiteral("isOpen")).type(), QVariant::Bool);
    QCOMPARE(map.value(QStringLiteral("batteryStatus")).toInt(), 2);
    QCOMPARE(map.value(QStringLiteral("devicePath")).toString(), QStringLiteral("a"));
}

void TestDeviceModel::getOutsideTheRows_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("count") << 1;
    QTest::newRow("far") << 100;
}

void TestDeviceModel::getOutsideTheRows()
{
    QFETCH(int, index);
    model->addDevice(record(QStringLiteral("a")));
    QVERIFY(model->get(index).isEmpty());
}

void TestDeviceModel::setData_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("name") << int(DeviceModel::DeviceNameRole) << QVariant(QStringLiteral("Z46"));
    QTest::newRow("type") << int(DeviceModel::DeviceTypeRole) << QVariant(2);
    QTest::newRow("open") << int(DeviceModel::IsOpenRole) << QVariant(true);
    QTest::newRow("battery") << int(DeviceModel::BatteryValueRole)
                             << QVariant(QStringLiteral("50"));
    QTest::newRow("status") << int(DeviceModel::BatteryStatusRole) << QVariant(1);
}

void TestDeviceModel::setData()
{
    QFETCH(int, role);
    QFETCH(QVariant, value);
    model->addDevice(record(QStringLiteral("a")));
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QVERIFY(model->setData(model->index(0), value, role));
    QCOMPARE(model->data(model->index(0), role), value);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(2).value<QVector<int>>(), QVector<int> {role});
}

void TestDeviceModel::setDataSameValueEmitsNothing()
{
    model->addDevice(record(QStringLiteral("a")));
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QVERIFY(!model->setData(model->index(0), QStringLiteral("a"), DeviceModel::DevicePathRole));
    QVERIFY(!model->setData(QModelIndex(), QStringLiteral("b"), DeviceModel::DevicePathRole));
    QCOMPARE(changed.count(), 0);
}

// A role without a field would otherwise report a change that never happened.
void TestDeviceModel::setDataUnknownRoleChangesNothing()
{
    model->addDevice(record(QStringLiteral("a")));
    const QVariantMap before = model->get(0);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QVERIFY(!model->setData(model->index(0), QStringLiteral("x"), 11));
    QVERIFY(!model->setData(model->index(0), 5, Qt::UserRole));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(model->get(0), before);
}

void TestDeviceModel::updateDevice()
{
    model->addDevice(record(QStringLiteral("a")));
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);
    DeviceDataInfo next = record(QStringLiteral("a"), QStringLiteral("Z46"));
    next.isOpen = true;
    QVERIFY(model->updateDevice(0, next));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model->get(0).value(QStringLiteral("deviceName")).toString(), QStringLiteral("Z46"));
    QVERIFY(!model->updateDevice(1, next));
    QVERIFY(!model->updateDevice(-1, next));
    QCOMPARE(reset.count(), 1);
}

void TestDeviceModel::currentIndex()
{
    QCOMPARE(model->currentIndex(), -1);
    model->setCurrentIndex(3);
    QCOMPARE(model->currentIndex(), 3);
}

QTEST_GUILESS_MAIN(TestDeviceModel)
#include "tst_devicemodel.moc"
