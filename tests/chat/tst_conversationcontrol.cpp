#include "managerfixture.h"

#include "chat/deepseekhandler.h"
#include "chat/dialoginfomodel.h"
#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "service/ovseverhandler.h"

#include <QTextDocument>
#include <QtTest>

namespace {

const QString Placeholder = QStringLiteral("Generating response...");
const QString ServerBusy = QStringLiteral("The server is busy, please try again later.");
const QString Stopped = QStringLiteral("The answer was stopped.");
const QString Refusal = QStringLiteral(
    "I'm sorry, I can't provide this information. If you have any other questions or need "
    "help with anything else, I\u2019d be happy to assist!:)");

QString plainText(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

} // namespace

// Stopping an answer and keeping what arrived when the stream fails, through the manager
// against the stand-in engine.
class TestConversationControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void stopKeepsWhatArrived();
    void stopBeforeAnyAnswerText_data();
    void stopBeforeAnyAnswerText();
    void stopWithNothingRunningDoesNothing();
    void failureKeepsWhatArrived_data();
    void failureKeepsWhatArrived();
    void refusalWithdrawsWhatArrived();

private:
    // Sends the question and waits until some answer text is shown while it still runs.
    void askUntilTextArrives(const QString& question);
    // Asks a short question and waits for its usage reply: every count request sent before
    // it has been answered by then.
    void askShortAndWaitForCount();
    DialogManager* manager() const { return fixture.manager(); }
    QString answerShown() const { return manager()->dialogModel()->contentAt(1); }

    ManagerFixture fixture;
};

void TestConversationControl::initTestCase()
{
    QVERIFY(fixture.startServer(2));
}

void TestConversationControl::init()
{
    fixture.init(QStringLiteral("SN-%1-%2")
                     .arg(QString::fromLatin1(QTest::currentTestFunction()))
                     .arg(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(fixture.makeManager());
}

void TestConversationControl::cleanup()
{
    fixture.cleanup();
}

void TestConversationControl::askUntilTextArrives(const QString& question)
{
    manager()->sendMessage(question);
    QVERIFY(manager()->answering());
    QTRY_VERIFY_WITH_TIMEOUT(
        !plainText(answerShown()).trimmed().isEmpty() && answerShown() != Placeholder, 15000);
    QVERIFY(manager()->answering());
}

void TestConversationControl::askShortAndWaitForCount()
{
    QSignalSpy counted(fixture.service(), &OvSeverHandler::sigAICountValue);
    manager()->dialogModel()->clearAll();
    manager()->sendMessage(QStringLiteral("Short one [fault:short]"));
    QTRY_VERIFY_WITH_TIMEOUT(manager()->responseGenerated(), 15000);
    QVERIFY(counted.wait(10000));
}

void TestConversationControl::stopKeepsWhatArrived()
{
    const int closedBefore = fixture.heldStreamsClosed();
    QSignalSpy answering(manager(), &DialogManager::answeringChanged);
    askUntilTextArrives(QStringLiteral("Explain it all [fault:hold]"));

    manager()->stopGeneration();
    QVERIFY(!manager()->answering());
    QVERIFY(manager()->responseGenerated());
    QCOMPARE(answering.count(), 2);
    const QString kept = answerShown();
    QVERIFY(kept.contains(QLatin1String("<html>")));
    QVERIFY(!plainText(kept).contains(ServerBusy));
    QVERIFY(!plainText(kept).contains(Stopped));
    const auto stored = fixture.storedMessages();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(1).sender, 1);
    QCOMPARE(stored.at(1).content, kept);
    // The engine saw the connection close; it was holding the rest of the answer.
    QTRY_COMPARE_WITH_TIMEOUT(fixture.heldStreamsClosed(), closedBefore + 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.usedCount(), 1, 10000);

    // Stopping again, or late data of the closed stream, changes nothing.
    manager()->stopGeneration();
    emit manager()->providerClient()->receivedStreamingData(QStringLiteral("late"), QString(),
                                                            true);
    QCOMPARE(answerShown(), kept);
    QCOMPARE(fixture.storedMessages().size(), 2);
    QCOMPARE(answering.count(), 2);
    askShortAndWaitForCount();
    QCOMPARE(fixture.usedCount(), 2); // the stopped answer once, the short one once
}

void TestConversationControl::stopBeforeAnyAnswerText_data()
{
    QTest::addColumn<QString>("reasoning");
    QTest::newRow("nothing arrived") << QString();
    QTest::newRow("only reasoning") << QStringLiteral("Thinking it **over**");
}

// Without answer text the row says the answer was stopped, keeps any reasoning, and nothing
// is counted.
void TestConversationControl::stopBeforeAnyAnswerText()
{
    QFETCH(QString, reasoning);
    // The engine echoes the question, then says nothing.
    manager()->sendMessage(QStringLiteral("Hello? [fault:stall]"));
    if (!reasoning.isEmpty()) {
        emit manager()->providerClient()->receivedStreamingData(QString(), reasoning, false);
        QVERIFY(manager()->dialogModel()->items().at(1).reasoningContent.contains(
            QLatin1String("over")));
    }
    manager()->stopGeneration();

    QVERIFY(manager()->responseGenerated());
    QVERIFY(!manager()->answering());
    QCOMPARE(manager()->dialogModel()->rowCount(), 2);
    QCOMPARE(answerShown(), Stopped);
    const QString shownReasoning = manager()->dialogModel()->items().at(1).reasoningContent;
    QCOMPARE(shownReasoning.isEmpty(), reasoning.isEmpty());
    const auto stored = fixture.storedMessages();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(1).content, Stopped);
    QCOMPARE(stored.at(1).reasoningContent, shownReasoning);
    askShortAndWaitForCount();
    QCOMPARE(fixture.usedCount(), 1); // only the short answer
}

