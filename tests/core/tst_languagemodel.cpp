#include "core/languagemodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

class TestLanguageModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rolesAndData();
    void setDataEmitsOnlyOnChange();
    void insertRowsChecksTheRange_data();
    void insertRowsChecksTheRange();
    void removeRowsChecksTheRange_data();
    void removeRowsChecksTheRange();
    void plainOperationsIgnoreRowsOutside();
    void replaceKeepsTheOrder();

private:
    LanguageModel* model = nullptr;
    QAbstractItemModelTester* tester = nullptr;
};

namespace {

LanguageItem entry(const QString& lang, const QString& locale, bool checked = false)
{
    return {true, lang, checked, QLocale(locale)};
}

QStringList names(const LanguageModel& model)
{
    QStringList result;
    for (int row = 0; row < model.rowCount(); ++row)
        result << model.item(row).lang;
    return result;
}

} // namespace

void TestLanguageModel::init()
{
    model = new LanguageModel(this);
    tester = new QAbstractItemModelTester(
        model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
    model->append(entry(QStringLiteral("中文(简体)"), QStringLiteral("zh_CN")));
    model->append(entry(QStringLiteral("English(United States)"), QStringLiteral("en_US"), true));
}

void TestLanguageModel::cleanup()
{
    delete model;
    model = nullptr;
}

void TestLanguageModel::rolesAndData()
{
    const QHash<int, QByteArray> roles = model->roleNames();
    QCOMPARE(roles.value(0), QByteArray("_checkable"));
    QCOMPARE(roles.value(1), QByteArray("_lang"));
    QCOMPARE(roles.value(2), QByteArray("_checked"));
    QCOMPARE(roles.size(), 3);

    const QModelIndex english = model->index(1);
    QCOMPARE(model->data(english, LanguageModel::CheckableRole), QVariant(true));
    QCOMPARE(model->data(english, LanguageModel::LangRole),
             QVariant(QStringLiteral("English(United States)")));
    QCOMPARE(model->data(english, LanguageModel::CheckedRole), QVariant(true));
    QVERIFY(!model->data(english, Qt::UserRole).isValid());
    QVERIFY(!model->data(QModelIndex(), LanguageModel::LangRole).isValid());
    QVERIFY(model->flags(english).testFlag(Qt::ItemIsEditable));
    QCOMPARE(model->flags(QModelIndex()), Qt::NoItemFlags);
    QVERIFY(!model->canFetchMore(QModelIndex()));
    QCOMPARE(model->item(1).locale.name(), QStringLiteral("en_US"));
}

void TestLanguageModel::setDataEmitsOnlyOnChange()
{
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    const QModelIndex chinese = model->index(0);
    QVERIFY(!model->setData(chinese, false, LanguageModel::CheckedRole));
    QVERIFY(!model->setData(chinese, QStringLiteral("中文(简体)"), LanguageModel::LangRole));
    QCOMPARE(changed.count(), 0);

    QVERIFY(model->setData(chinese, true, LanguageModel::CheckedRole));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(2).value<QVector<int>>(),
             QVector<int> {LanguageModel::CheckedRole});
    QVERIFY(model->item(0).checked);

    // Nothing to set outside the list or for another role.
    QVERIFY(!model->setData(QModelIndex(), true, LanguageModel::CheckedRole));
    QVERIFY(!model->setData(chinese, true, Qt::UserRole));
    QCOMPARE(changed.count(), 1);
}

void TestLanguageModel::insertRowsChecksTheRange_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("done");

    QTest::newRow("at the front") << 0 << 1 << true;
    QTest::newRow("at the end") << 2 << 2 << true;
    QTest::newRow("below the list") << -1 << 1 << false;
    QTest::newRow("past the end") << 3 << 1 << false;
    QTest::newRow("no rows") << 1 << 0 << false;
    QTest::newRow("negative count") << 1 << -2 << false;
}

void TestLanguageModel::insertRowsChecksTheRange()
{
    QFETCH(int, row);
    QFETCH(int, count);
    QFETCH(bool, done);
    QCOMPARE(model->insertRows(row, count), done);
    QCOMPARE(model->rowCount(), done ? 2 + count : 2);
    if (done) {
        const LanguageItem inserted = model->item(row);
        QVERIFY(inserted.checkable);
        QVERIFY(inserted.lang.isEmpty());
        QVERIFY(!inserted.checked);
    }
}

void TestLanguageModel::removeRowsChecksTheRange_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("left");

    const QString zh = QStringLiteral("中文(简体)");
    const QString en = QStringLiteral("English(United States)");
    QTest::newRow("first") << 0 << 1 << QStringList {en};
    QTest::newRow("both") << 0 << 2 << QStringList();
    QTest::newRow("one too many") << 1 << 2 << QStringList {zh, en};
    QTest::newRow("below the list") << -1 << 1 << QStringList {zh, en};
    QTest::newRow("past the end") << 2 << 1 << QStringList {zh, en};
    QTest::newRow("no rows") << 0 << 0 << QStringList {zh, en};
    QTest::newRow("huge count") << 1 << std::numeric_limits<int>::max() << QStringList {zh, en};
}

void TestLanguageModel::removeRowsChecksTheRange()
{
    QFETCH(int, row);
    QFETCH(int, count);
    QFETCH(QStringList, left);
    QCOMPARE(model->removeRows(row, count), left.size() != 2);
    QCOMPARE(names(*model), left);
}

void TestLanguageModel::plainOperationsIgnoreRowsOutside()
{
    const QStringList before = names(*model);
    model->insert(-1, entry(QStringLiteral("x"), QStringLiteral("de_DE")));
    model->insert(3, entry(QStringLiteral("x"), QStringLiteral("de_DE")));
    model->removeAt(-1);
    model->removeAt(2);
    model->replace(2, entry(QStringLiteral("x"), QStringLiteral("de_DE")));
    QCOMPARE(names(*model), before);
    QVERIFY(model->item(7).lang.isEmpty());

    model->insert(2, entry(QStringLiteral("Deutsch"), QStringLiteral("de_DE")));
    QCOMPARE(names(*model).last(), QStringLiteral("Deutsch"));
}

void TestLanguageModel::replaceKeepsTheOrder()
{
    LanguageItem changed = model->item(0);
    changed.checked = true;
    model->replace(0, changed);
    QVERIFY(model->item(0).checked);
    QCOMPARE(model->item(0).lang, QStringLiteral("中文(简体)"));
    QCOMPARE(model->item(1).lang, QStringLiteral("English(United States)"));
}

QTEST_GUILESS_MAIN(TestLanguageModel)
#include "tst_languagemodel.moc"
