#include "chat/chathistorystore.h"
#include "chat/dialoginfomodel.h"
#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "chat/markdownrenderer.h"
#include "core/configengine.h"
#include "core/constants.h"
#include "service/ovseverhandler.h"
#include "support/devserverprocess.h"
#include "support/standinclient.h"
#include "support/testenvironment.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

const QString Placeholder = QStringLiteral("Generating response...");
const QString NetworkError = QStringLiteral("Network error, please check your connection.");
const QString ServerBusy = QStringLiteral("The server is busy, please try again later.");
const QString Refusal = QStringLiteral(
    "I'm sorry, I can't provide this information. If you have any other questions or need "
    "help with anything else, I\u2019d be happy to assist!:)");

} // namespace

// Drives the conversation manager end to end: the real web service client and provider
// client against both halves of the stand-in server, history files in a private folder.
class TestDialogManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstQuestionIsShownStoredAndCounted();
    void noProviderRecordGivesNetworkError();
    void failuresBecomeStoredStatusRows_data();
    void failuresBecomeStoredStatusRows();
    void errorAfterTheFinalReplyKeepsTheAnswer();
    void lateStreamDataChangesNothing_data();
    void lateStreamDataChangesNothing();
    void anEmptyEventClearsAnswerAndReasoning();
    void aBurstOfEventsEndsWithTheLastAtOnce();
    void regenerateReplacesOnlyTheAnswer();
    void copyPutsPlainTextOnTheClipboard();
    void reopenedConversationContinuesItsSession();
    void modeFlagsPickTheProviderRecord_data();
    void modeFlagsPickTheProviderRecord();
    void renameChangesListAndIndex();
    void conversationsInTheSameSecondGetTheirOwnFiles();

private:
    void makeManager();
    void askAndWait(const QString& question);
    QJsonObject lastEngineRequest();
    QVector<ChatHistoryStore::Message> storedMessages(int conversation = -1) const;
    int usedCount(const QString& serial);

    DevServerProcess server;
    std::unique_ptr<StandInClient> standIn;
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ConfigEngine> config;
    std::unique_ptr<OvSeverHandler> service;
    std::unique_ptr<DialogManager> manager;
    QString serial;
};

void TestDialogManager::initTestCase()
{
    QVERIFY2(server.start({QStringLiteral("--pace-ms"), QStringLiteral("2")}),
             qPrintable(server.errorText()));
    standIn = std::make_unique<StandInClient>(server.baseUrl());
}

