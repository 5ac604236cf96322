#include "support/devserverprocess.h"
#include "support/standinclient.h"
#include "support/testenvironment.h"

#include "service/ovseverhandler.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

using Type = OvSeverHandler::OvApiType;

namespace {

const qint64 FixedTs = 1700000000;

// Waits until the spy has seen at least count signals.
// A server on loopback that answers every request the same way: never (stall), or with a body
// far larger than any answer of the service, announced or streamed.
class RawServer : public QObject
{
public:
    enum Mode { Stall, HugeAnnounced, HugeStreamed };

    explicit RawServer(Mode mode)
        : mode(mode)
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            }
        });
        server.listen(QHostAddress::LocalHost, 0);
    }

    QString baseUrl() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());
    }

    int connections() const { return findChildren<QTcpSocket*>().size(); }

private:
    void answer(QTcpSocket* socket)
    {
        // Answer once the whole request (headers and body) is in.
        const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
        socket->setProperty("request", request);
        if (mode == Stall || !request.contains("salt=") || socket->property("answered").toBool())
            return;
        socket->setProperty("answered", true);
        const QByteArray chunk(64 * 1024, 'x');
        if (mode == HugeAnnounced) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                          "Content-Length: 1073741824\r\n\r\n");
            socket->write(chunk);
            return;
        }
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                      "Transfer-Encoding: chunked\r\n\r\n");
        for (int n = 0; n < 40; ++n) // 2.5 MB
            socket->write(QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n");
    }

    Mode mode;
    QTcpServer server;
};

bool waitFor(QSignalSpy& spy, int count)
{
    while (spy.count() < count) {
        if (!spy.wait(10000))
            return spy.count() >= count;
    }
    return true;
}

int requestsInFlight(const OvSeverHandler& handler)
{
    return handler.findChildren<QNetworkReply*>().size();
}

} // namespace

class TestOvSeverHandler : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listStoresOneRecordPerMode();
    void listWithoutAModeAsksAgainOnlyFromApiInfo();
    void listOfForeignPlatformsIsAnError();
    void listRepliesMergeLaterWins();
    void countReplies_data();
    void countReplies();
    void requestBodyIsExact();
    void serialTravelsUnchanged_data();
    void serialTravelsUnchanged();
    void failuresLeaveRecordsAlone_data();
    void failuresLeaveRecordsAlone();
    void selfSignedCertificateIsRefused();
    void stalledRequestsEnd();
    void hugeReplyIsCutOff_data();
    void hugeReplyIsCutOff();

private:
    bool start(const QStringList& arguments = {});
    std::unique_ptr<OvSeverHandler> makeHandler(const QString& baseUrl);

    std::unique_ptr<TestEnvironment> environment;
    std::unique_ptr<DevServerProcess> server;
    std::unique_ptr<StandInClient> standIn;
};

void TestOvSeverHandler::init()
{
    environment = std::make_unique<TestEnvironment>();
    server = std::make_unique<DevServerProcess>();
}

void TestOvSeverHandler::cleanup()
{
    standIn.reset();
    server.reset();
    environment.reset();
}

bool TestOvSeverHandler::start(const QStringList& arguments)
{
    if (!server->start(arguments)) {
        qWarning() << server->errorText();
        return false;
    }
    standIn = std::make_unique<StandInClient>(server->baseUrl());
    return true;
}

std::unique_ptr<OvSeverHandler> TestOvSeverHandler::makeHandler(const QString& baseUrl)
{
    qputenv("LUMORA_SERVICE_URL", baseUrl.toUtf8());
    auto handler = std::make_unique<OvSeverHandler>();
    handler->setClock([] { return FixedTs; });
    return handler;
}

