#include "app/lumoraprocess.h"
#include "support/testenvironment.h"
#include "xdesktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

const QString Ready = QStringLiteral("Chat window visible after start-up: false");
const QString ScaleChanged = QStringLiteral("fileScale:");
const QString MenuOpened = QStringLiteral("Tray menu opened at");
const QString SettingsShown = QStringLiteral("Settings window shown at");
const QString SettingsClosed = QStringLiteral("Settings window closed");
const QString Restarting = QStringLiteral("Restarting after the update, new process:");
constexpr int Right = 3;
constexpr int Left = 1;

// The rectangle of the last "<prefix> QRect(x,y wxh)" line.
QRect loggedRect(const QString& output, const QString& prefix)
{
    const QRegularExpression pattern(QRegularExpression::escape(prefix)
                                     + QStringLiteral(R"( QRect\((-?\d+),(-?\d+) (\d+)x(\d+)\))"));
    QRect rect;
    auto it = pattern.globalMatch(output);
    while (it.hasNext()) {
        const auto match = it.next();
        rect = QRect(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt(), match.captured(4).toInt());
    }
    return rect;
}

bool processAlive(qint64 pid)
{
    return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

} // namespace

// The built program on an X server with a system tray, driven with the mouse as a user would.
class TestTrayProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rightClickShowsTheMenuAndExitQuits();
    void closingTheSettingsWindowKeepsTheAppRunning();
    void updateRestartsIntoOneNewProcess();
    void quittingDuringAnUpdateLeavesTheToolRunning();

private:
    std::unique_ptr<LumoraProcess> startApp(const QHash<QString, QString>& variables = {});
    // Logical coordinates of the app (it runs with its stored scale factor) to the screen's.
    QPoint physical(const QPoint& logical) const;
    void rightClickIcon();
    // Opens the menu and clicks its entry (0 "设置", 1 "退出").
    void chooseMenuEntry(LumoraProcess& app, int entry);
    QList<qint64> ourLumoraProcesses() const;

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<XDesktop> desktop;
    QRect icons;
    double scale = 1.0;
};

void TestTrayProcess::initTestCase()
{
    if (!XDesktop::available())
        QSKIP("needs an X display (xvfb-run), trayer and xdotool");
    qputenv("LUMORA_SERVICE_URL", "http://127.0.0.1:9");
    qputenv("LUMORA_ENGINE_URL", "http://127.0.0.1:9");
    desktop = std::make_unique<XDesktop>();
    QVERIFY(desktop->startTrayHost());
}

void TestTrayProcess::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    // The first start may store the scale the screen wants and end; the next one runs with it.
    auto once = startApp();
    QVERIFY(once->waitForOutput(ScaleChanged) || once->waitForOutput(Ready));
    once.reset();
    QFile config(env->configHome() + QStringLiteral("/lumora/configs/config.json"));
    QVERIFY(config.open(QIODevice::ReadOnly));
    scale = QJsonDocument::fromJson(config.readAll())
                .object()
                .value(QStringLiteral("Scale"))
                .toDouble(1.0);
}

void TestTrayProcess::cleanup()
{
    for (const qint64 pid : ourLumoraProcesses())
        ::kill(pid_t(pid), SIGKILL);
    env.reset();
}