void TestDialogManager::init()
{
    env = std::make_unique<TestEnvironment>();
    qputenv("LUMORA_SERVICE_URL", server.baseUrl().toUtf8());
    qputenv("LUMORA_ENGINE_URL", server.baseUrl().toUtf8());
    QVERIFY(standIn->setScenario("normal"));
    serial = QStringLiteral("SN-%1-%2")
                 .arg(QString::fromLatin1(QTest::currentTestFunction()))
                 .arg(QString::fromLatin1(QTest::currentDataTag()));
    config = std::make_unique<ConfigEngine>();
    config->initialize({{QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
}

void TestDialogManager::cleanup()
{
    manager.reset();
    service.reset();
    config.reset();
    env.reset();
}

// A manager whose web service client already holds the provider list.
void TestDialogManager::makeManager()
{
    service = std::make_unique<OvSeverHandler>();
    QSignalSpy listed(service.get(), &OvSeverHandler::sigAIApiReply);
    service->requestApiList();
    QVERIFY(listed.wait(5000));
    manager = std::make_unique<DialogManager>(config.get(), service.get());
    manager->setDeviceSn(serial);
}

void TestDialogManager::askAndWait(const QString& question)
{
    manager->sendMessage(question);
    QTRY_VERIFY_WITH_TIMEOUT(manager->responseGenerated(), 15000);
}

QJsonObject TestDialogManager::lastEngineRequest()
{
    const StandInClient::Answer answer = standIn->get(QStringLiteral("/dev/engine/last-request"));
    const QJsonObject reply = QJsonDocument::fromJson(answer.body).object();
    return QJsonDocument::fromJson(reply.value(QStringLiteral("body")).toString().toUtf8())
        .object();
}

QVector<ChatHistoryStore::Message> TestDialogManager::storedMessages(int conversation) const
{
    manager->flushHistory();
    const int row = conversation < 0 ? manager->currentIndex() : conversation;
    const QString fileName = manager->dialogInfoModel()->items().at(row).fileName;
    return ChatHistoryStore(config->dataLocation()).loadConversation(fileName).messages;
}

int TestDialogManager::usedCount(const QString& sn)
{
    const QJsonObject reply = standIn->count(QStringLiteral("/v1/ai/api/getCount"), sn);
    return reply.value(QStringLiteral("data"))
        .toObject()
        .value(QStringLiteral("usedCount"))
        .toInt();
}

void TestDialogManager::firstQuestionIsShownStoredAndCounted()
{
    makeManager();
    manager->setReasonModeActive(true); // deep thinking: reasoning before the answer
    DialogModel* messages = manager->dialogModel();
    QAbstractItemModelTester tester(messages);
    QSignalSpy resets(messages, &QAbstractItemModel::modelReset);
    QSignalSpy changes(messages, &QAbstractItemModel::dataChanged);
    QSignalSpy counted(service.get(), &OvSeverHandler::sigAICountValue);

    const QString question =
        QStringLiteral("What makes a keyboard pleasant to type on? [fault:short] ...");
    manager->sendMessage(question);

    QCOMPARE(manager->dialogInfoModel()->rowCount(), 1);
    const DialogInfoRecord info = manager->dialogInfoModel()->items().at(0);
    QCOMPARE(info.title, question.left(30));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{14}$")).match(info.fileName).hasMatch());
    QCOMPARE(manager->currentIndex(), 0);
    QCOMPARE(messages->rowCount(), 2);
    QCOMPARE(messages->contentAt(0), question);
    QCOMPARE(messages->contentAt(1), Placeholder);
    manager->flushHistory();
    const ChatHistoryStore store(config->dataLocation());
    QCOMPARE(store.loadIndex().size(), 1);
    QCOMPARE(storedMessages().size(), 1); // the placeholder is not stored

    QTRY_VERIFY_WITH_TIMEOUT(manager->responseGenerated(), 15000);
    QCOMPARE(messages->rowCount(), 2);
    QCOMPARE(resets.count(), 1); // the placeholder went once, at the first event
    bool answerReplaced = false;
    bool reasoningReplaced = false;
    for (const QList<QVariant>& change : changes) {
        const auto roles = change.at(2).value<QVector<int>>();
        answerReplaced |= roles == QVector<int> {1};
        reasoningReplaced |= roles == QVector<int> {2};
    }
    QVERIFY(answerReplaced);
    QVERIFY(reasoningReplaced);

    const DialogRecord answer = messages->items().at(1);
    QCOMPARE(answer.sender, 1);
    QVERIFY(answer.content.contains(QLatin1String("<html>")));
    QVERIFY(!answer.content.contains(QLatin1String("<body")));
    QVERIFY(!answer.reasoningContent.isEmpty());

    const auto stored = storedMessages();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(1).content, answer.content);
    QCOMPARE(stored.at(1).reasoningContent, answer.reasoningContent);

    QTRY_COMPARE(counted.count(), 1);
    QCOMPARE(usedCount(serial), 1);
}

void TestDialogManager::noProviderRecordGivesNetworkError()
{
    QVERIFY(standIn->setScenario("foreign-only"));
    makeManager();
    manager->sendMessage(QStringLiteral("Anyone there?"));

    QVERIFY(manager->responseGenerated());
    QCOMPARE(manager->dialogModel()->rowCount(), 2);
    QCOMPARE(manager->dialogModel()->contentAt(1), NetworkError);
    const auto stored = storedMessages();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(1).content, NetworkError);
}

void TestDialogManager::failuresBecomeStoredStatusRows_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("text");
    QTest::newRow("http error") << QStringLiteral("http500") << ServerBusy;
    QTest::newRow("error event") << QStringLiteral("error-event") << ServerBusy;
    QTest::newRow("refusal") << QStringLiteral("refuse") << Refusal;
}

// Failures before any answer text; a failure after part of the answer keeps that part
// (tst_conversationcontrol).
void TestDialogManager::failuresBecomeStoredStatusRows()
{
    QFETCH(QString, fault);
    QFETCH(QString, text);
    makeManager();
    askAndWait(QStringLiteral("Tell me [fault:%1]").arg(fault));

    QCOMPARE(manager->dialogModel()->rowCount(), 2);
    QCOMPARE(manager->dialogModel()->contentAt(1), text);
    const auto stored = storedMessages();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(1).content, text);
    QCOMPARE(usedCount(serial), 0); // failures are not counted
}