void TestOvSeverHandler::listStoresOneRecordPerMode()
{
    QVERIFY(start());
    auto handler = makeHandler(server->baseUrl());
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    handler->requestApiList();
    QVERIFY(waitFor(replies, 1));
    QCOMPARE(replies.at(0).at(0).value<Type>(), OvSeverHandler::API_LIST);
    QCOMPARE(replies.at(0).at(1).toBool(), true);
    QCOMPARE(replies.at(0).at(2).toString(), QStringLiteral("success"));
    QTRY_COMPARE(requestsInFlight(*handler), 0);

    for (int mode = 0; mode < 4; ++mode) {
        const QVariantMap info = handler->storedApiInfo(mode);
        const QStringList keys {"apiKey", "apiUrl",       "deepThink", "free",
                                "model",  "onlineSearch", "platform"};
        QCOMPARE(info.keys(), keys);
        QCOMPARE(info.value("platform").toString(), QStringLiteral("tencent"));
        QCOMPARE(info.value("apiKey").toString(), QStringLiteral("lumora-dev-mode-%1").arg(mode));
        QCOMPARE(info.value("apiUrl").toString(), server->baseUrl());
        QCOMPARE(info.value("model").userType(), qMetaTypeId<QStringList>());
        QCOMPARE(info.value("deepThink").toBool(), (mode & 1) != 0);
        QCOMPARE(info.value("onlineSearch").toBool(), (mode & 2) != 0);
        QCOMPARE(handler->apiInfo(mode), info);
    }
    QCOMPARE(requestsInFlight(*handler), 0);
}

void TestOvSeverHandler::listWithoutAModeAsksAgainOnlyFromApiInfo()
{
    QVERIFY(start());
    QVERIFY(standIn->setScenario("modes-0-3"));
    auto handler = makeHandler(server->baseUrl());
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    handler->requestApiList();
    QVERIFY(waitFor(replies, 1));
    QCOMPARE(replies.at(0).at(1).toBool(), true);
    QCOMPARE(handler->storedApiInfo(0).value("apiKey").toString(),
             QStringLiteral("lumora-dev-mode-0"));
    QCOMPARE(handler->storedApiInfo(3).value("apiKey").toString(),
             QStringLiteral("lumora-dev-mode-3"));
    QTRY_COMPARE(requestsInFlight(*handler), 0);

    QVERIFY(handler->storedApiInfo(1).isEmpty());
    QVERIFY(handler->storedApiInfo(2).isEmpty());
    QCOMPARE(requestsInFlight(*handler), 0);
    QVERIFY(!handler->apiInfo(0).isEmpty());
    QCOMPARE(requestsInFlight(*handler), 0);

    QVERIFY(handler->apiInfo(1).isEmpty());
    QCOMPARE(requestsInFlight(*handler), 1);
    QVERIFY(waitFor(replies, 2));
    QCOMPARE(replies.at(1).at(0).value<Type>(), OvSeverHandler::API_LIST);
    QCOMPARE(replies.at(1).at(1).toBool(), true);
    int lists = 0;
    for (const QJsonValue& request : standIn->requests())
        lists += request.toObject().value("path").toString() == QLatin1String("/v1/ai/api/list");
    QCOMPARE(lists, 2);
}

void TestOvSeverHandler::listOfForeignPlatformsIsAnError()
{
    QVERIFY(start());
    QVERIFY(standIn->setScenario("foreign-only"));
    auto handler = makeHandler(server->baseUrl());
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    handler->requestApiList();
    QVERIFY(waitFor(replies, 1));
    QCOMPARE(replies.at(0).at(0).value<Type>(), OvSeverHandler::API_LIST);
    QCOMPARE(replies.at(0).at(1).toBool(), false);
    QCOMPARE(replies.at(0).at(2).toString(), QStringLiteral("API Data error"));
    for (int mode = 0; mode < 4; ++mode)
        QVERIFY(handler->storedApiInfo(mode).isEmpty());
}

// The stand-in answers A (modes 0, 1; model "a"), then B (modes 1, 2; model "b"), then A.
void TestOvSeverHandler::listRepliesMergeLaterWins()
{
    QVERIFY(start());
    QVERIFY(standIn->setScenario("alternate"));
    auto handler = makeHandler(server->baseUrl());
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    const auto models = [&handler] {
        QStringList result;
        for (int mode = 0; mode < 4; ++mode)
            result << handler->storedApiInfo(mode).value("model").toStringList().join(',');
        return result;
    };

    handler->requestApiList();
    QVERIFY(waitFor(replies, 1));
    QCOMPARE(models(), QStringList({"a", "a", "", ""}));
    handler->requestApiList();
    QVERIFY(waitFor(replies, 2));
    QCOMPARE(models(), QStringList({"a", "b", "b", ""}));
    handler->requestApiList();
    QVERIFY(waitFor(replies, 3));
    QCOMPARE(models(), QStringList({"a", "a", "b", ""}));
}

