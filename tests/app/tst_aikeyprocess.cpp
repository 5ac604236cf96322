#include "aikeyfixture.h"
#include "core/logredaction.h"
#include "x11desktop.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

const QString AiKeyboard = QStringLiteral("Orvik Z19 AI");
const QString AiSerial = QStringLiteral("SN-AI-0001");
const QString DesktopKey = QStringLiteral("AI key pressed on the desktop");
constexpr int CollapsedWidth = 576;

// What the program logs for a press on the active bar; built when used, as the redaction has
// constants of its own that may not exist yet while this file's are made.
QString putAway()
{
    return QStringLiteral("AI key of keyboard %1 on the active chat bar: the bar put away")
        .arg(LogRedaction::serial(AiSerial));
}

bool pressAiKey()
{
    return X11Desktop::xdotool({QStringLiteral("key"), QStringLiteral("198")});
}

} // namespace

// The built program on an X desktop: F20 pressed anywhere raises the chat bar for the
// connected AI keyboard, once per press, and closing the bar ends the program.
class TestAiKeyProcess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void onePressOneRequest();
    void holdingTheKeyIsOnePress();
    void withoutAiKeyboardNothingHappens();
    void dragWithTheMouse_data();
    void dragWithTheMouse();
    void closingEndsTheProgram();

private:
    void expectPressesSoFar(int presses);

    AiKeyFixture fixture;
};

void TestAiKeyProcess::init()
{
    QVERIFY2(fixture.start(), qPrintable(fixture.error()));
}

void TestAiKeyProcess::cleanup()
{
    fixture.stop();
}

// Another press is the marker: X delivers in order and the program logs each press before it
// acts on it. The bar is up and active by then, so the marker puts it away (and says so) and
// asks nothing: by then every earlier key event has been logged and acted on.
void TestAiKeyProcess::expectPressesSoFar(int presses)
{
    const int before = fixture.outputLines(putAway());
    QVERIFY(pressAiKey());
    QTRY_COMPARE_WITH_TIMEOUT(fixture.outputLines(putAway()), before + 1, 10000);
    QCOMPARE(fixture.outputLines(DesktopKey), presses + 1);
    QCOMPARE(fixture.countRequestsFor(AiSerial), presses);
}

void TestAiKeyProcess::onePressOneRequest()
{
    QVERIFY(fixture.plugKeyboard(AiKeyboard, AiSerial));
    QVERIFY(X11Desktop::visibleWindowOfWidth(fixture.app().processId(), CollapsedWidth).id == 0);

    QVERIFY(pressAiKey());
    QTRY_COMPARE_WITH_TIMEOUT(fixture.countRequestsFor(AiSerial), 1, 10000);
    QTRY_VERIFY(X11Desktop::visibleWindowOfWidth(fixture.app().processId(), CollapsedWidth).id
                != 0);
    expectPressesSoFar(1);
}

void TestAiKeyProcess::holdingTheKeyIsOnePress()
{
    QVERIFY(fixture.plugKeyboard(AiKeyboard, AiSerial));
    QElapsedTimer held;
    QVERIFY(X11Desktop::xdotool({QStringLiteral("keydown"), QStringLiteral("198")}));
    held.start();
    QTRY_COMPARE_WITH_TIMEOUT(fixture.countRequestsFor(AiSerial), 1, 10000);
    // A hold is a matter of time: a second with the key down, the auto-repeat running.
    while (held.elapsed() < 1000)
        QTest::qWait(int(qMax<qint64>(1, 1000 - held.elapsed())));
    QVERIFY(X11Desktop::xdotool({QStringLiteral("keyup"), QStringLiteral("198")}));
    expectPressesSoFar(1);
}

void TestAiKeyProcess::withoutAiKeyboardNothingHappens()
{
    QVERIFY(fixture.plugKeyboard(QStringLiteral("Orvik Z19"), QStringLiteral("SN-PLAIN-1")));
    QVERIFY(pressAiKey());
    QVERIFY(fixture.app().waitForOutput(QStringLiteral("no keyboard with an AI key")));
    QCOMPARE(fixture.standIn().requestCount(QStringLiteral("/v1/ai/api/getCount")), 0);
    QVERIFY(X11Desktop::visibleWindowOfWidth(fixture.app().processId(), CollapsedWidth).id == 0);
}

void TestAiKeyProcess::dragWithTheMouse_data()
{
    QTest::addColumn<QPoint>("from"); // window-local
    QTest::addColumn<bool>("moves");
    QTest::newRow("by the round icon") << QPoint(20, 45) << true;
    QTest::newRow("by the input box") << QPoint(200, 45) << false;
}

// Real pointer events through the X server: the window follows the mouse from the icon, and
// stays put from anywhere else.
void TestAiKeyProcess::dragWithTheMouse()
{
    QFETCH(QPoint, from);
    QFETCH(bool, moves);
    QVERIFY(fixture.plugKeyboard(AiKeyboard, AiSerial));
    QVERIFY(pressAiKey());
    const qint64 pid = fixture.app().processId();
    X11Desktop::Window bar;
    QTRY_VERIFY((bar = X11Desktop::visibleWindowOfWidth(pid, CollapsedWidth)).id != 0);
    QVERIFY(fixture.app().waitForOutput(QStringLiteral("useCount")));
    bar = X11Desktop::visibleWindowOfWidth(pid, CollapsedWidth);
    const QRect before = bar.geometry;
    const QPoint delta(-120, -90);

    const QPoint start = before.topLeft() + from;
    QVERIFY(X11Desktop::xdotool({QStringLiteral("mousemove"), QString::number(start.x()),
                                 QString::number(start.y()), QStringLiteral("mousedown"),
                                 QStringLiteral("1")}));
    for (int step = 1; step <= 6; ++step) {
        const QPoint at = start + delta * step / 6;
        QVERIFY(X11Desktop::xdotool(
            {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())}));
    }
    QVERIFY(X11Desktop::xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));

    const QRect expected = moves ? before.translated(delta) : before;
    QTRY_COMPARE(X11Desktop::visibleWindowOfWidth(pid, CollapsedWidth).geometry, expected);
}

void TestAiKeyProcess::closingEndsTheProgram()
{
    QVERIFY(fixture.plugKeyboard(AiKeyboard, AiSerial));
    QVERIFY(pressAiKey());
    X11Desktop::Window chat;
    QTRY_VERIFY(
        (chat = X11Desktop::visibleWindowOfWidth(fixture.app().processId(), CollapsedWidth)).id
        != 0);
    QVERIFY(X11Desktop::requestClose(chat.id));
    const int exitCode = fixture.app().waitForExit();
    QVERIFY2(exitCode == 0, qPrintable(fixture.app().output()));
}

QTEST_GUILESS_MAIN(TestAiKeyProcess)
#include "tst_aikeyprocess.moc"
