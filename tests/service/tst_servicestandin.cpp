#include "support/devserverprocess.h"
#include "support/standinclient.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// The maker-service stand-in on its own: what it refuses, how it keeps the counts.
class TestServiceStandIn : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void refusesUnsignedRequests_data();
    void refusesUnsignedRequests();
    void countsSurviveARestart();
    void concurrentAddsAreAllCounted();
    void brokenCountsFileIsKeptAside();
    void policyPages();
    void unknownScenarioIsRefused();

private:
    bool start(const QStringList& arguments = {});

    std::unique_ptr<TestEnvironment> environment;
    std::unique_ptr<DevServerProcess> server;
    std::unique_ptr<StandInClient> standIn;
};

void TestServiceStandIn::init()
{
    environment = std::make_unique<TestEnvironment>();
    server = std::make_unique<DevServerProcess>();
}

void TestServiceStandIn::cleanup()
{
    standIn.reset();
    server.reset();
    environment.reset();
}

bool TestServiceStandIn::start(const QStringList& arguments)
{
    if (!server->start(arguments)) {
        qWarning() << server->errorText();
        return false;
    }
    standIn = std::make_unique<StandInClient>(server->baseUrl());
    return true;
}

void TestServiceStandIn::refusesUnsignedRequests_data()
{
    const QByteArray params = R"({"deviceSn":"SN","ts":1700000000})";
    const QByteArray good = StandInClient::signature(params);
    const QByteArray notJson = "deviceSn=SN";
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    QTest::newRow("wrong signature")
        << "params=" + params + "&salt=" + QByteArray(32, 'A') << 4002 << "signature mismatch";
    QTest::newRow("lower-case signature")
        << "params=" + params + "&salt=" + good.toLower() << 4002 << "signature mismatch";
    QTest::newRow("signature of other params")
        << "params=" + params + " &salt=" + good << 4002 << "signature mismatch";
    QTest::newRow("percent-encoded params")
        << "params=" + params.toPercentEncoding() + "&salt=" + good << 4002 << "signature mismatch";
    QTest::newRow("no salt field") << "params=" + params << 4001 << "missing signature";
    QTest::newRow("empty salt") << "params=" + params + "&salt=" << 4001 << "missing signature";
    QTest::newRow("no params field") << "salt=" + good << 4001 << "missing signature";
    QTest::newRow("empty body") << QByteArray() << 4001 << "missing signature";
    QTest::newRow("signed, not JSON")
        << StandInClient::signedBody(notJson) << 4003 << "params is not a JSON object";
    QTest::newRow("signed, no serial")
        << StandInClient::signedBody(R"({"ts":1700000000})") << 4004 << "deviceSn is missing";
}

void TestServiceStandIn::refusesUnsignedRequests()
{
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, msg);
    QVERIFY(start());
    for (const QString path : {"/v1/ai/api/addCount", "/v1/ai/api/getCount"}) {
        const StandInClient::Answer answer = standIn->post(path, body);
        QCOMPARE(answer.status, 200);
        const QJsonObject reply = QJsonDocument::fromJson(answer.body).object();
        QCOMPARE(reply.value("code").toInt(), code);
        QCOMPARE(reply.value("msg").toString(), msg);
        QVERIFY(!reply.contains("data"));
    }
    const QJsonObject check = standIn->count("/v1/ai/api/getCount", "SN");
    QCOMPARE(check.value("code").toInt(-1), 0);
    QCOMPARE(check.value("data").toObject().value("usedCount").toInt(-1), 0);
}

void TestServiceStandIn::countsSurviveARestart()
{
    const QString data = environment->path("service");
    QVERIFY(start({"--data", data, "--allowance", "3"}));
    for (int used = 1; used <= 3; ++used) {
        const QJsonObject reply = standIn->count("/v1/ai/api/addCount", "SN-1");
        QCOMPARE(reply.value("code").toInt(-1), 0);
        QCOMPARE(reply.value("data").toObject().value("usedCount").toInt(), used);
        QCOMPARE(reply.value("data").toObject().value("maxCount").toInt(), 3);
    }
    const QJsonObject refused = standIn->count("/v1/ai/api/addCount", "SN-1");
    QCOMPARE(refused.value("code").toInt(), 4005);
    server = std::make_unique<DevServerProcess>(); // the old one stops with it

    QVERIFY(start({"--data", data, "--allowance", "5"}));
    const QJsonObject reply = standIn->count("/v1/ai/api/getCount", "SN-1");
    QCOMPARE(reply.value("data").toObject(), QJsonObject({{"maxCount", 5}, {"usedCount", 3}}));
}

// The server answers on several threads at once; no increment may get lost.
void TestServiceStandIn::concurrentAddsAreAllCounted()
{
    QVERIFY(start());
    const int total = 40;
    QNetworkAccessManager manager;
    const QByteArray body = StandInClient::signedBody(R"({"deviceSn":"SN-PAR","ts":1})");
    QList<QNetworkReply*> replies;
    for (int i = 0; i < total; ++i) {
        QNetworkRequest request(QUrl(server->baseUrl() + "/v1/ai/api/addCount"));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        replies << manager.post(request, body);
    }
    QSet<int> seen;
    for (QNetworkReply* reply : replies) {
        if (!reply->isFinished())
            QVERIFY(QSignalSpy(reply, &QNetworkReply::finished).wait(10000));
        const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
        QCOMPARE(answer.value("code").toInt(-1), 0);
        seen << answer.value("data").toObject().value("usedCount").toInt();
        reply->deleteLater();
    }
    QCOMPARE(seen.size(), total); // each answer saw its own increment
    const QJsonObject reply = standIn->count("/v1/ai/api/getCount", "SN-PAR");
    QCOMPARE(reply.value("data").toObject().value("usedCount").toInt(), total);
}

void TestServiceStandIn::brokenCountsFileIsKeptAside()
{
    const QString data = environment->path("service");
    environment->writeFile("service/usage-counts.json", "{\"SN\": 4");
    QVERIFY(start({"--data", data}));
    QCOMPARE(standIn->count("/v1/ai/api/addCount", "SN").value("code").toInt(-1), 0);
    const QStringList aside = QDir(data).entryList({"usage-counts.broken-*.json"});
    QCOMPARE(aside.size(), 1);
    QFile kept(data + "/" + aside.first());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("{\"SN\": 4"));
}

void TestServiceStandIn::policyPages()
{
    QVERIFY(start());
    for (const QString page : {"user-agreement.html", "privacy-policy.html"}) {
        const StandInClient::Answer answer = standIn->get("/static/" + page);
        QCOMPARE(answer.status, 200);
        QVERIFY(answer.body.startsWith("<!DOCTYPE html>"));
        QVERIFY(answer.body.contains("<h1>"));
    }
    QCOMPARE(standIn->get("/static/other.html").status, 404);
}

void TestServiceStandIn::unknownScenarioIsRefused()
{
    QVERIFY(start());
    QVERIFY(!standIn->setScenario("no-such-scenario"));
    QVERIFY(standIn->setScenario("normal"));
}

QTEST_GUILESS_MAIN(TestServiceStandIn)
#include "tst_servicestandin.moc"
