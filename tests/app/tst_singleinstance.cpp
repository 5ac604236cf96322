#include "app/singleinstance.h"
#include "support/testenvironment.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSysInfo>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString AppId = QStringLiteral("Lumora AI");

// A later start, in a thread of its own: sendMessage blocks until the running instance, served
// by this thread's event loop, has answered.
class LaterStart
{
public:
    LaterStart(const QString& message, int timeoutMs)
        : thread([this, message, timeoutMs] {
            SingleInstance later(AppId);
            running = later.isRunning();
            delivered = later.sendMessage(message, timeoutMs);
        })
    { }
    ~LaterStart() { join(); }
    void join()
    {
        if (thread.joinable())
            thread.join();
    }

    std::atomic<bool> running {false};
    std::atomic<bool> delivered {false};

private:
    std::thread thread;
};

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstRunsAloneLaterFindsIt();
    void scopedToTheUser();
    void messageIsDelivered_data();
    void messageIsDelivered();
    void lockOfCrashedInstanceIsTakenOver();
    void oversizedMessageIsRefused_data();
    void oversizedMessageIsRefused();
    void silentPeerIsDropped();
    void listensAgainAfterAcceptFails();
    void noPrivateFolderIsAFailureNotAnInstance();

private:
    std::unique_ptr<TestEnvironment> env;
};

void TestSingleInstance::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
}

void TestSingleInstance::cleanup()
{
    env.reset();
}

void TestSingleInstance::firstRunsAloneLaterFindsIt()
{
    SingleInstance first(AppId);
    QVERIFY(!first.isRunning());
    QVERIFY(first.lockFilePath().startsWith(env->root()));
    SingleInstance later(AppId);
    QVERIFY(later.isRunning());
}

void TestSingleInstance::scopedToTheUser()
{
    SingleInstance first(AppId);
    TestEnvironment otherUser; // another home and runtime folder
    SingleInstance other(AppId);
    QVERIFY(!other.isRunning());
    QVERIFY(other.serverName() != first.serverName());
}

void TestSingleInstance::messageIsDelivered_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("wake") << QStringLiteral("Show first window.");
    QTest::newRow("empty") << QString();
    // The longest message a running instance takes (4 KB of UTF-16).
    QTest::newRow("longest") << QString(2048, QChar(0x4e2d));
}

void TestSingleInstance::messageIsDelivered()
{
    QFETCH(QString, message);
    SingleInstance first(AppId);
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    LaterStart later(message, 5000);
    QVERIFY(received.wait(5000));
    later.join();
    QVERIFY(later.running);
    QVERIFY(later.delivered);
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), message);
}

// A crashed instance leaves its lock file and its socket behind; neither may block a start.
void TestSingleInstance::lockOfCrashedInstanceIsTakenOver()
{
    QProcess gone;
    gone.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exit 0")});
    QVERIFY(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished());

    QString lockPath;
    QString socketPath;
    {
        SingleInstance probe(AppId);
        lockPath = probe.lockFilePath();
        socketPath = probe.serverName();
    }
    QFile lock(lockPath);
    QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
    lock.write(QByteArray::number(deadPid) + "\nlumora\n" + QSysInfo::machineHostName().toUtf8()
               + "\n");
    lock.close();
    QFile socket(socketPath);
    QVERIFY(socket.open(QIODevice::WriteOnly));
    socket.close();

    SingleInstance next(AppId);
    QVERIFY(!next.isRunning());
    QSignalSpy received(&next, &SingleInstance::messageReceived);
    LaterStart later(QStringLiteral("Show first window."), 5000);
    QVERIFY(received.wait(5000));
    later.join();
    QVERIFY(later.delivered);
}

void TestSingleInstance::oversizedMessageIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray large;
    QDataStream out(&large, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_12);
    out << QString(2049, QChar(0x4e2d));
    // A peer that announces 4 GB and then trickles: refused on the announcement alone.
    QTest::newRow("announces 4 GB") << QByteArray("\xff\xff\xff\xfe\x00\x41", 6);
    QTest::newRow("one character too long") << large;
}

void TestSingleInstance::oversizedMessageIsRefused()
{
    QFETCH(QByteArray, bytes);
    SingleInstance first(AppId);
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    QLocalSocket peer;
    QSignalSpy dropped(&peer, &QLocalSocket::disconnected);
    peer.connectToServer(first.serverName());
    QVERIFY(peer.waitForConnected(2000));
    peer.write(bytes);
    QVERIFY(dropped.wait(3000));
    QCOMPARE(received.count(), 0);
}

void TestSingleInstance::silentPeerIsDropped()
{
    SingleInstance first(AppId);
    QLocalSocket peer;
    QSignalSpy dropped(&peer, &QLocalSocket::disconnected);
    peer.connectToServer(first.serverName());
    QVERIFY(peer.waitForConnected(2000));
    QVERIFY(dropped.wait(10000));
    // The instance still takes a real start afterwards.
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    LaterStart later(QStringLiteral("Show first window."), 5000);
    QVERIFY(received.wait(5000));
}

// QLocalServer stops listening for good when accept() fails; with no file descriptor left that
// happens to the next start's connection. Once descriptors are free again, later starts must
// reach the instance.
void TestSingleInstance::listensAgainAfterAcceptFails()
{
    SingleInstance first(AppId);
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    QLocalSocket refused;
    refused.connectToServer(first.serverName());
    QVERIFY(refused.waitForConnected(2000)); // waiting in the server's backlog

    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const rlim_t used = rlim_t(QDir(QStringLiteral("/proc/self/fd")).count());
    rlimit tight = saved;
    tight.rlim_cur = used + 8;
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &tight), 0);
    std::vector<int> taken;
    for (int fd = dup(0); fd >= 0; fd = dup(0))
        taken.push_back(fd);
    // The server's accept() fails now and it stops listening; the waiting peer is cut off.
    QTRY_COMPARE_WITH_TIMEOUT(refused.state(), QLocalSocket::UnconnectedState, 5000);
    for (int fd : taken)
        close(fd);
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &saved), 0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("stopped: .*again")));
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("listens again")));

    LaterStart later(QStringLiteral("Show first window."), 8000);
    QVERIFY(received.wait(8000));
    later.join();
    QVERIFY(later.delivered);
}

// Without a private runtime folder (here the fallback's name is taken by a folder others may
// enter) the check fails: no lock or socket in a shared place, and no "already running".
void TestSingleInstance::noPrivateFolderIsAFailureNotAnInstance()
{
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(env->path(QStringLiteral("tmp"))));
    const QString taken = env->path(QStringLiteral("tmp/lumora-%1").arg(geteuid()));
    QVERIFY(QDir().mkpath(taken));
    QVERIFY(QFile::setPermissions(taken,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                      | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                      | QFileDevice::WriteOther | QFileDevice::ExeOther));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("No private runtime")));
    SingleInstance instance(AppId);
    QVERIFY(instance.hasFailed());
    QVERIFY(!instance.isRunning());
    QCOMPARE(QDir(taken).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    qunsetenv("TMPDIR");
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