std::unique_ptr<LumoraProcess> TestTrayProcess::startApp(const QHash<QString, QString>& variables)
{
    auto app = std::make_unique<LumoraProcess>();
    app->setVariable(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // In sanitizer runs: the X keyboard library hands strndup() buffers without a terminator,
    // which the strict string checks report; the app's own code is checked all the same.
    const QString sanitizer = qEnvironmentVariable("ASAN_OPTIONS");
    if (!sanitizer.isEmpty())
        app->setVariable(QStringLiteral("ASAN_OPTIONS"),
                         sanitizer + QStringLiteral(":strict_string_checks=0"));
    for (auto it = variables.cbegin(); it != variables.cend(); ++it)
        app->setVariable(it.key(), it.value());
    [&] { QVERIFY(app->start()); }();
    return app;
}

QPoint TestTrayProcess::physical(const QPoint& logical) const
{
    return {qRound(logical.x() * scale), qRound(logical.y() * scale)};
}

void TestTrayProcess::rightClickIcon()
{
    icons = desktop->dockedIcons();
    QVERIFY2(icons.isValid(), "the tray icon never docked in the tray host");
    QVERIFY(XDesktop::click(icons.center(), Right));
}

void TestTrayProcess::chooseMenuEntry(LumoraProcess& app, int entry)
{
    const int before = app.output().count(MenuOpened);
    rightClickIcon();
    QTRY_VERIFY_WITH_TIMEOUT(app.output().count(MenuOpened) > before, 10000);
    const QRect menu = loggedRect(app.output(), MenuOpened);
    QVERIFY(menu.isValid());
    // Rows of 32 with 6 between them, 6 from the menu's edge.
    const QPoint row(menu.x() + menu.width() / 2, menu.y() + 6 + 16 + entry * 38);
    QVERIFY(XDesktop::click(physical(row), Left));
}

// Processes of the built program that run with this test's home folder.
namespace {

qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // "pid (comm) state ppid ...": the command may hold spaces and brackets, the last ')' ends it.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

} // namespace

QList<qint64> TestTrayProcess::ourLumoraProcesses() const
{
    QList<qint64> found;
    if (!env)
        return found;
    const QString program = QFileInfo(QStringLiteral(LUMORA_PATH)).canonicalFilePath();
    const QByteArray home = "HOME=" + QFile::encodeName(env->path(QStringLiteral("home")));
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric
            || QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() != program)
            continue;
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(home))
            found << pid;
    }
    // A child that one of them forked to start a helper program still shows our executable
    // until it execs: it is not a Lumora process of its own.
    QList<qint64> own;
    for (const qint64 pid : found) {
        if (!found.contains(parentOf(pid)))
            own << pid;
    }
    return own;
}

void TestTrayProcess::rightClickShowsTheMenuAndExitQuits()
{
    auto app = startApp();
    QVERIFY2(app->waitForOutput(Ready), qPrintable(app->output()));
    chooseMenuEntry(*app, 1);
    QCOMPARE(app->waitForExit(), 0);
}

// The chat window is hidden all along: the settings window is the last visible window, and
// closing it must not end the app.
void TestTrayProcess::closingTheSettingsWindowKeepsTheAppRunning()
{
    auto app = startApp();
    QVERIFY2(app->waitForOutput(Ready), qPrintable(app->output()));
    chooseMenuEntry(*app, 0);
    QVERIFY2(app->waitForOutput(SettingsShown), qPrintable(app->output()));
    const QRect settings = loggedRect(app->output(), SettingsShown);
    // The close button: 18 by 18, 20 from the right, in the heading row 53 below the top.
    QVERIFY(
        XDesktop::click(physical(settings.topLeft() + QPoint(settings.width() - 29, 68)), Left));
    QVERIFY2(app->waitForOutput(SettingsClosed), qPrintable(app->output()));

    // Still there: the tray answers again, and "退出" ends it normally.
    chooseMenuEntry(*app, 1);
    QCOMPARE(app->waitForExit(), 0);
}

// With an update and a successful updater the app quits and starts again: exactly one new
// process, which is the running instance (a further start hands over to it and ends).
namespace {

QString describe(const QList<qint64>& running, qint64 expected)
{
    QStringList pids;
    for (const qint64 pid : running)
        pids << QString::number(pid);
    return QStringLiteral("running: [%1], expected only %2")
        .arg(pids.join(QLatin1Char(',')))
        .arg(expected);
}

} // namespace

