#include "simulatedkeyboards.h"
#include "support/testenvironment.h"

#include "device/devicecommand.h"
#include "device/devicecontrolserver.h"
#include "device/devicecontrolsocket.h"
#include "devicectlarguments.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QProcess>
#include <QtTest>

#include <memory>

class TestDeviceControl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commands_data();
    void commands();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void arguments_data();
    void arguments();
    void socketNameFollowsTheEnvironment();
    void overlongLineRefused_data();
    void overlongLineRefused();
    void toolExitCodes_data();
    void toolExitCodes();
    void toolWithoutApp();
    void staleSocketReplaced();

private:
    QString send(const QByteArray& line);
    int runTool(const QStringList& arguments, QString* output = nullptr);

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<DeviceControlServer> server;
};

void TestDeviceControl::init()
{
    SimulatedKeyboards::reset();
    env = std::make_unique<TestEnvironment>();
    server = std::make_unique<DeviceControlServer>();
    QVERIFY(server->listen(DeviceControlSocket::serverName()));
}

void TestDeviceControl::cleanup()
{
    server.reset();
    env.reset();
    SimulatedKeyboards::reset();
}

// One round trip over the socket; the event loop runs so the server in this process answers.
QString TestDeviceControl::send(const QByteArray& line)
{
    QLocalSocket socket;
    socket.connectToServer(DeviceControlSocket::serverName());
    if (!socket.waitForConnected(2000))
        return QStringLiteral("(not connected)");
    socket.write(line);
    QByteArray reply;
    const bool answered = QTest::qWaitFor(
        [&] {
            reply += socket.readAll();
            return reply.contains('\n') || socket.state() == QLocalSocket::UnconnectedState;
        },
        5000);
    if (!answered)
        return QStringLiteral("(no answer)");
    reply += socket.readAll();
    return QString::fromUtf8(reply.trimmed());
}

int TestDeviceControl::runTool(const QStringList& arguments, QString* output)
{
    QProcess tool;
    tool.start(QStringLiteral(LUMORA_DEVICECTL_PATH), arguments);
    if (!tool.waitForStarted(5000))
        return -1;
    // Not waitForFinished(): the server the tool talks to runs in this thread's event loop.
    if (!QTest::qWaitFor([&] { return tool.state() == QProcess::NotRunning; }, 15000))
        return -1;
    if (output)
        *output = QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -2;
}

void TestDeviceControl::commands_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("errorCode"); // empty: success
    QTest::newRow("plug") << QByteArray(R"({"cmd":"plug","name":"Z19 AI","sn":"NEW"})") << "";
    QTest::newRow("plug twice") << QByteArray(R"({"cmd":"plug","name":"Z19 AI","sn":"A"})")
                                << "usage";
    QTest::newRow("press") << QByteArray(R"({"cmd":"press","sn":"A","count":3})") << "";
    QTest::newRow("press unknown")
        << QByteArray(R"({"cmd":"press","sn":"B"})") << "no-such-keyboard";
    QTest::newRow("battery") << QByteArray(R"({"cmd":"battery","sn":"A","level":5,"status":1})")
                             << "";
    QTest::newRow("battery unknown")
        << QByteArray(R"({"cmd":"battery","sn":"B","level":5,"status":1})") << "no-such-keyboard";
    QTest::newRow("unplug") << QByteArray(R"({"cmd":"unplug","sn":"A"})") << "";
    QTest::newRow("unplug unknown")
        << QByteArray(R"({"cmd":"unplug","sn":"B"})") << "no-such-keyboard";
    QTest::newRow("unplug all") << QByteArray(R"({"cmd":"unplug","all":true})") << "";
    QTest::newRow("list") << QByteArray(R"({"cmd":"list"})") << "";
}

void TestDeviceControl::commands()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, errorCode);
    DeviceSimulator::instance().plug(
        SimulatedKeyboards::keyboard(QStringLiteral("Z19 AI"), QStringLiteral("A")));
    const QJsonObject reply = QJsonDocument::fromJson(send(line + '\n').toUtf8()).object();
    QCOMPARE(reply.value(QStringLiteral("ok")).toBool(), errorCode.isEmpty());
    QCOMPARE(reply.value(QStringLiteral("error")).toString(), errorCode);
    if (line.contains("list")) {
        const QJsonArray keyboards = reply.value(QStringLiteral("keyboards")).toArray();
        QCOMPARE(keyboards.size(), 1);
        QCOMPARE(keyboards.first().toObject().value(QStringLiteral("sn")).toString(),
                 QStringLiteral("A"));
    }
}

