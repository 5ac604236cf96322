#include "app/commandline.h"
#include "lumoraprocess.h"
#include "support/testenvironment.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void answersWithoutDisplayOrInstance_data();
    void answersWithoutDisplayOrInstance();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("run");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("text");

    const QString version = QStringLiteral("Lumora 1.0.0\n");
    QTest::newRow("nothing") << QStringList() << true << 0 << QString();
    QTest::newRow("--version") << QStringList {QStringLiteral("--version")} << false << 0
                               << version;
    QTest::newRow("-v") << QStringList {QStringLiteral("-v")} << false << 0 << version;
    QTest::newRow("--help") << QStringList {QStringLiteral("--help")} << false << 0
                            << QStringLiteral("--version");
    QTest::newRow("-h before --version")
        << QStringList {QStringLiteral("-h"), QStringLiteral("--version")} << false << 0
        << QStringLiteral("--help");
    QTest::newRow("unknown") << QStringList {QStringLiteral("--frobnicate")} << false << 2
                             << QStringLiteral("Unknown option: frobnicate");
    QTest::newRow("unknown after a good one")
        << QStringList {QStringLiteral("--version"), QStringLiteral("-x")} << false << 2
        << QStringLiteral("Unknown option: x");
    QTest::newRow("word") << QStringList {QStringLiteral("hello")} << false << 2
                          << QStringLiteral("hello");
    QTest::newRow("missing value")
        << QStringList {QStringLiteral("-platform")} << false << 2 << QStringLiteral("platform");
    // Qt's own options go on to the application object.
    QTest::newRow("Qt's -platform")
        << QStringList {QStringLiteral("-platform"), QStringLiteral("offscreen")} << true << 0
        << QString();
    QTest::newRow("Qt's --style=")
        << QStringList {QStringLiteral("--style=fusion")} << true << 0 << QString();
    QTest::newRow("Qt's -reverse")
        << QStringList {QStringLiteral("-reverse")} << true << 0 << QString();
    QTest::newRow("--device-simulator")
        << QStringList {QStringLiteral("--device-simulator")} << true << 0 << QString();
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, run);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    arguments.prepend(QStringLiteral("lumora"));
    const CommandLine::Outcome outcome = CommandLine::parse(arguments);
    QCOMPARE(outcome.run, run);
    // The simulated keyboards only on request, never by default.
    QCOMPARE(outcome.simulatedDevices, arguments.contains(QStringLiteral("--device-simulator")));
    if (run)
        return;
    QCOMPARE(outcome.exitCode, exitCode);
    QVERIFY2(outcome.text.contains(text), qPrintable(outcome.text));
    QCOMPARE(outcome.toStandardError, exitCode != 0);
}

void TestCommandLine::answersWithoutDisplayOrInstance_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::newRow("--version") << QStringLiteral("--version") << 0
                               << QStringLiteral("Lumora 1.0.0");
    QTest::newRow("--help") << QStringLiteral("--help") << 0 << QStringLiteral("Shows the version");
    QTest::newRow("unknown") << QStringLiteral("--nope") << 2 << QStringLiteral("Unknown option");
}

// The built program answers on a machine without a display (the X platform it is told to use
// cannot connect) while another instance runs: no window, no instance check.
void TestCommandLine::answersWithoutDisplayOrInstance()
{
    QFETCH(QString, argument);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    TestEnvironment env;
    QVERIFY(env.isValid());
    const QString ready = QStringLiteral("Chat window visible after start-up: false");
    {
        LumoraProcess once; // stores the scale the offscreen screen wants
        once.setVariable(QStringLiteral("LUMORA_SERVICE_URL"),
                         QStringLiteral("http://127.0.0.1:9"));
        QVERIFY(once.start());
        QVERIFY(once.waitForOutput(QStringLiteral("fileScale:")) || once.waitForOutput(ready));
    }
    LumoraProcess running;
    running.setVariable(QStringLiteral("LUMORA_SERVICE_URL"), QStringLiteral("http://127.0.0.1:9"));
    QVERIFY(running.start());
    QVERIFY2(running.waitForOutput(ready), qPrintable(running.output()));

    LumoraProcess asked;
    asked.setProgram(QStringLiteral(LUMORA_PATH), {argument});
    asked.setVariable(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    asked.setVariable(QStringLiteral("DISPLAY"), QStringLiteral(":999"));
    asked.setVariable(QStringLiteral("LUMORA_SERVICE_URL"), QStringLiteral("http://127.0.0.1:9"));
    QVERIFY(asked.start());
    QCOMPARE(asked.waitForExit(), exitCode);
    QVERIFY2(asked.output().contains(output), qPrintable(asked.output()));
    QVERIFY(!asked.output().contains(QStringLiteral("xcb")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