void TestTrayProcess::updateRestartsIntoOneNewProcess()
{
    const QString log = env->path(QStringLiteral("maintenance.log"));
    auto app = startApp({{QStringLiteral("LUMORA_MAINTENANCE_SCENARIO"), QStringLiteral("update")},
                         {QStringLiteral("LUMORA_MAINTENANCE_LOG"), log}});
    QVERIFY2(app->waitForOutput(Ready), qPrintable(app->output()));
    const qint64 oldPid = app->processId();
    chooseMenuEntry(*app, 0);
    QVERIFY2(app->waitForOutput(SettingsShown), qPrintable(app->output()));
    const QRect settings = loggedRect(app->output(), SettingsShown);
    // "检查更新": 80 by 28, 30 from the right, centred in the version panel 87 below the top.
    QVERIFY(
        XDesktop::click(physical(settings.topLeft() + QPoint(settings.width() - 70, 111)), Left));
    QVERIFY2(app->waitForOutput(Restarting), qPrintable(app->output().right(800)));
    QCOMPARE(app->waitForExit(), 0);

    const QRegularExpression pidPattern(QRegularExpression::escape(Restarting)
                                        + QStringLiteral(R"( (-?\d+))"));
    const qint64 newPid = pidPattern.match(app->output()).captured(1).toLongLong();
    QVERIFY(newPid > 0);
    QVERIFY(newPid != oldPid);
    // The old process may still be on its way out, and the new one may still be a fork in the
    // middle of starting: wait until exactly the new one is left.
    QTRY_VERIFY2_WITH_TIMEOUT(ourLumoraProcesses() == QList<qint64> {newPid},
                              qPrintable(describe(ourLumoraProcesses(), newPid)), 20000);

    QFile runs(log);
    QVERIFY(runs.open(QIODevice::ReadOnly));
    QCOMPARE(runs.readAll(), QByteArray("--checkupdates\n--updater\n"));

    // The new process holds the instance: another start only wakes it and ends.
    auto later = startApp();
    QCOMPARE(later->waitForExit(), 0);
    QVERIFY(!later->output().contains(Ready));
    QVERIFY(processAlive(newPid));
    QCOMPARE(ourLumoraProcesses(), QList<qint64> {newPid});
}

// An installer asks the user to quit the program it updates: quitting must not end the tool,
// which goes on writing its progress after the program is gone.
void TestTrayProcess::quittingDuringAnUpdateLeavesTheToolRunning()
{
    const QString log = env->path(QStringLiteral("maintenance.log"));
    auto app =
        startApp({{QStringLiteral("LUMORA_MAINTENANCE_SCENARIO"), QStringLiteral("updater-slow")},
                  {QStringLiteral("LUMORA_MAINTENANCE_UPDATER_MS"), QStringLiteral("3000")},
                  {QStringLiteral("LUMORA_MAINTENANCE_LOG"), log}});
    QVERIFY2(app->waitForOutput(Ready), qPrintable(app->output()));
    chooseMenuEntry(*app, 0);
    QVERIFY2(app->waitForOutput(SettingsShown), qPrintable(app->output()));
    const QRect settings = loggedRect(app->output(), SettingsShown);
    QVERIFY(
        XDesktop::click(physical(settings.topLeft() + QPoint(settings.width() - 70, 111)), Left));
    const auto runs = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QTRY_VERIFY_WITH_TIMEOUT(runs().contains(QStringLiteral("--updater")), 20000);
    chooseMenuEntry(*app, 1);
    QCOMPARE(app->waitForExit(), 0);
    QVERIFY(!runs().contains(QStringLiteral("installed")));
    QTRY_COMPARE_WITH_TIMEOUT(runs(), QStringLiteral("--checkupdates\n--updater\ninstalled\n"),
                              20000);
    // Nobody restarted the program.
    QCOMPARE(ourLumoraProcesses(), QList<qint64>());
}

QTEST_GUILESS_MAIN(TestTrayProcess)
#include "tst_trayprocess.moc"