void TestOvSeverHandler::countReplies_data()
{
    QTest::addColumn<QByteArray>("scenario");
    QTest::addColumn<bool>("add");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("counted"); // sigAICountValue expected
    QTest::addColumn<int>("used");
    QTest::addColumn<int>("max");
    QTest::addColumn<bool>("status");
    QTest::addColumn<QString>("msg");

    // The data folder starts with "SN-FULL" at 50 and "SN-ALMOST" at 49 of 50.
    QTest::newRow("get, allowance used up")
        << QByteArray("normal") << false << "SN-FULL" << true << 50 << 50 << true << "success";
    QTest::newRow("add, reaching the allowance")
        << QByteArray("normal") << true << "SN-ALMOST" << true << 50 << 50 << true << "success";
    QTest::newRow("add, beyond the allowance") << QByteArray("normal") << true << "SN-FULL" << false
                                               << 0 << 0 << false << "allowance used up";
    QTest::newRow("get, unknown serial")
        << QByteArray("normal") << false << "SN-NEW" << true << 0 << 50 << true << "success";
    QTest::newRow("get, code 1001") << QByteArray("count-refused") << false << "SN-FULL" << false
                                    << 0 << 0 << false << "device not registered";
    QTest::newRow("add, code 1001") << QByteArray("count-refused") << true << "SN-FULL" << false
                                    << 0 << 0 << false << "device not registered";
    QTest::newRow("get, no code") << QByteArray("count-bare") << false << "SN-FULL" << true << 0
                                  << 0 << true << "";
    QTest::newRow("add, no code") << QByteArray("count-bare") << true << "SN-FULL" << true << 0 << 0
                                  << true << "";
}

void TestOvSeverHandler::countReplies()
{
    QFETCH(QByteArray, scenario);
    QFETCH(bool, add);
    QFETCH(QString, serial);
    QFETCH(bool, counted);
    QFETCH(int, used);
    QFETCH(int, max);
    QFETCH(bool, status);
    QFETCH(QString, msg);

    const QString data = environment->path("service");
    QVERIFY(QDir().mkpath(data));
    environment->writeFile("service/usage-counts.json", R"({"SN-FULL": 50, "SN-ALMOST": 49})");
    QVERIFY(start({"--data", data, "--allowance", "50"}));
    QVERIFY(standIn->setScenario(scenario));
    auto handler = makeHandler(server->baseUrl());
    QSignalSpy counts(handler.get(), &OvSeverHandler::sigAICountValue);
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    QList<int> order;
    connect(handler.get(), &OvSeverHandler::sigAICountValue, this, [&order] { order << 0; });
    connect(handler.get(), &OvSeverHandler::sigAIApiReply, this, [&order] { order << 1; });

    if (add)
        handler->addCount(serial);
    else
        handler->getCount(serial);
    QVERIFY(waitFor(replies, 1));
    const Type type = add ? OvSeverHandler::API_ADD_COUNT : OvSeverHandler::API_GET_COUNT;
    QCOMPARE(replies.at(0).at(0).value<Type>(), type);
    QCOMPARE(replies.at(0).at(1).toBool(), status);
    QCOMPARE(replies.at(0).at(2).toString(), msg);
    if (counted) {
        QCOMPARE(counts.count(), 1);
        QCOMPARE(counts.at(0).at(0).toInt(), used);
        QCOMPARE(counts.at(0).at(1).toInt(), max);
        QCOMPARE(order, QList<int>({0, 1}));
    } else {
        QCOMPARE(counts.count(), 0);
    }
}

