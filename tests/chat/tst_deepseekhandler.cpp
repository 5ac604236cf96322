#include "chat/deepseekhandler.h"
#include "support/devserverprocess.h"
#include "support/testenvironment.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtTest>

namespace {

// One signal of the handler, in the order they came.
struct Signal
{
    QString content;
    QString reasoning;
    bool end = false;

    bool operator==(const Signal& other) const
    {
        return content == other.content && reasoning == other.reasoning && end == other.end;
    }
};

const QString modeKey[] = {QStringLiteral("lumora-dev-mode-0"), QStringLiteral("lumora-dev-mode-1"),
                           QStringLiteral("lumora-dev-mode-2"),
                           QStringLiteral("lumora-dev-mode-3")};

// What the stand-in streams for its short answer with deep thinking.
const QVector<Signal> shortAnswer {
    {QString(), QStringLiteral("想一想…"), false},
    {QString(), QStringLiteral("想一想…好"), false},
    {QStringLiteral("你好，世"), QString(), false},
    {QStringLiteral("你好，世界🌍!"), QString(), true},
};

QString describe(const QVector<Signal>& received)
{
    QStringList lines;
    for (const Signal& signal : received)
        lines << QStringLiteral("(\"%1\", \"%2\", %3)")
                     .arg(signal.content.left(40), signal.reasoning.left(40),
                          signal.end ? QStringLiteral("end") : QStringLiteral("more"));
    return QStringLiteral("received: ") + lines.join(QStringLiteral(", "));
}

} // namespace

// Compares the received signals, showing them when they differ.
#define COMPARE_SIGNALS(expected) QVERIFY2(signals_ == (expected), qPrintable(describe(signals_)))

class TestDeepSeekHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sendsTheExactBody();
    void streamsAnAnswerPerMode_data();
    void streamsAnAnswerPerMode();
    void parsesThreeBlocksOfOneDelivery();
    void survivesDeliveriesCutAnywhere_data();
    void survivesDeliveriesCutAnywhere();
    void survivesOddFraming_data();
    void survivesOddFraming();
    void hidesTheEchoOfTheQuestion();
    void reportsARefusalOnce();
    void reportsFailures_data();
    void reportsFailures();
    void reportsAnUnreachableServer();
    void endsAStalledStream();
    void keepsASlowButSteadyStream();
    void endsATricklingStreamAtTheDeadline();
    void endsAnAnswerThatGrowsTooLong();
    void skipsMalformedBlocks();
    void streamsAVeryLongAnswer();
    void ignoresAnEarlierRequestStillRunning();
    void aRequestFromTheErrorHandlerGetsItsAnswer_data();
    void aRequestFromTheErrorHandlerGetsItsAnswer();

private:
    void ask(const QString& question, int mode = 1);
    bool waitIdle(int timeoutMs = 15000);
    QByteArray rawStream(const QString& question, int mode);

    TestEnvironment env;
    DevServerProcess server;
    QScopedPointer<DeepSeekHandler> handler;
    QVector<Signal> signals_;
    QScopedPointer<QSignalSpy> errors;
    int splitStreamSize = 0;
};

void TestDeepSeekHandler::initTestCase()
{
    QVERIFY2(server.start({QStringLiteral("--pace-ms"), QStringLiteral("0")}),
             qPrintable(server.errorText()));
    qputenv("LUMORA_ENGINE_URL", server.baseUrl().toUtf8());
    splitStreamSize = rawStream(QStringLiteral("[fault:split:0000]"), 1).size();
    QVERIFY(splitStreamSize > 100);
}

void TestDeepSeekHandler::init()
{
    qputenv("LUMORA_ENGINE_URL", server.baseUrl().toUtf8());
    handler.reset(new DeepSeekHandler);
    signals_.clear();
    connect(handler.data(), &DeepSeekHandler::receivedStreamingData, this,
            [this](const QString& content, const QString& reasoning, bool end) {
                signals_.append({content, reasoning, end});
            });
    errors.reset(new QSignalSpy(handler.data(), &DeepSeekHandler::error));
}

void TestDeepSeekHandler::cleanup()
{
    errors.reset();
    handler.reset();
}

void TestDeepSeekHandler::ask(const QString& question, int mode)
{
    handler->postKnowledgeEngine(question, QStringLiteral("1"), QStringLiteral("session"),
                                 QStringLiteral("SN0001"), modeKey[mode]);
}