void TestDialogManager::errorAfterTheFinalReplyKeepsTheAnswer()
{
    makeManager();
    askAndWait(QStringLiteral("Short one [fault:short]"));
    const QString answer = manager->dialogModel()->contentAt(1);

    emit manager->providerClient()->error(DeepSeekHandler::ServerBusy);
    QCOMPARE(manager->dialogModel()->rowCount(), 2);
    QCOMPARE(manager->dialogModel()->contentAt(1), answer);
    QCOMPARE(storedMessages().size(), 2);
}

void TestDialogManager::lateStreamDataChangesNothing_data()
{
    QTest::addColumn<QString>("question");
    QTest::newRow("after the final reply") << QStringLiteral("Short one [fault:short]");
    QTest::newRow("after a refusal") << QStringLiteral("Bad one [fault:refuse]");
}

// The network may still hand over events once the answer has ended; the answer on screen and
// in the file stays as it ended, and is neither stored nor counted again.
void TestDialogManager::lateStreamDataChangesNothing()
{
    QFETCH(QString, question);
    makeManager();
    askAndWait(question);
    const QString answer = manager->dialogModel()->contentAt(1);
    const QVector<ChatHistoryStore::Message> stored = storedMessages();
    QCOMPARE(stored.size(), 2);

    DeepSeekHandler* provider = manager->providerClient();
    emit provider->receivedStreamingData(QStringLiteral("Late **text**"), QString(), false);
    emit provider->receivedStreamingData(QString(), QStringLiteral("late thought"), false);
    emit provider->receivedStreamingData(QStringLiteral("Late **text** ended"), QString(), true);
    QCOMPARE(manager->dialogModel()->rowCount(), 2);
    QCOMPARE(manager->dialogModel()->contentAt(1), answer);
    QCOMPARE(manager->dialogModel()->items().at(1).reasoningContent, QString());
    QCOMPARE(storedMessages().size(), 2);
    QCOMPARE(storedMessages().at(1).content, stored.at(1).content);
    QVERIFY(manager->responseGenerated());
}

void TestDialogManager::anEmptyEventClearsAnswerAndReasoning()
{
    makeManager();
    manager->dialogInfoModel()->append(QStringLiteral("t"), QStringLiteral("20260101000000"),
                                       QDateTime::currentDateTime());
    manager->setCurrentIndex(manager->dialogInfoModel()->rowCount() - 1);
    manager->dialogModel()->append(0, QStringLiteral("q"), QString());
    manager->dialogModel()->append(1, Placeholder, QString());
    DeepSeekHandler* provider = manager->providerClient();
    emit provider->receivedStreamingData(QString(), QStringLiteral("thinking"), false);
    emit provider->receivedStreamingData(QStringLiteral("partial *answer*"), QString(), false);
    // Updates within one frame are shown together at the frame's end.
    QTRY_VERIFY(manager->dialogModel()->items().at(1).content.contains(QStringLiteral("answer")));
    QVERIFY(manager->dialogModel()->items().at(1).reasoningContent.contains(
        QStringLiteral("thinking")));

    emit provider->receivedStreamingData(QString(), QString(), false);
    QTRY_COMPARE(manager->dialogModel()->items().at(1).content, QString());
    QCOMPARE(manager->dialogModel()->items().at(1).reasoningContent, QString());
    emit provider->receivedStreamingData(QStringLiteral("fresh"), QString(), true);
    QCOMPARE(manager->dialogModel()->contentAt(1),
             MarkdownRenderer::toHtml(QStringLiteral("fresh")));
}