void TestConversationControl::stopWithNothingRunningDoesNothing()
{
    QSignalSpy answering(manager(), &DialogManager::answeringChanged);
    manager()->stopGeneration();
    QCOMPARE(manager()->dialogModel()->rowCount(), 0);
    QCOMPARE(manager()->dialogInfoModel()->rowCount(), 0);
    QCOMPARE(answering.count(), 0);

    askShortAndWaitForCount();
    const QString answer = answerShown();
    manager()->stopGeneration();
    QCOMPARE(answerShown(), answer);
    QCOMPARE(fixture.storedMessages().size(), 2);
    QVERIFY(manager()->responseGenerated());
}

void TestConversationControl::failureKeepsWhatArrived_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("stallTimeoutMs"); // 0: the stream fails by itself
    QTest::newRow("connection cut") << QStringLiteral("cut") << 0;
    QTest::newRow("stalled after half") << QStringLiteral("hold") << 500;
    QTest::newRow("transport error") << QStringLiteral("hold") << -1; // reported by hand
    QTest::newRow("error event after half") << QStringLiteral("late-error") << 0;
}

// The part that arrived stays, the error follows as a paragraph of its own; shown, stored,
// not counted.
void TestConversationControl::failureKeepsWhatArrived()
{
    QFETCH(QString, fault);
    QFETCH(int, stallTimeoutMs);
    DeepSeekHandler* provider = manager()->providerClient();
    if (stallTimeoutMs > 0)
        provider->setStallTimeout(stallTimeoutMs);
    askUntilTextArrives(QStringLiteral("Long story [fault:%1]").arg(fault));
    if (stallTimeoutMs < 0)
        emit provider->error(DeepSeekHandler::ServerBusy);
    QTRY_VERIFY_WITH_TIMEOUT(manager()->responseGenerated(), 15000);

    const QString shown = answerShown();
    const QString text = plainText(shown).trimmed();
    QVERIFY2(text.endsWith(QLatin1Char('\n') + ServerBusy), qPrintable(text));
    QVERIFY(text.size() > ServerBusy.size() + 10); // the part that arrived is still there
    QVERIFY(!manager()->answering());
    const auto stored = fixture.storedMessages();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(1).content, shown);
    if (stallTimeoutMs < 0)
        provider->abort();
    QCOMPARE(fixture.usedCount(), 0);
}

void TestConversationControl::refusalWithdrawsWhatArrived()
{
    askUntilTextArrives(QStringLiteral("Something [fault:hold]"));
    emit manager()->providerClient()->error(DeepSeekHandler::Refused);
    QVERIFY(manager()->responseGenerated());
    QCOMPARE(answerShown(), Refusal);
    QCOMPARE(fixture.storedMessages().at(1).content, Refusal);
    manager()->providerClient()->abort();
}

QTEST_MAIN(TestConversationControl)
#include "tst_conversationcontrol.moc"
