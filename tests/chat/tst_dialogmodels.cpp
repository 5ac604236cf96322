#include "chat/dialoginfomodel.h"
#include "chat/dialogmodel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

class TestDialogModels : public QObject
{
    Q_OBJECT

private slots:
    void rolesAreNumberedFromZero();
    void dataReturnsTypedFields();
    void dataReportsBadIndexAndRole();
    void appendInsertsAtTheEnd();
    void setDataSignalsEveryStore_data();
    void setDataSignalsEveryStore();
    void setDataRejectsBadIndexAndRole();
    void deleteAtIndexResets();
    void deleteAtIndexOutsideChangesNothing_data();
    void deleteAtIndexOutsideChangesNothing();
    void clearAllResetsEvenWhenEmpty();
    void contentAtOutsideIsEmpty();
    void infoModelKeepsItsRows();
};

namespace {

// Opens index creation to the test, to hand the model rows it does not have, as a stale
// view would.
template<typename Model> class Opened : public Model
{
public:
    QModelIndex staleIndex(int row) const { return Model::createIndex(row, 0); }
};

void fill(DialogModel& model, int rows)
{
    for (int i = 0; i < rows; ++i)
        model.append(i % 2, QStringLiteral("content %1").arg(i),
                     QStringLiteral("reason %1").arg(i));
}

} // namespace

void TestDialogModels::rolesAreNumberedFromZero()
{
    DialogModel dialog;
    QCOMPARE(dialog.roleNames(),
             (QHash<int, QByteArray> {{0, "sender"}, {1, "content"}, {2, "reasoningContent"}}));
    DialogInfoModel info;
    QCOMPARE(info.roleNames(),
             (QHash<int, QByteArray> {{0, "title"}, {1, "fileName"}, {2, "modifiedTime"}}));
}

void TestDialogModels::dataReturnsTypedFields()
{
    DialogModel dialog;
    QAbstractItemModelTester dialogTester(&dialog);
    dialog.append(1, QStringLiteral("<p>answer</p>"), QStringLiteral("<p>why</p>"));
    const QModelIndex row = dialog.index(0);
    QCOMPARE(dialog.data(row, 0).userType(), int(QMetaType::Int));
    QCOMPARE(dialog.data(row, 0).toInt(), 1);
    QCOMPARE(dialog.data(row, 1).toString(), QStringLiteral("<p>answer</p>"));
    QCOMPARE(dialog.data(row, 2).toString(), QStringLiteral("<p>why</p>"));

    DialogInfoModel info;
    QAbstractItemModelTester infoTester(&info);
    const QDateTime created(QDate(2024, 5, 6), QTime(7, 8, 9));
    info.append(QStringLiteral("A title"), QStringLiteral("20240506070809"), created);
    const QModelIndex infoRow = info.index(0);
    QCOMPARE(info.data(infoRow, 0).toString(), QStringLiteral("A title"));
    QCOMPARE(info.data(infoRow, 1).toString(), QStringLiteral("20240506070809"));
    QCOMPARE(info.data(infoRow, 2).userType(), int(QMetaType::QDateTime));
    QCOMPARE(info.data(infoRow, 2).toDateTime(), created);
}

void TestDialogModels::dataReportsBadIndexAndRole()
{
    Opened<DialogModel> dialog;
    fill(dialog, 2);
    QTest::ignoreMessage(QtDebugMsg, "[ERROR]DialogModel::data() Invalid index: 5");
    QVERIFY(!dialog.data(dialog.staleIndex(5), 0).isValid());
    QTest::ignoreMessage(QtDebugMsg, "[ERROR]DialogModel::data() Invalid role name: 3");
    QVERIFY(!dialog.data(dialog.index(1), Qt::ToolTipRole).isValid());
    QTest::ignoreMessage(QtDebugMsg, "[ERROR]DialogModel::data() Invalid role name: 256");
    QVERIFY(!dialog.data(dialog.index(1), Qt::UserRole).isValid());

    DialogInfoModel info;
    QTest::ignoreMessage(QtDebugMsg, "[ERROR]DialogInfoModel::data() Invalid index: -1");
    QVERIFY(!info.data(QModelIndex(), 0).isValid());
    info.append(QStringLiteral("t"), QStringLiteral("f"), QDateTime::currentDateTime());
    QTest::ignoreMessage(QtDebugMsg, "[ERROR]DialogInfoModel::data() Invalid role name: 6");
    QVERIFY(!info.data(info.index(0), Qt::FontRole).isValid());
}

void TestDialogModels::appendInsertsAtTheEnd()
{
    DialogModel dialog;
    QAbstractItemModelTester tester(&dialog);
    QSignalSpy inserted(&dialog, &QAbstractItemModel::rowsInserted);
    fill(dialog, 3);
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(inserted.at(2).at(1).toInt(), 2);
    QCOMPARE(inserted.at(2).at(2).toInt(), 2);
    QCOMPARE(dialog.rowCount(), 3);
    QCOMPARE(dialog.rowCount(QModelIndex()), 3);
    QCOMPARE(dialog.rowCount(dialog.index(0)), 0);
    QCOMPARE(dialog.items().constLast().content, QStringLiteral("content 2"));
    QCOMPARE(dialog.items().constLast().reasoningContent, QStringLiteral("reason 2"));
    QCOMPARE(dialog.contentAt(1), QStringLiteral("content 1"));
}

void TestDialogModels::setDataSignalsEveryStore_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("sender") << 0 << QVariant(1);
    QTest::newRow("content") << 1 << QVariant(QStringLiteral("<b>new</b>"));
    QTest::newRow("reasoningContent") << 2 << QVariant(QStringLiteral("thinking"));
}

