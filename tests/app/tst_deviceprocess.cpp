#include "lumoraprocess.h"
#include "support/devserverprocess.h"
#include "support/standinclient.h"
#include "support/testenvironment.h"
#include "x11desktop.h"

#include "core/logredaction.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

#include <memory>

namespace {

const QString Ready = QStringLiteral("Chat window visible after start-up: false");
const QString ScaleChanged = QStringLiteral("fileScale:");
const QString Serial = QStringLiteral("PROC-0001");
const QString Barrier = QStringLiteral("BARRIER-01");

// Under Xvfb (LUMORA_TEST_X11=1) the app runs on X11 and the window is checked on the X
// server itself; otherwise the app's own log line tells.
bool onX11()
{
    return qEnvironmentVariable("LUMORA_TEST_X11") == QLatin1String("1")
        && qEnvironmentVariableIsSet("DISPLAY");
}

QString raised(const QString& sn)
{
    return QStringLiteral(
               "Chat window raised for keyboard %1, visible: true, questions allowed: true")
        .arg(LogRedaction::serial(sn));
}

// A press on the bar while it is up and active puts it away (or stops an answer).
QString onActiveBar(const QString& sn)
{
    return QStringLiteral("AI key of keyboard %1 on the active chat bar")
        .arg(LogRedaction::serial(sn));
}

} // namespace

// The hidden app with the maker-service stand-in: a keyboard plugged and pressed through
// lumora-devicectl brings up the chat bar ready to ask, and the service hears one usage-count
// request per press.
class TestDeviceProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void plugAndPressBringsUpTheBar();
    void replugsKeepOneRequestPerPress();
    void pressAfterUnplugFindsNoKeyboard();

private:
    int devicectl(const QStringList& arguments, QString* output = nullptr);
    bool windowMapped();
    bool waitUntilStarted(const QString& sn);
    int getCounts(const QString& sn);
    void plug(const QString& sn, const QString& name = QStringLiteral("Z19 AI"));
    int relays(const QString& sn);
    void pressAndCountOnce(const QString& sn);

    std::unique_ptr<TestEnvironment> env;
    DevServerProcess server;
    std::unique_ptr<StandInClient> standIn;
    std::unique_ptr<LumoraProcess> app;
};

void TestDeviceProcess::initTestCase()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    QVERIFY2(server.start(), qPrintable(server.errorText()));
    qputenv("LUMORA_SERVICE_URL", server.baseUrl().toUtf8());
    qputenv("LUMORA_ENGINE_URL", server.baseUrl().toUtf8());
    standIn = std::make_unique<StandInClient>(server.baseUrl());

    // A first start may only store the screen's scale and end; the next one runs.
    for (int attempt = 0; attempt < 2 && !app; ++attempt) {
        auto start = std::make_unique<LumoraProcess>();
        // The simulated keyboards by the command-line switch (the other tests use the
        // environment variable).
        start->setProgram(QStringLiteral(LUMORA_PATH), {QStringLiteral("--device-simulator")});
        if (onX11())
            start->setVariable(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        QVERIFY(start->start());
        QVERIFY2(start->waitForOutput(ScaleChanged) || start->waitForOutput(Ready),
                 qPrintable(start->output()));
        if (start->output().contains(Ready))
            app = std::move(start);
        else
            QCOMPARE(start->waitForExit(), 0);
    }
    QVERIFY(app);
    QVERIFY2(app->waitForOutput(QStringLiteral("Device control socket:")),
             qPrintable(app->output()));
}

void TestDeviceProcess::cleanupTestCase()
{
    app.reset();
    server.stop();
    env.reset();
}

int TestDeviceProcess::devicectl(const QStringList& arguments, QString* output)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(LUMORA_DEVICECTL_PATH), arguments);
    if (!tool.waitForFinished(15000))
        return -1;
    if (output)
        *output = QString::fromUtf8(tool.readAll());
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -2;
}

// A window of the app that the X server shows.
// The chat bar (576 wide); the first-run window of a fresh home is mapped from the start.
bool TestDeviceProcess::windowMapped()
{
    return X11Desktop::visibleWindowOfWidth(app->processId(), 576).id != 0;
}

// The app has opened and started its device object on the keyboard: a press now reaches it.
bool TestDeviceProcess::waitUntilStarted(const QString& sn)
{
    return QTest::qWaitFor(
        [&] {
            QString listing;
            devicectl({QStringLiteral("list")}, &listing);
            return listing.contains(
                QRegularExpression(QLatin1Char('^') + sn + QStringLiteral("\\t.*\\tstarted=1$"),
                                   QRegularExpression::MultilineOption));
        },
        10000);
}