void TestDeviceControl::badInputChangesNothing_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("not json") << QByteArray("plug A");
    QTest::newRow("array") << QByteArray("[1,2]");
    QTest::newRow("no command") << QByteArray(R"({"sn":"X"})");
    QTest::newRow("unknown command") << QByteArray(R"({"cmd":"explode"})");
    QTest::newRow("unknown key") << QByteArray(
        R"({"cmd":"plug","name":"K","sn":"X","color":"red"})");
    QTest::newRow("no name") << QByteArray(R"({"cmd":"plug","sn":"X"})");
    QTest::newRow("blank name") << QByteArray(R"({"cmd":"plug","name":"  ","sn":"X"})");
    QTest::newRow("control char in name")
        << QByteArray("{\"cmd\":\"plug\",\"name\":\"K\\u0007\",\"sn\":\"X\"}");
    QTest::newRow("serial with space") << QByteArray(R"({"cmd":"plug","name":"K","sn":"X Y"})");
    QTest::newRow("serial too long")
        << QByteArray(R"({"cmd":"plug","name":"K","sn":")") + QByteArray(65, 'A') + "\"}";
    QTest::newRow("serial as number") << QByteArray(R"({"cmd":"plug","name":"K","sn":12})");
    QTest::newRow("bad connect") << QByteArray(
        R"({"cmd":"plug","name":"K","sn":"X","connect":"usb"})");
    QTest::newRow("bad type") << QByteArray(R"({"cmd":"plug","name":"K","sn":"X","type":3})");
    QTest::newRow("fractional type")
        << QByteArray(R"({"cmd":"plug","name":"K","sn":"X","type":0.5})");
    QTest::newRow("bad open") << QByteArray(R"({"cmd":"plug","name":"K","sn":"X","open":"maybe"})");
    QTest::newRow("press count 0") << QByteArray(R"({"cmd":"press","sn":"A","count":0})");
    QTest::newRow("press count huge") << QByteArray(R"({"cmd":"press","sn":"A","count":1e12})");
    QTest::newRow("battery no status") << QByteArray(R"({"cmd":"battery","sn":"A","level":5})");
    QTest::newRow("battery level 101")
        << QByteArray(R"({"cmd":"battery","sn":"A","level":101,"status":0})");
    QTest::newRow("unplug both") << QByteArray(R"({"cmd":"unplug","sn":"A","all":true})");
    QTest::newRow("unplug neither") << QByteArray(R"({"cmd":"unplug"})");
    QTest::newRow("unplug all as text") << QByteArray(R"({"cmd":"unplug","all":"yes"})");
}

void TestDeviceControl::badInputChangesNothing()
{
    QFETCH(QByteArray, line);
    DeviceSimulator& simulator = DeviceSimulator::instance();
    simulator.plug(SimulatedKeyboards::keyboard(QStringLiteral("Z19 AI"), QStringLiteral("A")));
    const QJsonObject reply = DeviceCommand::execute(line, simulator);
    QCOMPARE(reply.value(QStringLiteral("ok")).toBool(), false);
    QCOMPARE(reply.value(QStringLiteral("error")).toString(), QStringLiteral("usage"));
    QVERIFY(!reply.value(QStringLiteral("message")).toString().isEmpty());
    QCOMPARE(simulator.keyboardCount(), 1);
    const SimulatedKeyboard kept = simulator.keyboards().first();
    QCOMPARE(kept.sn, QStringLiteral("A"));
    QCOMPARE(kept.batteryLevel, 100);
}

void TestDeviceControl::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("json"); // empty: a usage error
    QTest::newRow("plug")
        << QStringList {"plug", "--name", "Z19 AI", "--sn",   "S1", "--connect",
                        "ble",  "--type", "1",      "--open", "now"}
        << R"({"cmd":"plug","connect":"ble","name":"Z19 AI","open":"now","sn":"S1","type":1})";
    QTest::newRow("equals form") << QStringList {"press", "--sn=S1", "--count=2"}
                                 << R"({"cmd":"press","count":2,"sn":"S1"})";
    QTest::newRow("unplug all") << QStringList {"unplug", "--all"}
                                << R"({"all":true,"cmd":"unplug"})";
    QTest::newRow("list") << QStringList {"list"} << R"({"cmd":"list"})";
    QTest::newRow("nothing") << QStringList {} << "";
    QTest::newRow("unknown command") << QStringList {"fly"} << "";
    QTest::newRow("missing value") << QStringList {"press", "--sn"} << "";
    QTest::newRow("not a number") << QStringList {"press", "--sn", "S1", "--count", "two"} << "";
    QTest::newRow("stray word") << QStringList {"press", "S1"} << "";
    QTest::newRow("twice") << QStringList {"press", "--sn", "S1", "--sn", "S2"} << "";
    QTest::newRow("unknown flag") << QStringList {"list", "--verbose", "1"} << "";
    QTest::newRow("plug without serial") << QStringList {"plug", "--name", "K"} << "";
}