void TestDialogModels::setDataSignalsEveryStore()
{
    QFETCH(int, role);
    QFETCH(QVariant, value);
    DialogModel dialog;
    QAbstractItemModelTester tester(&dialog);
    fill(dialog, 2);
    QSignalSpy changed(&dialog, &QAbstractItemModel::dataChanged);
    const QModelIndex row = dialog.index(1);
    QVERIFY(dialog.setData(row, value, role));
    QVERIFY(dialog.setData(row, value, role)); // the same value again still signals
    QCOMPARE(changed.count(), 2);
    for (const QList<QVariant>& arguments : qAsConst(changed)) {
        QCOMPARE(arguments.at(0).toModelIndex(), row);
        QCOMPARE(arguments.at(1).toModelIndex(), row);
        QCOMPARE(arguments.at(2).value<QVector<int>>(), QVector<int> {role});
    }
    QCOMPARE(dialog.data(row, role), value);
}

void TestDialogModels::setDataRejectsBadIndexAndRole()
{
    Opened<DialogModel> dialog;
    fill(dialog, 1);
    QSignalSpy changed(&dialog, &QAbstractItemModel::dataChanged);
    QTest::ignoreMessage(QtDebugMsg, "[ERROR]DialogModel::setData() Invalid index: 1");
    QVERIFY(!dialog.setData(dialog.staleIndex(1), 0, 0));
    QTest::ignoreMessage(QtDebugMsg, "[ERROR]DialogModel::setData() Invalid role name: 3");
    QVERIFY(!dialog.setData(dialog.index(0), QStringLiteral("x"), 3));

    Opened<DialogInfoModel> info;
    QAbstractItemModelTester tester(&info);
    info.append(QStringLiteral("old"), QStringLiteral("20240101000000"), QDateTime());
    QSignalSpy infoChanged(&info, &QAbstractItemModel::dataChanged);
    QTest::ignoreMessage(QtDebugMsg, "[ERROR]DialogInfoModel::setData() Invalid index: 4");
    QVERIFY(!info.setData(info.staleIndex(4), QStringLiteral("x"), 0));
    QTest::ignoreMessage(QtDebugMsg, "[ERROR]DialogInfoModel::setData() Invalid role name: 7");
    QVERIFY(!info.setData(info.index(0), QStringLiteral("x"), 7));
    QCOMPARE(changed.count() + infoChanged.count(), 0);

    QVERIFY(info.setData(info.index(0), QStringLiteral("renamed"), 0));
    QCOMPARE(info.items().at(0).title, QStringLiteral("renamed"));
    QCOMPARE(infoChanged.count(), 1);
}

void TestDialogModels::deleteAtIndexResets()
{
    DialogModel dialog;
    QAbstractItemModelTester tester(&dialog);
    fill(dialog, 3);
    QSignalSpy aboutToReset(&dialog, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(&dialog, &QAbstractItemModel::modelReset);
    QSignalSpy removed(&dialog, &QAbstractItemModel::rowsRemoved);
    dialog.deleteAtIndex(2);
    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(dialog.rowCount(), 2);
    dialog.deleteAtIndex(0);
    QCOMPARE(dialog.contentAt(0), QStringLiteral("content 1"));
}

void TestDialogModels::deleteAtIndexOutsideChangesNothing_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("row count") << 2;
    QTest::newRow("negative") << -1;
}

void TestDialogModels::deleteAtIndexOutsideChangesNothing()
{
    QFETCH(int, index);
    DialogModel dialog;
    QAbstractItemModelTester tester(&dialog);
    fill(dialog, 2);
    QSignalSpy aboutToReset(&dialog, &QAbstractItemModel::modelAboutToBeReset);
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable(QStringLiteral("[ERROR]DialogModel::deleteAtIndex() Invalid "
                                                   "index: %1")
                                        .arg(index)));
    dialog.deleteAtIndex(index);
    QCOMPARE(aboutToReset.count(), 0);
    QCOMPARE(dialog.rowCount(), 2);
}

void TestDialogModels::clearAllResetsEvenWhenEmpty()
{
    DialogModel dialog;
    QAbstractItemModelTester tester(&dialog);
    QSignalSpy aboutToReset(&dialog, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(&dialog, &QAbstractItemModel::modelReset);
    dialog.clearAll();
    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(reset.count(), 1);
    fill(dialog, 3);
    QVERIFY(QMetaObject::invokeMethod(&dialog, "clearAll"));
    QCOMPARE(reset.count(), 2);
    QCOMPARE(dialog.rowCount(), 0);
}

void TestDialogModels::contentAtOutsideIsEmpty()
{
    DialogModel dialog;
    fill(dialog, 1);
    QCOMPARE(dialog.contentAt(1), QString());
    QCOMPARE(dialog.contentAt(-1), QString());
}

void TestDialogModels::infoModelKeepsItsRows()
{
    DialogInfoModel info;
    QAbstractItemModelTester tester(&info);
    for (int i = 0; i < 3; ++i)
        info.append(QStringLiteral("t%1").arg(i), QStringLiteral("f%1").arg(i),
                    QDateTime(QDate(2024, 1, 1 + i), QTime(0, 0)));
    QCOMPARE(info.rowCount(), 3);
    QCOMPARE(info.rowCount(info.index(0)), 0);
    QCOMPARE(info.items().at(2).fileName, QStringLiteral("f2")); // kept in insertion order
    int count = -1;
    QVERIFY(QMetaObject::invokeMethod(&info, "rowCount", Q_RETURN_ARG(int, count)));
    QCOMPARE(count, 3);
}

QTEST_GUILESS_MAIN(TestDialogModels)
#include "tst_dialogmodels.moc"