int TestDeviceProcess::getCounts(const QString& sn)
{
    int count = 0;
    for (const QJsonValue& entry : standIn->requests()) {
        const QJsonObject request = entry.toObject();
        if (request.value(QStringLiteral("path")).toString() == QLatin1String("/v1/ai/api/getCount")
            && request.value(QStringLiteral("body")).toString().contains(sn))
            ++count;
    }
    return count;
}

void TestDeviceProcess::plug(const QString& sn, const QString& name)
{
    QCOMPARE(devicectl({QStringLiteral("plug"), QStringLiteral("--name"), name,
                        QStringLiteral("--sn"), sn}),
             0);
    QVERIFY2(waitUntilStarted(sn), qPrintable(app->output()));
}

// Every press the app acts on is logged: the bar raised, or (on the active bar) put away.
int TestDeviceProcess::relays(const QString& sn)
{
    return app->output().count(raised(sn)) + app->output().count(onActiveBar(sn));
}

// Presses sn once, then a second keyboard as a barrier: presses are delivered in order, so
// once the barrier's press is acted on, every relay of sn's press is too. A press that raised
// the bar asked for the usage count once; one that put the active bar away asked nothing.
void TestDeviceProcess::pressAndCountOnce(const QString& sn)
{
    const int before = getCounts(sn);
    const int barrierBefore = relays(Barrier);
    const int relaysBefore = relays(sn);
    const int raisedBefore = app->output().count(raised(sn));
    QCOMPARE(devicectl({QStringLiteral("press"), QStringLiteral("--sn"), sn}), 0);
    QCOMPARE(devicectl({QStringLiteral("press"), QStringLiteral("--sn"), Barrier}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(relays(Barrier), barrierBefore + 1, 10000);
    QCOMPARE(relays(sn), relaysBefore + 1);
    const int raisedNow = app->output().count(raised(sn)) - raisedBefore;
    QTRY_COMPARE_WITH_TIMEOUT(getCounts(sn), before + raisedNow, 10000);
}

void TestDeviceProcess::plugAndPressBringsUpTheBar()
{
    plug(Serial);
    if (onX11())
        QVERIFY(!windowMapped());
    QElapsedTimer pressed;
    pressed.start();
    QCOMPARE(devicectl({QStringLiteral("press"), QStringLiteral("--sn"), Serial}), 0);
    QVERIFY2(app->waitForOutput(raised(Serial), 3000), qPrintable(app->output()));
    if (onX11())
        QTRY_VERIFY_WITH_TIMEOUT(windowMapped() || pressed.elapsed() > 3000, 3500);
    QVERIFY(pressed.elapsed() < 3000);
    QTRY_COMPARE_WITH_TIMEOUT(getCounts(Serial), 1, 5000);
    // The usage reply leaves questions allowed: the stand-in's keyboard has its allowance.
    QVERIFY(app->waitForOutput(QStringLiteral("useCount"), 5000));
    QVERIFY(!app->output().contains(QStringLiteral("questions allowed: false")));
    plug(Barrier, QStringLiteral("Barrier"));
    pressAndCountOnce(Serial);
    // Every debug line is on (the tests' QT_LOGGING_RULES), and still no line holds the serial
    // number or a provider key in full.
    QVERIFY2(app->waitForOutput(QStringLiteral("NORMAL map:"), 5000), qPrintable(app->output()));
    QVERIFY2(!app->output().contains(Serial), qPrintable(app->output()));
    QVERIFY2(!app->output().contains(QStringLiteral("lumora-dev-mode-")),
             qPrintable(app->output()));
}

// Each re-plug creates a new device object; the old ones must be gone, or a press would be
// relayed (and counted) once per re-plug.
void TestDeviceProcess::replugsKeepOneRequestPerPress()
{
    for (int i = 0; i < 20; ++i) {
        const int emptied = app->output().count(QStringLiteral("Device list: 1 device(s)"));
        QCOMPARE(devicectl({QStringLiteral("unplug"), QStringLiteral("--sn"), Serial}), 0);
        // The app has noticed the departure once the list holds the barrier keyboard alone.
        QTRY_COMPARE_WITH_TIMEOUT(app->output().count(QStringLiteral("Device list: 1 device(s)")),
                                  emptied + 1, 10000);
        plug(Serial);
    }
    pressAndCountOnce(Serial);
}

void TestDeviceProcess::pressAfterUnplugFindsNoKeyboard()
{
    QCOMPARE(devicectl({QStringLiteral("unplug"), QStringLiteral("--sn"), Serial}), 0);
    QString output;
    QCOMPARE(devicectl({QStringLiteral("press"), QStringLiteral("--sn"), Serial}, &output), 3);
    QVERIFY(output.contains(Serial));
}

QTEST_GUILESS_MAIN(TestDeviceProcess)
#include "tst_deviceprocess.moc"