void TestOvSeverHandler::requestBodyIsExact()
{
    QVERIFY(start());
    auto handler = makeHandler(server->baseUrl());
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    handler->requestApiList();
    QVERIFY(waitFor(replies, 1));
    handler->getCount("A&B+C");
    QVERIFY(waitFor(replies, 2));

    // Signatures worked out independently: printf '%s' "<params>t4Qe&8r#MvZkLpXw" | md5sum
    const QJsonArray log = standIn->requests();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log.at(0).toObject().value("path").toString(), QStringLiteral("/v1/ai/api/list"));
    QCOMPARE(log.at(0).toObject().value("body").toString(),
             QStringLiteral(R"(params={"ts":1700000000}&salt=2CC1550AF7098C93ECCFF79CBEA12B09)"));
    QCOMPARE(log.at(1).toObject().value("path").toString(), QStringLiteral("/v1/ai/api/getCount"));
    QCOMPARE(log.at(1).toObject().value("body").toString(),
             QStringLiteral(R"(params={"deviceSn":"A&B+C","ts":1700000000})"
                            R"(&salt=CBF1AACB3B905E5FFA266C4AA40A8686)"));
    for (const QJsonValue& entry : log)
        QCOMPARE(entry.toObject().value("contentType").toString(),
                 QStringLiteral("application/x-www-form-urlencoded"));
}

void TestOvSeverHandler::serialTravelsUnchanged_data()
{
    QTest::addColumn<QString>("serial");
    QTest::newRow("ampersand and plus") << "A&B+C";
    QTest::newRow("looks like the signature field") << "X&salt=00";
    QTest::newRow("percent escapes") << "a%20b=c";
    QTest::newRow("quotes and backslash") << R"(q"\x)";
    QTest::newRow("non-ASCII") << QString::fromUtf8("键盘 Ü");
}

void TestOvSeverHandler::serialTravelsUnchanged()
{
    QFETCH(QString, serial);
    QVERIFY(start());
    auto handler = makeHandler(server->baseUrl());
    QSignalSpy counts(handler.get(), &OvSeverHandler::sigAICountValue);
    handler->addCount(serial);
    QVERIFY(waitFor(counts, 1));
    handler->addCount(serial);
    QVERIFY(waitFor(counts, 2));
    handler->addCount(serial.left(1));
    QVERIFY(waitFor(counts, 3));
    handler->getCount(serial);
    QVERIFY(waitFor(counts, 4));
    QCOMPARE(counts.at(3).at(0).toInt(), 2);

    QFile file(server->dataDir() + "/usage-counts.json");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject stored = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(stored.value(serial).toInt(), 2);
    QCOMPARE(stored.value(serial.left(1)).toInt(), 1);
}

void TestOvSeverHandler::failuresLeaveRecordsAlone_data()
{
    QTest::addColumn<QByteArray>("scenario"); // empty: the server is gone
    QTest::addColumn<QString>("msg");
    QTest::newRow("not JSON") << QByteArray("not-json") << "msg error";
    QTest::newRow("JSON array") << QByteArray("json-array") << "msg error";
    QTest::newRow("JSON number") << QByteArray("json-number") << "msg error";
    // The list reply still carries records; with a non-zero code they must not be taken.
    QTest::newRow("non-zero code") << QByteArray("refused") << "service paused";
    QTest::newRow("HTTP 500") << QByteArray("http-error") << "Network connection error";
    QTest::newRow("connection refused") << QByteArray() << "Network connection error";
}

void TestOvSeverHandler::failuresLeaveRecordsAlone()
{
    QFETCH(QByteArray, scenario);
    QFETCH(QString, msg);
    QVERIFY(start());
    auto handler = makeHandler(server->baseUrl());
    QSignalSpy counts(handler.get(), &OvSeverHandler::sigAICountValue);
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    handler->requestApiList();
    QVERIFY(waitFor(replies, 1));
    const QVariantMap before = handler->storedApiInfo(2);
    QVERIFY(!before.isEmpty());

    if (scenario.isEmpty())
        server->stop();
    else
        QVERIFY(standIn->setScenario(scenario));
    if (msg == QLatin1String("Network connection error")) {
        for (int request = 0; request < 2; ++request)
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Request failed for"));
    }
    handler->requestApiList();
    handler->getCount("SN");
    QVERIFY(waitFor(replies, 3));
    QList<Type> types;
    for (int i = 1; i < 3; ++i) {
        types << replies.at(i).at(0).value<Type>();
        QCOMPARE(replies.at(i).at(1).toBool(), false);
        QCOMPARE(replies.at(i).at(2).toString(), msg);
    }
    std::sort(types.begin(), types.end());
    QCOMPARE(types, QList<Type>({OvSeverHandler::API_LIST, OvSeverHandler::API_GET_COUNT}));
    QCOMPARE(counts.count(), 0);
    QCOMPARE(handler->storedApiInfo(2), before);
}

