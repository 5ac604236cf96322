#include "platform/runtimefolder.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// The folder for sockets and locks must be one no other user can create names in.
class TestRuntimeFolder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void usesAPrivateRuntimeDir();
    void fallbackIsMadePrivate();
    void runtimeDirOthersMayEnterIsNotUsed();
    void fallbackTakenByOthersIsRefused_data();
    void fallbackTakenByOthersIsRefused();

private:
    QString fallback() const;
    std::unique_ptr<TestEnvironment> env;
};

void TestRuntimeFolder::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(QDir().mkpath(env->path(QStringLiteral("tmp"))));
    qputenv("TMPDIR", QFile::encodeName(env->path(QStringLiteral("tmp"))));
}

void TestRuntimeFolder::cleanup()
{
    qunsetenv("TMPDIR");
    env.reset();
}

QString TestRuntimeFolder::fallback() const
{
    return env->path(QStringLiteral("tmp/lumora-%1").arg(geteuid()));
}

void TestRuntimeFolder::usesAPrivateRuntimeDir()
{
    QCOMPARE(RuntimeFolder::path(), env->path(QStringLiteral("runtime")));
}

void TestRuntimeFolder::fallbackIsMadePrivate()
{
    qunsetenv("XDG_RUNTIME_DIR");
    QCOMPARE(RuntimeFolder::path(), fallback());
    struct stat info
    {
    };
    QCOMPARE(stat(QFile::encodeName(fallback()).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), 0700);
    QCOMPARE(RuntimeFolder::path(), fallback()); // and used again next time
}

void TestRuntimeFolder::runtimeDirOthersMayEnterIsNotUsed()
{
    QVERIFY(QFile::setPermissions(env->path(QStringLiteral("runtime")),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                      | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                      | QFileDevice::ExeOther));
    QCOMPARE(RuntimeFolder::path(), fallback());
}

void TestRuntimeFolder::fallbackTakenByOthersIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder others may write to") << QStringLiteral("open");
    QTest::newRow("link to a folder") << QStringLiteral("link");
    QTest::newRow("file") << QStringLiteral("file");
    QTest::newRow("another user's folder") << QStringLiteral("foreign");
}

void TestRuntimeFolder::fallbackTakenByOthersIsRefused()
{
    QFETCH(QString, kind);
    qunsetenv("XDG_RUNTIME_DIR");
    const QByteArray path = QFile::encodeName(fallback());
    if (kind == QLatin1String("open")) {
        QCOMPARE(mkdir(path.constData(), 0777), 0);
        QCOMPARE(chmod(path.constData(), 0777), 0);
    } else if (kind == QLatin1String("link")) {
        QCOMPARE(symlink(QFile::encodeName(env->path(QStringLiteral("runtime"))).constData(),
                         path.constData()),
                 0);
    } else if (kind == QLatin1String("file")) {
        QVERIFY(!env->writeFile(QStringLiteral("tmp/lumora-%1").arg(geteuid()), "x").isEmpty());
    } else {
        if (geteuid() != 0)
            QSKIP("giving a folder to another user needs root");
        QCOMPARE(mkdir(path.constData(), 0700), 0);
        QCOMPARE(chown(path.constData(), 65534, 65534), 0);
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("No private runtime")));
    QCOMPARE(RuntimeFolder::path(), QString());
}

QTEST_GUILESS_MAIN(TestRuntimeFolder)
#include "tst_runtimefolder.moc"