// The reply is deleted only after the handler has dealt with its end.
bool TestDeepSeekHandler::waitIdle(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!handler->findChildren<QNetworkReply*>().isEmpty()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

QByteArray TestDeepSeekHandler::rawStream(const QString& question, int mode)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(server.baseUrl() + QStringLiteral("/v1/qbot/chat/sse")));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    const QJsonObject body {{QStringLiteral("content"), question},
                            {QStringLiteral("bot_app_key"), modeKey[mode]}};
    QNetworkReply* reply = manager.post(request, QJsonDocument(body).toJson());
    QSignalSpy finished(reply, &QNetworkReply::finished);
    finished.wait(10000);
    const QByteArray bytes = reply->readAll();
    delete reply;
    return bytes;
}

void TestDeepSeekHandler::sendsTheExactBody()
{
    handler->postKnowledgeEngine(QStringLiteral("hi"), QStringLiteral("42"),
                                 QStringLiteral("20240101120000"), QStringLiteral("SN-7"),
                                 modeKey[0]);
    QVERIFY(waitIdle());
    QVERIFY(!signals_.isEmpty() && signals_.constLast().end);

    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(
        QNetworkRequest(QUrl(server.baseUrl() + QStringLiteral("/dev/engine/last-request"))));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(10000));
    const QJsonObject last = QJsonDocument::fromJson(reply->readAll()).object();
    delete reply;
    QCOMPARE(last.value(QStringLiteral("body")).toString(),
             QStringLiteral("{\n"
                            "    \"bot_app_key\": \"lumora-dev-mode-0\",\n"
                            "    \"content\": \"hi\",\n"
                            "    \"request_id\": \"42\",\n"
                            "    \"session_id\": \"20240101120000\",\n"
                            "    \"visitor_biz_id\": \"SN-7\"\n"
                            "}\n"));
    const QJsonObject headers = last.value(QStringLiteral("headers")).toObject();
    QCOMPARE(headers.value(QStringLiteral("Content-Type")).toString(),
             QStringLiteral("application/json"));
    QVERIFY(!headers.contains(QStringLiteral("Authorization")));
}

void TestDeepSeekHandler::streamsAnAnswerPerMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("thinks");
    QTest::newRow("normal") << 0 << false;
    QTest::newRow("deep thinking") << 1 << true;
    QTest::newRow("online search") << 2 << false;
    QTest::newRow("both") << 3 << true;
}

void TestDeepSeekHandler::streamsAnAnswerPerMode()
{
    QFETCH(int, mode);
    QFETCH(bool, thinks);
    ask(QStringLiteral("What is Lumora?"), mode);
    QVERIFY(waitIdle());
    QCOMPARE(errors->count(), 0);
    QVERIFY(!signals_.isEmpty());

    int reasoningCount = 0;
    QString answerSoFar;
    for (int i = 0; i < signals_.size(); ++i) {
        const Signal& signal = signals_.at(i);
        QVERIFY(signal.content.isEmpty() != signal.reasoning.isEmpty());
        QCOMPARE(signal.end, i + 1 == signals_.size());
        if (!signal.reasoning.isEmpty()) {
            QCOMPARE(answerSoFar, QString()); // reasoning comes before the answer
            ++reasoningCount;
            continue;
        }
        QVERIFY(signal.content.startsWith(answerSoFar)); // cumulative, not deltas
        answerSoFar = signal.content;
    }
    QCOMPARE(reasoningCount > 0, thinks);
    QVERIFY(answerSoFar.startsWith(QStringLiteral("## 关于「What is Lumora?」")));
    for (const char* markdown : {"**", "### ", "1. ", "- ", "```cpp", "|---|", "](https://"})
        QVERIFY2(answerSoFar.contains(QLatin1String(markdown)), markdown);
}

void TestDeepSeekHandler::parsesThreeBlocksOfOneDelivery()
{
    ask(QStringLiteral("[fault:burst]"));
    QVERIFY(waitIdle());
    COMPARE_SIGNALS(shortAnswer);
    QCOMPARE(errors->count(), 0);
}

void TestDeepSeekHandler::survivesDeliveriesCutAnywhere_data()
{
    QTest::addColumn<int>("cut");
    for (int cut = 1; cut < splitStreamSize; ++cut)
        QTest::addRow("cut after byte %d", cut) << cut;
}