void TestOvSeverHandler::selfSignedCertificateIsRefused()
{
    if (!QSslSocket::supportsSsl())
        QSKIP("Qt has no TLS backend here");
    const QString openssl = QStandardPaths::findExecutable("openssl");
    QVERIFY2(!openssl.isEmpty(), "the openssl command is needed to make a test certificate");
    const QString cert = environment->path("cert.pem");
    const QString key = environment->path("key.pem");
    QProcess make;
    make.setProcessChannelMode(QProcess::MergedChannels);
    make.start(openssl,
               {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
    QVERIFY(make.waitForFinished(30000));
    QVERIFY2(make.exitCode() == 0, make.readAll().constData());
    QVERIFY(start({"--cert", cert, "--key", key}));
    QVERIFY(server->baseUrl().startsWith("https://"));
    standIn->trust(QSslCertificate::fromPath(cert));

    auto handler = makeHandler(server->baseUrl());
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^errorString:"));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Request failed for"));
    handler->requestApiList();
    QVERIFY(waitFor(replies, 1));
    QCOMPARE(replies.at(0).at(0).value<Type>(), OvSeverHandler::API_LIST);
    QCOMPARE(replies.at(0).at(1).toBool(), false);
    QCOMPARE(replies.at(0).at(2).toString(), QStringLiteral("Network connection error"));
    QVERIFY(handler->storedApiInfo(0).isEmpty());
    // The request never got past the handshake.
    QCOMPARE(standIn->requests().size(), 0);

    // Trusted, the same server answers: the refusal above was about the certificate alone.
    QSslConfiguration original = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = original;
    trusting.setCaCertificates(original.caCertificates() + QSslCertificate::fromPath(cert));
    QSslConfiguration::setDefaultConfiguration(trusting);
    auto trustingHandler = makeHandler(server->baseUrl()); // a fresh connection cache
    QSignalSpy trustedReplies(trustingHandler.get(), &OvSeverHandler::sigAIApiReply);
    trustingHandler->requestApiList();
    const bool answered = waitFor(trustedReplies, 1);
    QSslConfiguration::setDefaultConfiguration(original);
    QVERIFY(answered);
    QCOMPARE(trustedReplies.at(0).at(1).toBool(), true);
    QCOMPARE(trustingHandler->storedApiInfo(0).value("apiUrl").toString(), server->baseUrl());
}

QTEST_GUILESS_MAIN(TestOvSeverHandler)
// Qt keeps six connections per host: seven stalled requests must all end (the seventh waits for
// a free connection), each as a network error.
void TestOvSeverHandler::stalledRequestsEnd()
{
    RawServer stalling(RawServer::Stall);
    auto handler = makeHandler(stalling.baseUrl());
    handler->setTransferTimeout(500);
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    for (int n = 0; n < 7; ++n) {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Request failed for"));
        handler->getCount(QStringLiteral("SN-%1").arg(n));
    }
    QTRY_COMPARE_WITH_TIMEOUT(replies.count(), 7, 20000);
    for (const QList<QVariant>& reply : replies) {
        QCOMPARE(reply.at(1).toBool(), false);
        QCOMPARE(reply.at(2).toString(), QStringLiteral("Network connection error"));
    }
}

void TestOvSeverHandler::hugeReplyIsCutOff_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("announced 1 GB") << int(RawServer::HugeAnnounced);
    QTest::newRow("streamed without a length") << int(RawServer::HugeStreamed);
}

void TestOvSeverHandler::hugeReplyIsCutOff()
{
    QFETCH(int, mode);
    RawServer huge {RawServer::Mode(mode)};
    auto handler = makeHandler(huge.baseUrl());
    QSignalSpy replies(handler.get(), &OvSeverHandler::sigAIApiReply);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("larger than"));
    handler->requestApiList();
    QVERIFY(waitFor(replies, 1));
    QCOMPARE(replies.at(0).at(1).toBool(), false);
    QCOMPARE(replies.at(0).at(2).toString(), QStringLiteral("msg error"));
}

#include "tst_ovseverhandler.moc"