void TestDeviceControl::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, json);
    QString error;
    const QJsonObject command = DevicectlArguments::parse(arguments, &error);
    QCOMPARE(QString::fromUtf8(command.isEmpty()
                                   ? QByteArray()
                                   : QJsonDocument(command).toJson(QJsonDocument::Compact)),
             json);
    QCOMPARE(error.isEmpty(), !json.isEmpty());
}

void TestDeviceControl::socketNameFollowsTheEnvironment()
{
    QCOMPARE(DeviceControlSocket::serverName(),
             env->path(QStringLiteral("runtime/lumora-device.sock")));
    qputenv("LUMORA_DEVICE_SOCKET", "/tmp/elsewhere.sock");
    QCOMPARE(DeviceControlSocket::serverName(), QStringLiteral("/tmp/elsewhere.sock"));
    qunsetenv("LUMORA_DEVICE_SOCKET");
}

void TestDeviceControl::overlongLineRefused_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("accepted");
    const QByteArray command = R"({"cmd":"plug","name":"K","sn":"X"})";
    // A line is at most MaxLineLength bytes, its line break included.
    const auto padded = [&](int length) {
        return command + QByteArray(length - 1 - command.size(), ' ') + '\n';
    };
    const int limit = DeviceControlSocket::MaxLineLength;
    QTest::newRow("no line break")
        << R"({"cmd":"plug","name":")" + QByteArray(8000, 'K') + R"(","sn":"X"})" << false;
    QTest::newRow("longest") << padded(limit) << true;
    QTest::newRow("one byte more") << padded(limit + 1) << false;
    QTest::newRow("far more") << padded(3 * limit) << false;
}

void TestDeviceControl::overlongLineRefused()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, accepted);
    const QJsonObject reply = QJsonDocument::fromJson(send(line).toUtf8()).object();
    QCOMPARE(reply.value(QStringLiteral("ok")).toBool(), accepted);
    if (!accepted)
        QCOMPARE(reply.value(QStringLiteral("error")).toString(), QStringLiteral("usage"));
    QCOMPARE(DeviceSimulator::instance().keyboardCount(), accepted ? 1 : 0);
}

void TestDeviceControl::toolExitCodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("plug") << QStringList {"plug", "--name", "Z46 AI", "--sn", "B"} << 0;
    QTest::newRow("press") << QStringList {"press", "--sn", "A"} << 0;
    QTest::newRow("list") << QStringList {"list"} << 0;
    QTest::newRow("usage") << QStringList {"press", "--sn"} << 2;
    QTest::newRow("plugged already") << QStringList {"plug", "--name", "K", "--sn", "A"} << 2;
    QTest::newRow("no such keyboard") << QStringList {"press", "--sn", "NOPE"} << 3;
    QTest::newRow("battery unknown")
        << QStringList {"battery", "--sn", "NOPE", "--level", "1", "--status", "0"} << 3;
}

void TestDeviceControl::toolExitCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    DeviceSimulator::instance().plug(
        SimulatedKeyboards::keyboard(QStringLiteral("Z19 AI"), QStringLiteral("A")));
    QString output;
    QCOMPARE(runTool(arguments, &output), exitCode);
    if (arguments.first() == QLatin1String("list"))
        QVERIFY2(output.contains(QStringLiteral("A\tZ19 AI\twired")), qPrintable(output));
    if (exitCode != 0)
        QVERIFY(!output.isEmpty());
}

void TestDeviceControl::toolWithoutApp()
{
    server.reset();
    QString output;
    QCOMPARE(runTool({QStringLiteral("list")}, &output), 1);
    QVERIFY(output.contains(QStringLiteral("not running")));
    // A usage error is found before the app is looked for.
    QCOMPARE(runTool({QStringLiteral("press")}), 2);
}

// A socket file left behind by a crashed app must not keep the next one from listening,
// while a live server is never taken over.
void TestDeviceControl::staleSocketReplaced()
{
    DeviceControlServer second;
    QVERIFY(!second.listen(DeviceControlSocket::serverName()));
    server.reset();
    QFile stale(DeviceControlSocket::serverName());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    DeviceControlServer third;
    QVERIFY(third.listen(DeviceControlSocket::serverName()));
}

QTEST_GUILESS_MAIN(TestDeviceControl)
#include "tst_devicecontrol.moc"