// Events that arrive faster than frames are shown at most once per frame, but the final one
// is shown at once, complete; it is stored once converted whole, off the window's thread.
void TestDialogManager::aBurstOfEventsEndsWithTheLastAtOnce()
{
    makeManager();
    manager->dialogInfoModel()->append(QStringLiteral("t"), QStringLiteral("20260101000001"),
                                       QDateTime::currentDateTime());
    manager->setCurrentIndex(manager->dialogInfoModel()->rowCount() - 1);
    manager->dialogModel()->append(0, QStringLiteral("q"), QString());
    manager->dialogModel()->append(1, Placeholder, QString());
    QSignalSpy changes(manager->dialogModel(), &QAbstractItemModel::dataChanged);
    DeepSeekHandler* provider = manager->providerClient();
    QString answer;
    for (int i = 0; i < 50; ++i) {
        answer += QStringLiteral("Part %1 of the **answer**.\n\n").arg(i);
        emit provider->receivedStreamingData(answer, QString(), false);
    }
    QVERIFY(changes.count() < 10);
    answer += QStringLiteral("The end.");
    emit provider->receivedStreamingData(answer, QString(), true);
    QCOMPARE(manager->dialogModel()->contentAt(1), MarkdownRenderer::toHtml(answer));
    QTRY_VERIFY(manager->responseGenerated());
    QCOMPARE(manager->dialogModel()->contentAt(1), MarkdownRenderer::toHtml(answer));
    QCOMPARE(storedMessages().size(), 1);
    QCOMPARE(storedMessages().at(0).content, MarkdownRenderer::toHtml(answer));
}

void TestDialogManager::regenerateReplacesOnlyTheAnswer()
{
    makeManager();
    const QString question = QStringLiteral("Once more [fault:short]");
    askAndWait(question);
    QCOMPARE(storedMessages().size(), 2);

    manager->regenerate();
    QCOMPARE(manager->dialogModel()->rowCount(), 2);
    QCOMPARE(manager->dialogModel()->contentAt(0), question);
    QCOMPARE(manager->dialogModel()->contentAt(1), Placeholder);
    QCOMPARE(storedMessages().size(), 1); // the old answer left the file too

    QTRY_VERIFY_WITH_TIMEOUT(manager->responseGenerated(), 15000);
    const auto stored = storedMessages();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(0).content, question);
    QCOMPARE(stored.at(1).sender, 1);

    // Nothing to do on an empty list.
    manager->dialogModel()->clearAll();
    manager->regenerate();
    QCOMPARE(manager->dialogModel()->rowCount(), 0);
}

void TestDialogManager::copyPutsPlainTextOnTheClipboard()
{
    makeManager();
    DialogModel* messages = manager->dialogModel();
    messages->append(0, QStringLiteral("A **question** stays as typed"), QString());
    messages->append(1, Placeholder, QString());
    QVERIFY(QMetaObject::invokeMethod(manager.get(), "onReceivedStreamingData",
                                      Q_ARG(QString, QStringLiteral("Type **gently**, please.")),
                                      Q_ARG(QString, QString()), Q_ARG(bool, false)));
    const QString html = messages->contentAt(1);
    QVERIFY(html.contains(QLatin1String("font-weight:600;\">gently</span>")));
    QVERIFY(!html.contains(QLatin1String("<body")));

    QClipboard* clipboard = QGuiApplication::clipboard();
    manager->copy(1);
    QCOMPARE(clipboard->text(), QStringLiteral("Type gently, please."));
    manager->copy(0);
    QCOMPARE(clipboard->text(), QString());
    clipboard->setText(QStringLiteral("untouched"));
    manager->copy(-1);
    manager->copy(2);
    QCOMPARE(clipboard->text(), QStringLiteral("untouched"));
}

void TestDialogManager::reopenedConversationContinuesItsSession()
{
    const QString fileName = QStringLiteral("20261201093000");
    const ChatHistoryStore store(config->dataLocation());
    store.appendIndexEntry(QStringLiteral("Earlier"), fileName,
                           QDateTime(QDate(2026, 12, 1), QTime(9, 30)));
    for (int i = 0; i < 3; ++i) {
        store.appendMessage(fileName, i == 0, 0, QStringLiteral("question %1").arg(i), QString());
        store.appendMessage(fileName, false, 1, QStringLiteral("<p>answer %1</p>").arg(i),
                            QString());
    }
    makeManager();
    QCOMPARE(manager->dialogInfoModel()->rowCount(), 1);
    manager->setCurrentIndex(0);
    manager->parseJSONToCurrentChat();
    QCOMPARE(manager->dialogModel()->rowCount(), 6);
    QVERIFY(manager->responseGenerated());

    askAndWait(QStringLiteral("And now? [fault:short]"));
    QJsonObject sent = lastEngineRequest();
    QCOMPARE(sent.value(QStringLiteral("request_id")), QJsonValue(QStringLiteral("3")));
    QCOMPARE(sent.value(QStringLiteral("session_id")), QJsonValue(fileName));
    QCOMPARE(sent.value(QStringLiteral("visitor_biz_id")), QJsonValue(serial));
    QCOMPARE(store.loadConversation(fileName).messages.size(), 8);

    // A conversation started in this run sends 0 with every question.
    manager->dialogModel()->clearAll();
    askAndWait(QStringLiteral("Fresh start [fault:short]"));
    askAndWait(QStringLiteral("Second question [fault:short]"));
    sent = lastEngineRequest();
    QCOMPARE(sent.value(QStringLiteral("request_id")), QJsonValue(QStringLiteral("0")));
    QCOMPARE(sent.value(QStringLiteral("session_id")),
             QJsonValue(manager->dialogInfoModel()->items().at(1).fileName));
}

