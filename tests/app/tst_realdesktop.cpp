#include "aikeyfixture.h"
#include "x11desktop.h"

#include "chat/chathistorystore.h"
#include "support/fakesysfs.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QtTest>

namespace {

const QString AiSerial = QStringLiteral("SN-SYSFS-E2E-7");
const QString PlainSerial = QStringLiteral("SN-PLAIN-E2E-3");
const QString Question = QStringLiteral("Which keyboard am I typing on?");
const QString SecondQuestion = QStringLiteral("And once more, after another program had the focus");
// The stand-in's answer ends with this line; it is in the file once the answer is complete.
const QString AnswerEnd = QStringLiteral("以上内容由演示服务生成");
constexpr int BarWidth = 576;
constexpr int ChatHeight = 641;

// The same part of the screen for both pictures: the open chat and a margin around it.
bool savePicture(const QString& name, const QRect& bar)
{
    const QString folder = qEnvironmentVariableIsSet("LUMORA_SCREENSHOT_DIR")
        ? qEnvironmentVariable("LUMORA_SCREENSHOT_DIR")
        : QStringLiteral(LUMORA_BUILD_DIR);
    const QString whole = folder + QStringLiteral("/whole-") + name;
    if (!X11Desktop::screenshot(whole))
        return false;
    const QRect region(bar.x() - 48, bar.bottom() + 1 - ChatHeight - 24, bar.width() + 96,
                       ChatHeight + 24 + 48);
    const QImage picture = QImage(whole).copy(region);
    QFile::remove(whole);
    qInfo() << "picture:" << folder + QLatin1Char('/') + name;
    return !picture.isNull() && picture.save(folder + QLatin1Char('/') + name);
}

int sentQuestions(const ChatHistoryStore& store, const QString& question)
{
    int found = 0;
    for (const ChatHistoryStore::IndexEntry& entry : store.loadIndex()) {
        for (const auto& message : store.loadConversation(entry.fileName).messages)
            found += message.sender == 0 && message.content == question ? 1 : 0;
    }
    return found;
}

} // namespace

// A user's desktop: a window manager (openbox, with its focus-stealing prevention), the
// keyboards the system lists (a fake sysfs tree under LUMORA_SYSFS_ROOT, no simulator), the AI
// key's F20 from the X server. The key brings up the bar with the keyboard focus, the question
// typed at once goes out with Ctrl+Enter under the keyboard's serial, and the bar stays where
// it is when the answer opens the panel above it.
class TestRealDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void aiKeyOfTheSystemsKeyboard();

private:
    QProcess windowManager;
    std::unique_ptr<FakeSysfs> sysfs;
    AiKeyFixture fixture;
};

void TestRealDesktop::initTestCase()
{
    windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    QVERIFY2(windowManager.waitForStarted(10000),
             "openbox did not start (scripts/setup installs it)");
    // Asked seldom: a connection made while the window manager starts waits for it.
    const QDeadlineTimer deadline(20000);
    bool running = false;
    while (!(running = X11Desktop::windowManagerRunning()) && !deadline.hasExpired())
        QTest::qWait(500);
    QVERIFY2(running, "openbox did not take over the display");
}

void TestRealDesktop::cleanupTestCase()
{
    windowManager.terminate();
    if (!windowManager.waitForFinished(5000))
        windowManager.kill();
}

void TestRealDesktop::init()
{
    sysfs = std::make_unique<FakeSysfs>();
    QVERIFY(sysfs->isValid());
    qputenv("LUMORA_SYSFS_ROOT", sysfs->root().toUtf8());
    fixture.setSimulatedKeyboards(false);
    QVERIFY2(fixture.start(), qPrintable(fixture.error()));
}

void TestRealDesktop::cleanup()
{
    fixture.stop();
    qunsetenv("LUMORA_SYSFS_ROOT");
    sysfs.reset();
}

