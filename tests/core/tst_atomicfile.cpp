#include "core/atomicfile.h"
#include "platform/autostart.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

// A full disk, as a child process whose files may not grow past a limit sees it: the write
// must report failure and leave the old file as it was, with no temporary file behind.
class TestAtomicFile : public QObject
{
    Q_OBJECT

private slots:
    void replaces();
    void fullDiskKeepsTheOldJsonFile_data();
    void fullDiskKeepsTheOldJsonFile();
    void fullDiskKeepsTheOldAutostartEntry();

private:
    static int runWriter(const QStringList& arguments);
};

int TestAtomicFile::runWriter(const QStringList& arguments)
{
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedChannels);
    writer.start(QStringLiteral(FULLWRITER_PATH), arguments);
    if (!writer.waitForFinished(30000))
        return -1;
    return writer.exitStatus() == QProcess::NormalExit ? writer.exitCode() : -2;
}

void TestAtomicFile::replaces()
{
    TestEnvironment env;
    const QString path = env.writeFile(QStringLiteral("a.json"), "old");
    QVERIFY(AtomicFile::replace(path, "new content"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("new content"));
    QVERIFY(!AtomicFile::replace(env.path(QStringLiteral("no/such/folder/a.json")), "x"));
}

void TestAtomicFile::fullDiskKeepsTheOldJsonFile_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("written");
    // Below 16 KB the bytes wait in Qt's buffer until the commit flushes them.
    QTest::newRow("small, buffered") << 2000 << 1024 << false;
    QTest::newRow("large, written at once") << 200000 << 65536 << false;
    QTest::newRow("nothing fits") << 10 << 0 << false;
    QTest::newRow("fits") << 2000 << 4096 << true;
}

void TestAtomicFile::fullDiskKeepsTheOldJsonFile()
{
    QFETCH(int, bytes);
    QFETCH(int, limit);
    QFETCH(bool, written);
    TestEnvironment env;
    const QByteArray old = R"({"kept": true})";
    const QString path = env.writeFile(QStringLiteral("data/file.json"), old);
    QCOMPARE(
        runWriter({QStringLiteral("json"), path, QString::number(bytes), QString::number(limit)}),
        written ? 0 : 3);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), written ? QByteArray(bytes, 'x') : old);
    QCOMPARE(QDir(env.path(QStringLiteral("data"))).entryList(QDir::Files),
             QStringList {QStringLiteral("file.json")});
}

void TestAtomicFile::fullDiskKeepsTheOldAutostartEntry()
{
    TestEnvironment env;
    const QString program = QStringLiteral("/opt/lumora/bin/lumora");
    QVERIFY(AutoStart::apply(true, QStringLiteral("/usr/bin/lumora")));
    QFile entry(AutoStart::location());
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QByteArray old = entry.readAll();
    entry.close();
    QCOMPARE(runWriter({QStringLiteral("autostart"), program, QStringLiteral("64")}), 3);
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QCOMPARE(entry.readAll(), old);
    QVERIFY(!AutoStart::isRegistered(program));
    QCOMPARE(QFileInfo(entry).dir().entryList(QDir::Files).size(), 1);
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
