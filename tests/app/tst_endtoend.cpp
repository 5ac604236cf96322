#include "aikeyfixture.h"
#include "x11desktop.h"

#include "chat/chathistorystore.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QtTest>

namespace {

const QString AiKeyboard = QStringLiteral("Orvik Z19 AI");
const QString AiSerial = QStringLiteral("SN-AI-E2E-1");
const QString Question = QStringLiteral("What can Lumora do for me?");
// The stand-in's answer ends with this line; it is in the file once the answer is complete.
const QString AnswerEnd = QStringLiteral("以上内容由演示服务生成");
constexpr int BarWidth = 576;
constexpr int ChatHeight = 42 + 594 + 5; // input box, chat panel and the gap between them

// The window-relative point as xdotool arguments: move there and click.
QStringList clickAt(quint32 window, const QPoint& point)
{
    return {QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
            QString::number(point.x()),  QString::number(point.y()), QStringLiteral("click"),
            QStringLiteral("1")};
}

QByteArray screenPixels()
{
    QProcess grab;
    grab.start(QStringLiteral("import"),
               {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("ppm:-")});
    grab.waitForFinished(20000);
    return grab.readAllStandardOutput();
}

// A streamed answer keeps the screen changing for a while; the picture is taken once two
// grabs in a row agree.
bool waitForStillScreen(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray previous = screenPixels();
    while (!deadline.hasExpired()) {
        QTest::qWait(200);
        const QByteArray current = screenPixels();
        if (!current.isEmpty() && current == previous)
            return true;
        previous = current;
    }
    return false;
}

} // namespace

// The main job, as a user does it: the program runs hidden, the keyboard is plugged in, the
// AI key brings up the chat bar, a question is typed and sent, the answer streams into the
// chat panel and lands in the history files.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void askAQuestionWithTheAiKey();

private:
    AiKeyFixture fixture;
};

void TestEndToEnd::init()
{
    QVERIFY2(fixture.start(), qPrintable(fixture.error()));
}

void TestEndToEnd::cleanup()
{
    fixture.stop();
}

void TestEndToEnd::askAQuestionWithTheAiKey()
{
    const qint64 pid = fixture.app().processId();
    QVERIFY(fixture.plugKeyboard(AiKeyboard, AiSerial));
    QVERIFY(X11Desktop::visibleWindowOfWidth(pid, BarWidth).id == 0);

    // The AI key, pressed while nothing of ours has the focus.
    QVERIFY(X11Desktop::xdotool({QStringLiteral("key"), QStringLiteral("198")}));
    X11Desktop::Window bar;
    QTRY_VERIFY_WITH_TIMEOUT((bar = X11Desktop::visibleWindowOfWidth(pid, BarWidth)).id != 0,
                             10000);
    QVERIFY2(fixture.app().waitForOutput(QStringLiteral("useCount")),
             qPrintable(fixture.app().output()));

    // Click into the input box, type, and press the send button.
    const int inputLeft = 42 + 8;
    const int middle = bar.geometry.height() - 42 / 2;
    QVERIFY(X11Desktop::xdotool(clickAt(bar.id, QPoint(inputLeft + 150, middle))));
    QVERIFY(X11Desktop::xdotool(
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), Question}));
    const QPoint sendButton(BarWidth - 6 - 34 / 2, bar.geometry.height() - 4 - 34 / 2);
    QVERIFY(X11Desktop::xdotool(clickAt(bar.id, sendButton)));

    // The chat panel opens above the bar.
    X11Desktop::Window chat;
    QTRY_VERIFY_WITH_TIMEOUT(
        (chat = X11Desktop::visibleWindowOfWidth(pid, BarWidth)).geometry.height() == ChatHeight,
        10000);

    // The streamed answer completes: it is stored and reported for counting.
    const ChatHistoryStore store(fixture.environment().dataHome() + QStringLiteral("/lumora"));
    const QString fileName = fixture.waitForStoredAnswer(AnswerEnd, AiSerial, 50000);
    QVERIFY2(!fileName.isEmpty(), "no answer stored and counted");

    const ChatHistoryStore::Conversation conversation = store.loadConversation(fileName);
    QCOMPARE(conversation.messages.first().sender, 0);
    QCOMPARE(conversation.messages.first().content, Question);
    QCOMPARE(conversation.messages.last().sender, 1);
    QVERIFY(conversation.messages.last().content.contains(Question)); // "关于「question」"
    QCOMPARE(store.loadIndex().first().title, Question);

    QVERIFY(waitForStillScreen(20000));
    const QString picture = QStringLiteral(LUMORA_BUILD_DIR "/e2e-answered-chat.png");
    QVERIFY(X11Desktop::screenshot(picture));
    qInfo() << "screenshot of the answered chat:" << picture;

    QVERIFY(X11Desktop::requestClose(chat.id));
    const int exitCode = fixture.app().waitForExit();
    QVERIFY2(exitCode == 0, qPrintable(fixture.app().output()));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
