#include "app/singleinstance.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

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
    QTest::newRow("long, arrives in pieces") << QString(200000, QChar(0x4e2d));
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

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
