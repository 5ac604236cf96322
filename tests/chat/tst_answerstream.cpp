#include "chat/answerstream.h"
#include "chat/markdownrenderer.h"
#include "chat/streamingmarkdownrenderer.h"
#include "support/randommarkdown.h"

#include <QSignalSpy>
#include <QtTest>

// What an answer ends as, on screen and in the file, must be what its final text gives when it
// is converted whole, however the stream happened to be cut.
class TestAnswerStream : public QObject
{
    Q_OBJECT

private slots:
    void randomAnswersEndAsTheirOneShotConversion();
    void aResultOfAnEarlierAnswerIsDropped();
    void flushDeliversTheResultAtOnce();
    void thoughtAndReplyEventsReplaceTheirOwnPart();
};

namespace {

struct Outcome
{
    QString lastShown; // the answer as the streaming conversion left it
    QString finished;
    QString finishedReasoning;
};

// Streams text in the given cuts, with a reasoning streamed before it, and waits for the end.
// The events come faster than the stream shows them, so the streaming conversion of every cut
// is taken beside it.
Outcome stream(AnswerStream& answers, const QString& text, const QVector<int>& cuts,
               const QString& reasoning)
{
    Outcome outcome;
    StreamingMarkdownRenderer streaming;
    QSignalSpy finished(&answers, &AnswerStream::finished);
    answers.reset();
    if (!reasoning.isEmpty())
        answers.update(QString(), reasoning);
    for (int cut : cuts) {
        answers.update(text.left(cut), QString());
        outcome.lastShown = streaming.render(text.left(cut));
    }
    answers.finish();
    if (!finished.wait(30000))
        return outcome;
    outcome.finished = finished.at(0).at(0).toString();
    outcome.finishedReasoning = finished.at(0).at(1).toString();
    return outcome;
}

} // namespace

void TestAnswerStream::randomAnswersEndAsTheirOneShotConversion()
{
    const quint32 seed = RandomMarkdown::seed();
    RandomMarkdown random(seed);
    AnswerStream answers;
    int streamedDiffered = 0;
    constexpr int Answers = 100;
    for (int i = 0; i < Answers; ++i) {
        const QString text = random.answer(8 + i % 13);
        const QString reasoning = i % 4 == 0 ? random.answer(3) : QString();
        const Outcome outcome = stream(answers, text, random.cuts(text), reasoning);
        const QString expected = MarkdownRenderer::toHtml(text);
        QVERIFY2(outcome.finished == expected,
                 qPrintable(QStringLiteral("seed %1, answer %2:\n%3").arg(seed).arg(i).arg(text)));
        QCOMPARE(outcome.finishedReasoning, MarkdownRenderer::toHtml(reasoning));
        if (outcome.lastShown != expected)
            ++streamedDiffered;
    }
    qInfo("seed %u: %d of %d answers differed from their one-shot conversion while streaming, "
          "none at the end",
          seed, streamedDiffered, Answers);
}

// A new question while the last answer is still being converted: its result must not land on
// the new answer.
void TestAnswerStream::aResultOfAnEarlierAnswerIsDropped()
{
    AnswerStream answers;
    QSignalSpy finished(&answers, &AnswerStream::finished);
    QString longAnswer;
    for (int i = 0; i < 400; ++i)
        longAnswer += QStringLiteral("Paragraph %1 with **bold** text.\n\n").arg(i);
    answers.update(longAnswer, QString());
    answers.finish();
    QVERIFY(answers.isFinishing());
    answers.reset();
    QVERIFY(!answers.isFinishing());
    answers.update(QStringLiteral("second *answer*"), QString());
    answers.finish();
    QVERIFY(finished.wait(30000));
    answers.flush();
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toString(),
             MarkdownRenderer::toHtml(QStringLiteral("second *answer*")));
}

void TestAnswerStream::flushDeliversTheResultAtOnce()
{
    AnswerStream answers;
    QSignalSpy finished(&answers, &AnswerStream::finished);
    answers.update(QStringLiteral("the **end**"), QString());
    answers.finish();
    answers.flush();
    QCOMPARE(finished.count(), 1);
    QVERIFY(!answers.isFinishing());
    answers.flush();
    QCOMPARE(finished.count(), 1);
}

void TestAnswerStream::thoughtAndReplyEventsReplaceTheirOwnPart()
{
    AnswerStream answers;
    QSignalSpy shown(&answers, &AnswerStream::shown);
    QSignalSpy finished(&answers, &AnswerStream::finished);
    answers.update(QString(), QStringLiteral("thinking"));
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.at(0).at(0).toBool(), false);
    QCOMPARE(shown.at(0).at(3).toString(), MarkdownRenderer::toHtml(QStringLiteral("thinking")));
    answers.update(QStringLiteral("reply"), QString());
    answers.finish();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.at(0).at(0).toString(), MarkdownRenderer::toHtml(QStringLiteral("reply")));
    QCOMPARE(finished.at(0).at(1).toString(), MarkdownRenderer::toHtml(QStringLiteral("thinking")));
}

QTEST_MAIN(TestAnswerStream)
#include "tst_answerstream.moc"