void TestDialogManager::modeFlagsPickTheProviderRecord_data()
{
    QTest::addColumn<bool>("reason");
    QTest::addColumn<bool>("search");
    QTest::addColumn<QString>("key");
    QTest::newRow("normal") << false << false << QStringLiteral("lumora-dev-mode-0");
    QTest::newRow("deep thinking") << true << false << QStringLiteral("lumora-dev-mode-1");
    QTest::newRow("online search") << false << true << QStringLiteral("lumora-dev-mode-2");
    QTest::newRow("both") << true << true << QStringLiteral("lumora-dev-mode-3");
}

void TestDialogManager::modeFlagsPickTheProviderRecord()
{
    QFETCH(bool, reason);
    QFETCH(bool, search);
    QFETCH(QString, key);
    makeManager();
    manager->setReasonModeActive(reason);
    manager->setSearchModeActive(search);
    askAndWait(QStringLiteral("Which one answers? [fault:short]"));
    QCOMPARE(lastEngineRequest().value(QStringLiteral("bot_app_key")).toString(), key);
    QCOMPARE(manager->dialogModel()->items().at(1).reasoningContent.isEmpty(), !reason);
}

void TestDialogManager::renameChangesListAndIndex()
{
    makeManager();
    askAndWait(QStringLiteral("Name me [fault:short]"));
    QSignalSpy changes(manager->dialogInfoModel(), &QAbstractItemModel::dataChanged);
    manager->modifyTitleAtIndex(QStringLiteral("Keyboard care"), 0);

    QCOMPARE(changes.count(), 1);
    QCOMPARE(manager->dialogInfoModel()->items().at(0).title, QStringLiteral("Keyboard care"));
    const auto index = ChatHistoryStore(config->dataLocation()).loadIndex();
    QCOMPARE(index.size(), 1);
    QCOMPARE(index.at(0).title, QStringLiteral("Keyboard care"));
}

void TestDialogManager::conversationsInTheSameSecondGetTheirOwnFiles()
{
    // Conversations already stored under this second and the next few: a new one started
    // now must not reuse any of their files.
    const ChatHistoryStore store(config->dataLocation());
    const QDateTime now = QDateTime::currentDateTime();
    QStringList taken;
    for (int i = 0; i < 4; ++i) {
        const QString name = now.addSecs(i).toString(QStringLiteral("yyyyMMddHHmmss"));
        taken << name;
        store.appendIndexEntry(QStringLiteral("old %1").arg(i), name, now.addSecs(i));
        store.appendMessage(name, true, 0, QStringLiteral("old question %1").arg(i), QString());
    }
    makeManager();
    askAndWait(QStringLiteral("First new [fault:short]"));
    manager->dialogModel()->clearAll();
    askAndWait(QStringLiteral("Second new [fault:short]"));

    QStringList names;
    for (const DialogInfoRecord& record : manager->dialogInfoModel()->items())
        names << record.fileName;
    QCOMPARE(names.size(), 6);
    QCOMPARE(names.mid(0, 4), taken);
    QVERIFY(!taken.contains(names.at(4)));
    QVERIFY(names.at(5) != names.at(4));
    for (const QString& name : names)
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{14}$")).match(name).hasMatch());
    for (int i = 0; i < 4; ++i) {
        const auto old = store.loadConversation(taken.at(i)).messages;
        QCOMPARE(old.size(), 1);
        QCOMPARE(old.at(0).content, QStringLiteral("old question %1").arg(i));
    }
    QCOMPARE(storedMessages(4).at(0).content, QStringLiteral("First new [fault:short]"));
    QCOMPARE(storedMessages(5).at(0).content, QStringLiteral("Second new [fault:short]"));
}

QTEST_MAIN(TestDialogManager)
#include "tst_dialogmanager.moc"
