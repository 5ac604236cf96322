#include "core/installlayout.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// Where the program looks for its defaults and translations, from the folder it runs in.
class TestInstallLayout : public QObject
{
    Q_OBJECT

private slots:
    void dataDir_data();
    void dataDir();
    void runningProgramFindsTheBuildTreesData();
};

void TestInstallLayout::dataDir_data()
{
    QTest::addColumn<QStringList>("folders"); // made below the temporary root
    QTest::addColumn<QString>("expected"); // relative to the root
    QTest::newRow("build tree: defaults beside")
        << QStringList {QStringLiteral("bin/default"), QStringLiteral("share/lumora/default")}
        << QStringLiteral("bin");
    QTest::newRow("translations beside")
        << QStringList {QStringLiteral("bin/translations")} << QStringLiteral("bin");
    QTest::newRow("installed") << QStringList {QStringLiteral("bin"),
                                               QStringLiteral("share/lumora/translations")}
                               << QStringLiteral("share/lumora");
    QTest::newRow("nothing anywhere")
        << QStringList {QStringLiteral("bin")} << QStringLiteral("bin");
}

void TestInstallLayout::dataDir()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    for (const QString& folder : folders)
        QVERIFY(QDir(root.path()).mkpath(folder));
    QCOMPARE(InstallLayout::dataDirFor(root.filePath(QStringLiteral("bin"))),
             root.filePath(expected));
}

void TestInstallLayout::runningProgramFindsTheBuildTreesData()
{
    QCOMPARE(InstallLayout::dataDir(), QCoreApplication::applicationDirPath());
    QVERIFY(QFile::exists(InstallLayout::dataDir() + QStringLiteral("/default/config.json")));
}

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "tst_installlayout.moc"