void TestRealDesktop::aiKeyOfTheSystemsKeyboard()
{
    const qint64 pid = fixture.app().processId();
    QVERIFY(!fixture.app().output().contains(QStringLiteral("Device control socket")));

    // Plugged while the program runs: a keyboard without the AI key, then one with it.
    FakeSysfs::Keyboard plain;
    plain.name = QStringLiteral("Orvik Z19 AI"); // its name says AI; its keys do not
    plain.serial = PlainSerial;
    plain.aiKey = false;
    sysfs->plug(plain);
    FakeSysfs::Keyboard keyboard;
    keyboard.name = QStringLiteral("Orvik Z46");
    keyboard.serial = AiSerial;
    keyboard.interfaces = 2;
    sysfs->plug(keyboard);
    QVERIFY2(fixture.app().waitForOutput(QStringLiteral("Device list: 1 device(s)")),
             qPrintable(fixture.app().output()));

    // The AI key, then the question typed at once: no click, no focus command.
    QVERIFY(X11Desktop::xdotool({QStringLiteral("key"), QStringLiteral("198")}));
    X11Desktop::Window bar;
    QTRY_VERIFY_WITH_TIMEOUT((bar = X11Desktop::visibleWindowOfWidth(pid, BarWidth)).id != 0,
                             10000);
    QCOMPARE(bar.geometry.height(), 66);
    QTRY_VERIFY_WITH_TIMEOUT(
        X11Desktop::isAncestorOrSelf(X11Desktop::focusedWindow(), bar.id)
            || X11Desktop::isAncestorOrSelf(bar.id, X11Desktop::focusedWindow()),
        10000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.countRequestsFor(AiSerial), 1, 10000);
    QVERIFY(fixture.app().waitForOutput(QStringLiteral("useCount")));
    QVERIFY(X11Desktop::xdotool(
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), Question}));
    QVERIFY(savePicture(QStringLiteral("openbox-bar-before-the-answer.png"), bar.geometry));
    QVERIFY(X11Desktop::xdotool({QStringLiteral("key"), QStringLiteral("ctrl+Return")}));

    // The answer opens the panel above the bar; the bar has not moved.
    X11Desktop::Window chat;
    QTRY_VERIFY_WITH_TIMEOUT(
        (chat = X11Desktop::visibleWindowOfWidth(pid, BarWidth)).geometry.height() == ChatHeight,
        10000);
    QCOMPARE(chat.geometry.x(), bar.geometry.x());
    QCOMPARE(chat.geometry.bottom(), bar.geometry.bottom());

    const ChatHistoryStore store(fixture.environment().dataHome() + QStringLiteral("/lumora"));
    const QString fileName = fixture.waitForStoredAnswer(AnswerEnd, AiSerial, 50000);
    QVERIFY2(!fileName.isEmpty(), "no answer stored and counted");
    QCOMPARE(store.loadConversation(fileName).messages.first().content, Question);
    QTest::qWait(500); // the last catch-up of the streamed text
    QVERIFY(savePicture(QStringLiteral("openbox-chat-after-the-answer.png"), bar.geometry));

    // Another program takes the focus (a click into it); the AI key takes it back.
    X11Desktop::OtherProgram other(QRect(40, 40, 300, 200));
    QTRY_VERIFY_WITH_TIMEOUT(
        X11Desktop::xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"),
                             QString::number(other.window()), QStringLiteral("20"),
                             QStringLiteral("20"), QStringLiteral("click"), QStringLiteral("1")}),
        5000);
    QTRY_VERIFY_WITH_TIMEOUT(
        X11Desktop::isAncestorOrSelf(X11Desktop::focusedWindow(), other.window())
            || X11Desktop::isAncestorOrSelf(other.window(), X11Desktop::focusedWindow()),
        10000);
    QVERIFY(X11Desktop::xdotool({QStringLiteral("key"), QStringLiteral("198")}));
    QTRY_COMPARE_WITH_TIMEOUT(fixture.countRequestsFor(AiSerial), 2, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(X11Desktop::visibleWindowOfWidth(pid, BarWidth).id != 0, 10000);
    QVERIFY(X11Desktop::xdotool(
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), SecondQuestion}));
    QVERIFY(X11Desktop::xdotool({QStringLiteral("key"), QStringLiteral("ctrl+Return")}));
    QTRY_COMPARE_WITH_TIMEOUT(sentQuestions(store, SecondQuestion), 1, 20000);

    // The keyboard without the AI key never named a request.
    QCOMPARE(fixture.countRequestsFor(PlainSerial), 0);
    QCOMPARE(fixture.standIn().requestCount(QStringLiteral("/v1/ai/api/addCount"), PlainSerial), 0);

    const X11Desktop::Window last = X11Desktop::visibleWindowOfWidth(pid, BarWidth);
    QVERIFY(last.id != 0);
    QVERIFY(X11Desktop::requestClose(last.id));
    QCOMPARE(fixture.app().waitForExit(), 0);
}

QTEST_GUILESS_MAIN(TestRealDesktop)
#include "tst_realdesktop.moc"