void TestDeepSeekHandler::survivesDeliveriesCutAnywhere()
{
    QFETCH(int, cut);
    ask(QStringLiteral("[fault:split:%1]").arg(cut, 4, 10, QLatin1Char('0')));
    QVERIFY(waitIdle());
    COMPARE_SIGNALS(shortAnswer);
    QCOMPARE(errors->count(), 0);
}

void TestDeepSeekHandler::survivesOddFraming_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("every byte alone") << QStringLiteral("bytewise");
    QTest::newRow("doubled and trailing blank lines") << QStringLiteral("blank-lines");
    QTest::newRow("no blank line after the last block") << QStringLiteral("no-trailing-blank");
}

void TestDeepSeekHandler::survivesOddFraming()
{
    QFETCH(QString, fault);
    ask(QStringLiteral("[fault:%1]").arg(fault));
    QVERIFY(waitIdle());
    COMPARE_SIGNALS(shortAnswer);
    QCOMPARE(errors->count(), 0);
}

void TestDeepSeekHandler::hidesTheEchoOfTheQuestion()
{
    ask(QStringLiteral("[fault:short]"), 0);
    QVERIFY(waitIdle());
    COMPARE_SIGNALS(shortAnswer.mid(2));
    QCOMPARE(errors->count(), 0);
}

void TestDeepSeekHandler::reportsARefusalOnce()
{
    ask(QStringLiteral("[fault:refuse]"));
    QVERIFY(waitIdle());
    QCOMPARE(errors->count(), 1);
    QCOMPARE(errors->at(0).at(0).value<DeepSeekHandler::ErrorCode>(), DeepSeekHandler::Refused);
    QVERIFY(signals_.isEmpty());
}

void TestDeepSeekHandler::reportsFailures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("HTTP 500") << QStringLiteral("http500");
    QTest::newRow("only an error event") << QStringLiteral("error-event");
    QTest::newRow("connection dropped mid-stream") << QStringLiteral("cut");
}

void TestDeepSeekHandler::reportsFailures()
{
    QFETCH(QString, fault);
    ask(QStringLiteral("[fault:%1]").arg(fault));
    QVERIFY(waitIdle());
    QCOMPARE(errors->count(), 1);
    QCOMPARE(errors->at(0).at(0).value<DeepSeekHandler::ErrorCode>(), DeepSeekHandler::ServerBusy);
    for (const Signal& signal : qAsConst(signals_))
        QVERIFY(!signal.end);
}

void TestDeepSeekHandler::reportsAnUnreachableServer()
{
    DevServerProcess gone;
    QVERIFY(gone.start());
    qputenv("LUMORA_ENGINE_URL", gone.baseUrl().toUtf8());
    gone.stop();
    ask(QStringLiteral("hello"));
    QVERIFY(waitIdle());
    QCOMPARE(errors->count(), 1);
    QCOMPARE(errors->at(0).at(0).value<DeepSeekHandler::ErrorCode>(), DeepSeekHandler::ServerBusy);
}

void TestDeepSeekHandler::endsAStalledStream()
{
    QCOMPARE(handler->stallTimeout(), DeepSeekHandler::DefaultStallTimeoutMs);
    QCOMPARE(DeepSeekHandler::DefaultStallTimeoutMs, 60000);
    handler->setStallTimeout(300);
    ask(QStringLiteral("[fault:stall]"));
    QVERIFY(errors->wait(10000));
    QCOMPARE(errors->at(0).at(0).value<DeepSeekHandler::ErrorCode>(), DeepSeekHandler::ServerBusy);
    QVERIFY(waitIdle());
    QCOMPARE(errors->count(), 1);
    QVERIFY(signals_.isEmpty());
}

void TestDeepSeekHandler::keepsASlowButSteadyStream()
{
    DevServerProcess paced;
    QVERIFY2(paced.start({QStringLiteral("--pace-ms"), QStringLiteral("30")}),
             qPrintable(paced.errorText()));
    qputenv("LUMORA_ENGINE_URL", paced.baseUrl().toUtf8());
    handler->setStallTimeout(400); // far less than the whole answer takes
    QElapsedTimer clock;
    clock.start();
    ask(QStringLiteral("slow"), 3);
    QVERIFY(waitIdle(30000));
    QVERIFY(clock.elapsed() > 800);
    QCOMPARE(errors->count(), 0);
    QVERIFY(!signals_.isEmpty() && signals_.constLast().end);
}

