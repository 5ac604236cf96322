#include "support/testenvironment.h"

#include "core/configengine.h"
#include "core/constants.h"
#include "platform/autostart.h"
#include "service/updatecheck.h"
#include "shell/mquickview.h"
#include "shell/settingspagemanager.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QMessageBox>
#include <QtTest>

#include <memory>

namespace {

constexpr int ShortLimitMs = 1500;

QWidget* noUpdateMessage()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("noUpdateMessage") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

} // namespace

class TestSettingsPageManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void interpret_data();
    void interpret();
    void toolBesideTheProgram();
    void checkScenarios_data();
    void checkScenarios();
    void hangingToolKeepsTheWindowResponsive();
    void updaterOutlivesTheController();
    void missingToolFails();
    void counts();
    void autoStartOnTwiceWritesOnce();
    void autoStartOff();
    void autoStartRemovedBySomeoneElse();
    void autoStartEntryQuotesThePath_data();
    void autoStartEntryQuotesThePath();
    void testChangesNothing();

private:
    QString storedStartUpAuto();
    QStringList toolRuns() const;

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ConfigEngine> config;
    std::unique_ptr<MQuickView> view;
    std::unique_ptr<SettingsPageManager> manager;
    int restarts = 0;
};

void TestSettingsPageManager::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    qputenv("LUMORA_MAINTENANCE_LOG", QFile::encodeName(env->path(QStringLiteral("tool.log"))));
    config = std::make_unique<ConfigEngine>();
    config->initialize({{QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
    view = std::make_unique<MQuickView>(0, 0);
    view->setConfigEngine(config.get());
    manager = std::make_unique<SettingsPageManager>(view.get());
    manager->setCheckLimit(ShortLimitMs);
    restarts = 0;
    connect(manager.get(), &SettingsPageManager::restartRequested, this, [this] { ++restarts; });
}

void TestSettingsPageManager::cleanup()
{
    manager.reset();
    view.reset();
    config.reset();
    while (QWidget* box = noUpdateMessage())
        box->close();
    qunsetenv("LUMORA_MAINTENANCE_SCENARIO");
    qunsetenv("LUMORA_MAINTENANCE_LOG");
    qunsetenv("LUMORA_MAINTENANCE_UPDATER_MS");
    env.reset();
}

QString TestSettingsPageManager::storedStartUpAuto()
{
    QJsonDocument work;
    return config->getValue(QStringLiteral("StartUpAuto"), false, work).toString();
}

QStringList TestSettingsPageManager::toolRuns() const
{
    QFile log(env->path(QStringLiteral("tool.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestSettingsPageManager::interpret_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<UpdateCheck::Outcome>("outcome");
    QTest::addColumn<QString>("version");
    using O = UpdateCheck::Outcome;

    QTest::newRow("no updates") << QByteArray("There are currently no updates available.\n")
                                << O::Quiet << QString();
    QTest::newRow("network error") << QByteArray("Network error: timeout") << O::Quiet << QString();
    QTest::newRow("no remote tree")
        << QByteArray("Cannot retrieve remote tree") << O::Quiet << QString();
    QTest::newRow("update") << QByteArray(
        R"(<updates><update name="x" version="1.0.1"/></updates>)")
                            << O::Update << QStringLiteral("1.0.1");
    QTest::newRow("log lines before the report")
        << QByteArray("[0] Checking...\n<updates><update version=\"1.2\"/></updates>\n")
        << O::Update << QStringLiteral("1.2");
    QTest::newRow("texts before the XML")
        << QByteArray(R"(<updates><update version="1.0.1"/></updates> Network error)") << O::Quiet
        << QString();
    QTest::newRow("first update element counts")
        << QByteArray(R"(<u><update version="2.0"/><update version="3.0"/></u>)") << O::Update
        << QStringLiteral("2.0");
    QTest::newRow("update without version")
        << QByteArray(R"(<updates><update name="x"/></updates>)") << O::NoUpdate << QString();
    QTest::newRow("case matters") << QByteArray("NO UPDATES AVAILABLE") << O::NoUpdate << QString();
    QTest::newRow("garbage") << QByteArray("\x01\x02<<<update version=>>>") << O::NoUpdate
                             << QString();
    QTest::newRow("empty") << QByteArray() << O::NoUpdate << QString();
}

void TestSettingsPageManager::interpret()
{
    QFETCH(QByteArray, output);
    QFETCH(UpdateCheck::Outcome, outcome);
    QFETCH(QString, version);
    const UpdateCheck::Result result = UpdateCheck::interpret(output);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.version, version);
}

void TestSettingsPageManager::toolBesideTheProgram()
{
    const QString path = manager->toolPath();
    QVERIFY(path.startsWith(QCoreApplication::applicationDirPath() + QLatin1Char('/')));
#ifdef Q_OS_WIN
    QVERIFY(path.endsWith(QLatin1String("/LumoraMaintenanceTool.exe")));
#else
    QVERIFY(path.endsWith(QLatin1String("/LumoraMaintenanceTool")));
#endif
    QVERIFY2(QFile::exists(path), "the stand-in tool is built beside the program");
}

void TestSettingsPageManager::checkScenarios_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("noVersion");
    QTest::addColumn<int>("lowVersion");
    QTest::addColumn<int>("fail");
    QTest::addColumn<bool>("updated");
    QTest::addColumn<bool>("message");
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<int>("restarts");

    const QStringList check {QStringLiteral("--checkupdates")};
    const QStringList update {QStringLiteral("--checkupdates"), QStringLiteral("--updater")};
    QTest::newRow("no update") << "noupdate" << 1 << 0 << 0 << false << false << check << 0;
    QTest::newRow("update, updater succeeds")
        << "update" << 0 << 1 << 0 << true << false << update << 1;
    QTest::newRow("network error") << "network" << 1 << 0 << 0 << false << false << check << 0;
    QTest::newRow("no remote tree") << "noremote" << 1 << 0 << 0 << false << false << check << 0;
    QTest::newRow("garbage") << "garbage" << 1 << 0 << 0 << false << true << check << 0;
    QTest::newRow("hang") << "hang" << 0 << 0 << 1 << false << false << check << 0;
    QTest::newRow("updater fails")
        << "updater-fails" << 0 << 1 << 0 << true << false << update << 0;
    QTest::newRow("updater crashes")
        << "updater-crashes" << 0 << 1 << 0 << true << false << update << 0;
}

// Every scenario of the stand-in tool, with clicks repeated during the check: they are
// ignored, one tool and at most one updater run.
void TestSettingsPageManager::checkScenarios()
{
    QFETCH(QString, scenario);
    QFETCH(int, noVersion);
    QFETCH(int, lowVersion);
    QFETCH(int, fail);
    QFETCH(bool, updated);
    QFETCH(bool, message);
    QFETCH(QStringList, runs);
    QFETCH(int, restarts);
    qputenv("LUMORA_MAINTENANCE_SCENARIO", scenario.toUtf8());

    QSignalSpy noSpy(manager.get(), &SettingsPageManager::noVersion);
    QSignalSpy lowSpy(manager.get(), &SettingsPageManager::lowVersion);
    QSignalSpy failSpy(manager.get(), &SettingsPageManager::failUpdate);
    QSignalSpy updatedSpy(manager.get(), &SettingsPageManager::updatedChanged);

    manager->checkUpdate();
    QVERIFY(manager->checking());
    manager->checkUpdate();
    manager->checkUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(!manager->checking(), ShortLimitMs + 5000);
    manager->checkUpdate(); // a click after the check starts a new one; let it end too
    QTRY_VERIFY_WITH_TIMEOUT(!manager->checking(), ShortLimitMs + 5000);

    QCOMPARE(noSpy.count(), 2 * noVersion);
    QCOMPARE(lowSpy.count(), 2 * lowVersion);
    QCOMPARE(failSpy.count(), 2 * fail);
    QCOMPARE(manager->updated(), updated);
    QCOMPARE(updatedSpy.count(), updated ? 1 : 0);
    QCOMPARE(bool(noUpdateMessage()), message);
    QCOMPARE(toolRuns(), runs + runs);
    QCOMPARE(this->restarts, 2 * restarts);
}

// Quitting while the maintenance tool installs (what an installer asks the user to do) must not
// end the tool, though it writes to its output all the while.
void TestSettingsPageManager::updaterOutlivesTheController()
{
    qputenv("LUMORA_MAINTENANCE_SCENARIO", "updater-slow");
    qputenv("LUMORA_MAINTENANCE_UPDATER_MS", "1500");
    manager->checkUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(toolRuns().contains(QStringLiteral("--updater")), 10000);
    QVERIFY(manager->checking());
    manager.reset();
    QTRY_VERIFY_WITH_TIMEOUT(toolRuns().contains(QStringLiteral("installed")), 15000);
    QCOMPARE(toolRuns(),
             (QStringList {QStringLiteral("--checkupdates"), QStringLiteral("--updater"),
                           QStringLiteral("installed")}));
    // Nobody is left to restart the program.
    QCOMPARE(restarts, 0);
}

// A tool that never answers: the event loop keeps turning meanwhile (a timer ticks), and the
// check gives up at its limit and kills the tool.
void TestSettingsPageManager::hangingToolKeepsTheWindowResponsive()
{
    qputenv("LUMORA_MAINTENANCE_SCENARIO", "hang");
    QTimer ticker;
    int ticks = 0;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(50);
    QSignalSpy failSpy(manager.get(), &SettingsPageManager::failUpdate);
    QElapsedTimer elapsed;
    elapsed.start();
    manager->checkUpdate();
    QVERIFY(failSpy.wait(ShortLimitMs + 5000));
    QVERIFY(elapsed.elapsed() >= ShortLimitMs * 9 / 10); // coarse timers may fire a bit early
    QVERIFY2(ticks >= ShortLimitMs / 50 / 2, qPrintable(QString::number(ticks)));
    QCOMPARE(failSpy.count(), 1);
}

void TestSettingsPageManager::missingToolFails()
{
    manager->setToolName(QStringLiteral("NoSuchMaintenanceTool"));
    QSignalSpy failSpy(manager.get(), &SettingsPageManager::failUpdate);
    QSignalSpy noSpy(manager.get(), &SettingsPageManager::noVersion);
    manager->checkUpdate();
    QVERIFY(failSpy.wait(5000));
    QVERIFY(!manager->checking());
    QCOMPARE(noSpy.count(), 0);
    QVERIFY(!noUpdateMessage());
}

void TestSettingsPageManager::counts()
{
    QSignalSpy used(manager.get(), &SettingsPageManager::usedNumChanged);
    QSignalSpy total(manager.get(), &SettingsPageManager::totalCountChanged);
    manager->setUsedNumCount(0);
    manager->setTotalCount(0);
    QCOMPARE(used.count() + total.count(), 0);
    manager->setUsedNumCount(25);
    manager->setTotalCount(50);
    manager->setTotalCount(50);
    QCOMPARE(used.count(), 1);
    QCOMPARE(total.count(), 1);
}

void TestSettingsPageManager::autoStartOnTwiceWritesOnce()
{
    QSignalSpy changed(manager.get(), &SettingsPageManager::isStartUpAuto);
    QVERIFY(!manager->startUpAuto());
    manager->setStartUpAuto(true);
    QVERIFY(AutoStart::isRegistered(QCoreApplication::applicationFilePath()));
    QFile::remove(env->path(QStringLiteral("dummy")));
    const QDateTime written = QFileInfo(AutoStart::location()).lastModified();
    manager->setStartUpAuto(true);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(storedStartUpAuto(), QStringLiteral("true"));
    QVERIFY(manager->startUpAuto());
    QCOMPARE(QFileInfo(AutoStart::location()).lastModified(), written);
    QCOMPARE(AutoStart::location(),
             env->configHome() + QStringLiteral("/autostart/lumora.desktop"));
    // Written whole through a temporary file: nothing else is left in the folder.
    QCOMPARE(QDir(env->configHome() + QStringLiteral("/autostart")).entryList(QDir::Files),
             QStringList {QStringLiteral("lumora.desktop")});
}

void TestSettingsPageManager::autoStartOff()
{
    QSignalSpy changed(manager.get(), &SettingsPageManager::isStartUpAuto);
    manager->setStartUpAuto(true);
    manager->setStartUpAuto(false);
    QCOMPARE(changed.count(), 2);
    QVERIFY(!QFile::exists(AutoStart::location()));
    QCOMPARE(storedStartUpAuto(), QStringLiteral("false"));
    manager->setStartUpAuto(false); // equal to the stored value: nothing happens
    QCOMPARE(changed.count(), 2);
}

// The configuration is what the switch compares with: an entry deleted from outside is not
// noticed by switching on again, but off and on puts it back.
void TestSettingsPageManager::autoStartRemovedBySomeoneElse()
{
    manager->setStartUpAuto(true);
    QVERIFY(QFile::remove(AutoStart::location()));
    manager->setStartUpAuto(true);
    QVERIFY(!QFile::exists(AutoStart::location()));
    manager->setStartUpAuto(false);
    manager->setStartUpAuto(true);
    QVERIFY(AutoStart::isRegistered(QCoreApplication::applicationFilePath()));
}

void TestSettingsPageManager::autoStartEntryQuotesThePath_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec");

    QTest::newRow("plain") << "/opt/lumora/lumora"
                           << R"(Exec="/opt/lumora/lumora")";
    QTest::newRow("spaces") << "/home/a b/My Apps/lumora"
                            << R"(Exec="/home/a b/My Apps/lumora")";
    QTest::newRow("percent") << "/opt/100% sure/lumora"
                             << R"(Exec="/opt/100%% sure/lumora")";
    QTest::newRow("field-code look-alike") << "/opt/%f/lumora"
                                           << R"(Exec="/opt/%%f/lumora")";
    QTest::newRow("quote, dollar, backtick") << R"(/opt/"q" $HOME `x`/lumora)"
                                             << R"(Exec="/opt/\\"q\\" \\$HOME \\`x\\`/lumora")";
    QTest::newRow("backslash") << R"(/opt/a\b/lumora)"
                               << R"(Exec="/opt/a\\\\b/lumora")";
}

void TestSettingsPageManager::autoStartEntryQuotesThePath()
{
    QFETCH(QString, program);
    QFETCH(QString, exec);
    QVERIFY(AutoStart::apply(true, program));
    QFile entry(AutoStart::location());
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("[Desktop Entry]"));
    QVERIFY(lines.contains(QStringLiteral("Type=Application")));
    QVERIFY2(lines.contains(exec), qPrintable(lines.join(QLatin1Char('|'))));
    QVERIFY(AutoStart::isRegistered(program));
    QVERIFY(AutoStart::apply(false, program));
    QVERIFY(!QFile::exists(AutoStart::location()));
    QVERIFY(AutoStart::apply(false, program)); // removing what is not there is fine
}

void TestSettingsPageManager::testChangesNothing()
{
    QSignalSpy version(manager.get(), &SettingsPageManager::currentVersionChanged);
    QSignalSpy updated(manager.get(), &SettingsPageManager::updatedChanged);
    QSignalSpy autoStart(manager.get(), &SettingsPageManager::isStartUpAuto);
    QTest::ignoreMessage(QtDebugMsg, "Invalid file in the directory!");
    manager->test();
    QCOMPARE(version.count() + updated.count() + autoStart.count(), 0);
    QVERIFY(!QFile::exists(AutoStart::location()));
}

QTEST_MAIN(TestSettingsPageManager)
#include "tst_settingspagemanager.moc"