// Bytes keep coming, so the stall timer never fires; the overall deadline ends it all the same.
void TestDeepSeekHandler::endsATricklingStreamAtTheDeadline()
{
    QCOMPARE(handler->deadline(), DeepSeekHandler::DefaultDeadlineMs);
    DevServerProcess paced;
    QVERIFY2(paced.start({QStringLiteral("--pace-ms"), QStringLiteral("30")}),
             qPrintable(paced.errorText()));
    qputenv("LUMORA_ENGINE_URL", paced.baseUrl().toUtf8());
    handler->setStallTimeout(400);
    handler->setDeadline(500);
    ask(QStringLiteral("slow"), 3);
    QVERIFY(errors->wait(10000));
    QCOMPARE(errors->at(0).at(0).value<DeepSeekHandler::ErrorCode>(), DeepSeekHandler::ServerBusy);
    QVERIFY(waitIdle());
    QCOMPARE(errors->count(), 1);
    QVERIFY(signals_.isEmpty() || !signals_.constLast().end);
}

void TestDeepSeekHandler::endsAnAnswerThatGrowsTooLong()
{
    QCOMPARE(handler->maxAnswerLength(), DeepSeekHandler::DefaultMaxAnswerLength);
    handler->setMaxAnswerLength(10000);
    ask(QStringLiteral("[fault:long]"), 0);
    QVERIFY(errors->wait(30000));
    QCOMPARE(errors->at(0).at(0).value<DeepSeekHandler::ErrorCode>(), DeepSeekHandler::ServerBusy);
    QVERIFY(waitIdle());
    QCOMPARE(errors->count(), 1);
    for (const auto& signal : qAsConst(signals_))
        QVERIFY(signal.content.size() <= 10000 && !signal.end);
}

void TestDeepSeekHandler::skipsMalformedBlocks()
{
    ask(QStringLiteral("[fault:malformed]"));
    QVERIFY(waitIdle());
    QCOMPARE(errors->count(), 0);
    QVERIFY(!signals_.isEmpty() && signals_.constLast().end);
    for (const Signal& signal : qAsConst(signals_))
        QVERIFY(!signal.content.contains(QStringLiteral("损坏")));
}

void TestDeepSeekHandler::streamsAVeryLongAnswer()
{
    ask(QStringLiteral("[fault:long]"), 0);
    QVERIFY(waitIdle(60000));
    QCOMPARE(errors->count(), 0);
    QVERIFY(!signals_.isEmpty() && signals_.constLast().end);
    QVERIFY(signals_.constLast().content.size() > 30000);
    QVERIFY(signals_.constLast().content.endsWith(QStringLiteral("- 条目二\n\n")));
}

// The caller is not meant to overlap requests; if it does, the newer answer must survive
// the end of the older request.
void TestDeepSeekHandler::ignoresAnEarlierRequestStillRunning()
{
    ask(QStringLiteral("[fault:http500]"));
    ask(QStringLiteral("[fault:burst]"));
    QVERIFY(waitIdle());
    COMPARE_SIGNALS(shortAnswer);
    QCOMPARE(errors->count(), 0);
}

void TestDeepSeekHandler::aRequestFromTheErrorHandlerGetsItsAnswer_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("HTTP 500") << QStringLiteral("http500");
    QTest::newRow("connection dropped mid-stream") << QStringLiteral("cut");
    QTest::newRow("refusal") << QStringLiteral("refuse");
}

// A caller may retry straight from its error handler; the new request must not be orphaned by
// the clean-up of the failed one.
void TestDeepSeekHandler::aRequestFromTheErrorHandlerGetsItsAnswer()
{
    QFETCH(QString, fault);
    bool retried = false;
    connect(handler.data(), &DeepSeekHandler::error, this, [this, &retried] {
        if (retried)
            return;
        retried = true;
        ask(QStringLiteral("again"));
    });
    ask(QStringLiteral("[fault:%1]").arg(fault));
    QTRY_VERIFY_WITH_TIMEOUT(!signals_.isEmpty() && signals_.constLast().end, 10000);
    QVERIFY(retried);
    QVERIFY(waitIdle());
    QCOMPARE(errors->count(), 1);
}

QTEST_GUILESS_MAIN(TestDeepSeekHandler)
#include "tst_deepseekhandler.moc"
