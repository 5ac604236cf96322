#include "support/devserverprocess.h"
#include "support/standinclient.h"
#include "support/testenvironment.h"

#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "core/configengine.h"
#include "core/jsonfile.h"
#include "core/languagemanager.h"
#include "service/ovseverhandler.h"
#include "shell/settingspagemanager.h"
#include "shell/systemtrayicon.h"
#include "shell/thememanager.h"
#include "shell/viewhandler.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QtTest>

#include <memory>

using Type = OvSeverHandler::OvApiType;

class TestViewHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void construction();
    void publishesTheChatViewObjects();
    void mainViewBindsToWindowAndDialogManager();
    void usageReply_data();
    void usageReply();
    void countReportLeavesTheBarAway();
    void usedUpAllowanceBlocksQuestions();
    void unlimitedKeyboardKeepsQuestionsAllowed();
    void aiRequest();
    void apiListReplyDoesNotAskForTheListAgain();
    void setXandY_data();
    void setXandY();
    void prodColorType_data();
    void prodColorType();
    void skinModeAtStart_data();
    void skinModeAtStart();
    void skinModeChangeIsStored();
    void firstStart_data();
    void firstStart();
    void setFirstStartWritesOnlyChanges();
    void firstRunSlotsWithoutWindows();
    // Last on purpose: quitting leaves Qt's nested event loops unable to run again in this
    // process, so nothing that waits on a signal may follow.
    void closingQuits();

private:
    std::unique_ptr<ViewHandler> makeHandler(const QString& baseUrl = QString());
    QString userConfigPath() const;
    void writeUserConfig(const QByteArray& content);
    QJsonObject storedConfig() const;

    DevServerProcess server;
    std::unique_ptr<StandInClient> standIn;
    std::unique_ptr<TestEnvironment> env;
};

void TestViewHandler::initTestCase()
{
    Q_INIT_RESOURCE(qml);
}

// A fresh stand-in per test: its request log and usage counts start empty.
void TestViewHandler::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    QVERIFY2(server.start(), qPrintable(server.errorText()));
    standIn = std::make_unique<StandInClient>(server.baseUrl());
}

void TestViewHandler::cleanup()
{
    standIn.reset();
    server.stop();
    env.reset();
}

std::unique_ptr<ViewHandler> TestViewHandler::makeHandler(const QString& baseUrl)
{
    const QByteArray url = (baseUrl.isEmpty() ? server.baseUrl() : baseUrl).toUtf8();
    qputenv("LUMORA_SERVICE_URL", url);
    qputenv("LUMORA_ENGINE_URL", url);
    return std::make_unique<ViewHandler>();
}

QString TestViewHandler::userConfigPath() const
{
    return env->configHome() + QLatin1Char('/') + QCoreApplication::applicationName()
        + QStringLiteral("/configs/config.json");
}

void TestViewHandler::writeUserConfig(const QByteArray& content)
{
    QVERIFY(!env->writeFile(QStringLiteral("config/") + QCoreApplication::applicationName()
                                + QStringLiteral("/configs/config.json"),
                            content)
                 .isEmpty());
}

QJsonObject TestViewHandler::storedConfig() const
{
    return JsonFile::read(userConfigPath()).document.object();
}

void TestViewHandler::construction()
{
    const auto handler = makeHandler();
    QCOMPARE(MApplicationQuickView::appView(), handler.get());
    QCOMPARE(handler->radius(), 0);
    QCOMPARE(handler->shadowWeight(), 3);
    QVERIFY(handler->configEngine());
    QCOMPARE(handler->configEngine()->userConfigPath(), userConfigPath());
    QCOMPARE(handler->currentVersion(), QStringLiteral("1.0.0"));
    QVERIFY(!handler->isVisible());
    QVERIFY(!handler->allowQuestion());
    QVERIFY(!handler->notEnough());
    QVERIFY(!handler->topScreen());

    const Qt::WindowFlags flags = handler->flags();
    for (Qt::WindowType flag : {Qt::FramelessWindowHint, Qt::WindowMinimizeButtonHint,
                                Qt::WindowMaximizeButtonHint, Qt::NoDropShadowWindowHint})
        QVERIFY(flags.testFlag(flag));
    QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(handler->color(), QColor(5, 5, 5, 5));

    // Centred, but low enough that the open chat (641 high) fits above the bar; the
    // offscreen screen (800x600) is too short for that, so the bar sits at its bottom.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(available, QRect(0, 0, 800, 600));
    QCOMPARE(handler->geometry(), QRect((800 - 576) / 2, 600 - 66, 576, 66));
    QCOMPARE(handler->minimumSize(), QSize(576, 66));
    QCOMPARE(handler->maximumSize(), QSize(576, 66));
}

void TestViewHandler::publishesTheChatViewObjects()
{
    const auto handler = makeHandler();
    QQmlContext* context = handler->rootContext();
    QCOMPARE(context->contextProperty(QStringLiteral("window")).value<QObject*>(), handler.get());
    QVERIFY(handler->dialogManager());
    QCOMPARE(context->contextProperty(QStringLiteral("dialog_manager")).value<QObject*>(),
             handler->dialogManager());
    QCOMPARE(QQmlEngine::objectOwnership(handler.get()), QQmlEngine::CppOwnership);

    LanguageManager* languages = handler->languageManager();
    QVERIFY(languages);
    QCOMPARE(context->contextProperty(QStringLiteral("lang_HL")).value<QObject*>(), languages);
    QSignalSpy languageChanged(handler.get(), &ViewHandler::languageChanged);
    languages->setOptLanguageIndex(1 - languages->optLanguageIndex());
    QCOMPARE(languageChanged.count(), 1);
    QCOMPARE(handler->serviceUrl(), server.baseUrl());
}

void TestViewHandler::mainViewBindsToWindowAndDialogManager()
{
    const auto handler = makeHandler();
    handler->setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    QCOMPARE(handler->status(), QQuickView::Ready);
    QQuickItem* root = handler->rootObject();
    QVERIFY(root);
    QCOMPARE(root->size(), QSizeF(576, 66));
    QObject* input = root->findChild<QObject*>(QStringLiteral("input"));
    QVERIFY(input);
    const auto placeholder = [input] { return input->property("placeholderText").toString(); };
    QVERIFY(placeholder().startsWith(QStringLiteral("Please connect the device first")));
    handler->setNotEnough(true);
    QVERIFY(placeholder().startsWith(QStringLiteral("The balance is insufficient")));
    handler->setAllowQuestion(true);
    QCOMPARE(placeholder(), QStringLiteral("Please enter your content"));

    // The root follows the window when the views resize it.
    handler->show();
    QVERIFY(QTest::qWaitForWindowExposed(handler.get()));
    handler->setXandY(10, 10, 576, 300);
    QTRY_COMPARE(root->size(), QSizeF(576, 300));

    // A question typed into the bar reaches the conversation: question and pending answer.
    input->setProperty("text", QStringLiteral("hello"));
    QVERIFY(QMetaObject::invokeMethod(root, "send"));
    QCOMPARE(handler->dialogManager()->dialogModel()->rowCount(), 2);
    QCOMPARE(input->property("text").toString(), QString());
}

void TestViewHandler::usageReply_data()
{
    QTest::addColumn<int>("useCount");
    QTest::addColumn<int>("maxCount");
    QTest::addColumn<bool>("blocked");

    QTest::newRow("0 of 0: not limited") << 0 << 0 << false;
    QTest::newRow("0 of 50") << 0 << 50 << false;
    QTest::newRow("49 of 50") << 49 << 50 << false;
    QTest::newRow("50 of 50") << 50 << 50 << true;
    QTest::newRow("51 of 50") << 51 << 50 << true;
    QTest::newRow("3 of 0") << 3 << 0 << true;
}

// The count reported after an answer answers with the same values: they reach the bar, but
// a bar the user put away stays away.
void TestViewHandler::countReportLeavesTheBarAway()
{
    const auto handler = makeHandler();
    QVERIFY(!handler->isVisible());
    emit handler->serverHandler()->sigAICountValue(47, 50);
    emit handler->serverHandler()->sigAIApiReply(OvSeverHandler::API_ADD_COUNT, true, QString());
    QVERIFY(!handler->isVisible());
    QCOMPARE(handler->questionsLeft(), 3);
    QVERIFY(handler->allowanceLow());
    QVERIFY(ViewHandler::allowanceNearlyUsed(5, 50));
    QVERIFY(!ViewHandler::allowanceNearlyUsed(6, 50));
    QVERIFY(ViewHandler::allowanceNearlyUsed(100, 1000));
    QVERIFY(!ViewHandler::allowanceNearlyUsed(4, 20));
}

void TestViewHandler::usageReply()
{
    QFETCH(int, useCount);
    QFETCH(int, maxCount);
    QFETCH(bool, blocked);
    QCOMPARE(ViewHandler::quotaUsedUp(useCount, maxCount), blocked);

    const auto handler = makeHandler();
    handler->setAllowQuestion(true);
    QSignalSpy allowed(handler.get(), &ViewHandler::allowQuestionChanged);
    QSignalSpy notEnough(handler.get(), &ViewHandler::notEnoughChanged);
    // As the client reports a reply to the key press's count request.
    emit handler->serverHandler()->sigAICountValue(useCount, maxCount);
    emit handler->serverHandler()->sigAIApiReply(OvSeverHandler::API_GET_COUNT, true, QString());
    QCOMPARE(handler->allowQuestion(), !blocked);
    QCOMPARE(handler->notEnough(), blocked);
    QCOMPARE(allowed.count(), blocked ? 1 : 0);
    QCOMPARE(notEnough.count(), blocked ? 1 : 0);
    QVERIFY(handler->isVisible()); // the reply brings the chat window up
    QCOMPARE(handler->questionsLeft(), maxCount > 0 ? qMax(0, maxCount - useCount) : -1);

    // A later reply with room left does not reset notEnough; only the next key press
    // allows questions again.
    emit handler->serverHandler()->sigAICountValue(0, 50);
    QCOMPARE(handler->notEnough(), blocked);
    QCOMPARE(handler->allowQuestion(), !blocked);
}

// Through the real service: a keyboard whose 50 answers are used up.
void TestViewHandler::usedUpAllowanceBlocksQuestions()
{
    const QString sn = QStringLiteral("SN-USED-UP");
    for (int i = 0; i < 50; ++i)
        QCOMPARE(standIn->count(QStringLiteral("/v1/ai/api/addCount"), sn)
                     .value(QStringLiteral("code"))
                     .toInt(-1),
                 0);
    const auto handler = makeHandler();
    QSignalSpy counts(handler->serverHandler(), &OvSeverHandler::sigAICountValue);
    handler->slotAiRequest(sn);
    QVERIFY(handler->allowQuestion());
    QVERIFY(counts.wait(10000));
    QCOMPARE(counts.first().at(0).toInt(), 50);
    QCOMPARE(counts.first().at(1).toInt(), 50);
    QVERIFY(!handler->allowQuestion());
    QVERIFY(handler->notEnough());

    // The next key press allows questions again until its own reply arrives (the bar was put
    // away meanwhile: a press on the active bar would only put it away).
    handler->hide();
    handler->slotAiRequest(sn);
    QVERIFY(handler->allowQuestion());
    QVERIFY(counts.wait(10000));
    QVERIFY(!handler->allowQuestion());
}

void TestViewHandler::unlimitedKeyboardKeepsQuestionsAllowed()
{
    DevServerProcess unlimited;
    QVERIFY2(unlimited.start({QStringLiteral("--allowance"), QStringLiteral("0")}),
             qPrintable(unlimited.errorText()));
    const auto handler = makeHandler(unlimited.baseUrl());
    QSignalSpy counts(handler->serverHandler(), &OvSeverHandler::sigAICountValue);
    handler->slotAiRequest(QStringLiteral("SN-UNLIMITED"));
    QVERIFY(counts.wait(10000));
    QCOMPARE(counts.first().at(0).toInt(), 0);
    QCOMPARE(counts.first().at(1).toInt(), 0);
    QVERIFY(handler->allowQuestion());
    QVERIFY(!handler->notEnough());
}

void TestViewHandler::aiRequest()
{
    const QString sn = QStringLiteral("SN-AI-REQUEST");
    const auto handler = makeHandler();
    handler->setTopScreen(true);
    QVERIFY(handler->flags().testFlag(Qt::WindowStaysOnTopHint));
    QSignalSpy allowed(handler.get(), &ViewHandler::allowQuestionChanged);
    QSignalSpy counts(handler->serverHandler(), &OvSeverHandler::sigAICountValue);

    handler->slotAiRequest(sn);
    QVERIFY(handler->isVisible());
    QVERIFY(handler->allowQuestion());
    QCOMPARE(allowed.count(), 1);
    // Raised over everything for a moment only: the pin keeps its value, not the hint.
    QVERIFY(handler->topScreen());
    QVERIFY(!handler->flags().testFlag(Qt::WindowStaysOnTopHint));

    QVERIFY(counts.wait(10000));
    const QString serialInBody = QStringLiteral("\"deviceSn\":\"%1\"").arg(sn);
    QCOMPARE(standIn->requestCount(QStringLiteral("/v1/ai/api/getCount"), serialInBody), 1);

    // The conversation got the serial: the answer it reports for counting carries it.
    DialogManager* conversation = handler->dialogManager();
    QSignalSpy generated(conversation, &DialogManager::responseGeneratedChanged);
    conversation->sendMessage(QStringLiteral("What does the AI key do?"));
    QTRY_VERIFY_WITH_TIMEOUT(conversation->responseGenerated(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(
        standIn->requestCount(QStringLiteral("/v1/ai/api/addCount"), serialInBody), 1, 10000);

    handler->slotAiRequest(sn);
    QCOMPARE(allowed.count(), 1); // already allowed: no second notification
}

void TestViewHandler::apiListReplyDoesNotAskForTheListAgain()
{
    QVERIFY(standIn->setScenario("modes-0-3"));
    const auto handler = makeHandler();
    QSignalSpy apiReplies(handler->serverHandler(), &OvSeverHandler::sigAIApiReply);
    QVERIFY(apiReplies.wait(10000));
    QCOMPARE(apiReplies.first().at(0).value<Type>(), OvSeverHandler::API_LIST);
    QVERIFY(apiReplies.first().at(1).toBool());
    QVERIFY(handler->serverHandler()->storedApiInfo(1).isEmpty());

    // A request sent now travels behind any list request the reply might have started.
    handler->serverHandler()->getCount(QStringLiteral("SN-LIST"));
    QSignalSpy counts(handler->serverHandler(), &OvSeverHandler::sigAICountValue);
    QVERIFY(counts.wait(10000));
    QCOMPARE(standIn->requestCount(QStringLiteral("/v1/ai/api/list")), 1);
    int listReplies = 0;
    for (const QList<QVariant>& reply : qAsConst(apiReplies))
        listReplies += reply.at(0).value<Type>() == OvSeverHandler::API_LIST ? 1 : 0;
    QCOMPARE(listReplies, 1);
}

void TestViewHandler::setXandY_data()
{
    QTest::addColumn<QRect>("requested");
    QTest::addColumn<QRect>("expected");

    // The window stays on its screen (the offscreen one, 800x600).
    QTest::newRow("negative y, taller than the hints")
        << QRect(100, -20, 576, 300) << QRect(100, 0, 576, 300);
    QTest::newRow("negative x, wider") << QRect(-84, 40, 660, 500) << QRect(0, 40, 660, 500);
    QTest::newRow("taller than the screen: the top stays on it")
        << QRect(-84, 40, 660, 665) << QRect(0, 0, 660, 665);
    QTest::newRow("collapsed bar") << QRect(30, 30, 576, 66) << QRect(30, 30, 576, 66);
    QTest::newRow("beyond the far edges")
        << QRect(5000, 4000, 576, 66) << QRect(800 - 576, 600 - 66, 576, 66);
}

void TestViewHandler::setXandY()
{
    QFETCH(QRect, requested);
    QFETCH(QRect, expected);
    const auto handler = makeHandler();
    handler->show();
    QVERIFY(QTest::qWaitForWindowExposed(handler.get()));

    handler->setXandY(requested.x(), requested.y(), requested.width(), requested.height());
    QTRY_COMPARE(handler->geometry(), expected);
    QCOMPARE(handler->minimumSize(), expected.size());
    QCOMPARE(handler->maximumSize(), expected.size());

    // And back down: the hints of the larger size must not keep the window large.
    handler->setXandY(200, 100, 576, 66);
    QTRY_COMPARE(handler->geometry(), QRect(200, 100, 576, 66));
    QCOMPARE(handler->maximumSize(), QSize(576, 66));
}

void TestViewHandler::prodColorType_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QJsonValue>("stored"); // under "<name>_prodColorType" afterwards

    const QJsonValue none(QJsonValue::Undefined);
    QTest::newRow("empty name") << QByteArray("{}") << QString() << -1 << none;
    QTest::newRow("Z19 with ColorType 3")
        << QByteArray(R"({"ColorType": "3"})") << QStringLiteral("Z19") << 3 << QJsonValue(3);
    QTest::newRow("Z46 with empty ColorType")
        << QByteArray(R"({"ColorType": ""})") << QStringLiteral("Z46") << 1 << QJsonValue(1);
    QTest::newRow("Z46 without ColorType")
        << QByteArray("{}") << QStringLiteral("Z46") << 1 << QJsonValue(1);
    QTest::newRow("other product ignores ColorType")
        << QByteArray(R"({"ColorType": "3"})") << QStringLiteral("K7") << 1 << QJsonValue(1);
    QTest::newRow("stored value wins")
        << QByteArray(R"({"ColorType": "3", "Z19_prodColorType": 2})") << QStringLiteral("Z19") << 2
        << QJsonValue(2);
    QTest::newRow("stored empty text counts as absent")
        << QByteArray(R"({"K7_prodColorType": ""})") << QStringLiteral("K7") << 1 << QJsonValue(1);
    QTest::newRow("stored value that is no number")
        << QByteArray(R"({"K7_prodColorType": "dark"})") << QStringLiteral("K7") << 0
        << QJsonValue(QStringLiteral("dark"));
}

void TestViewHandler::prodColorType()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, name);
    QFETCH(int, expected);
    QFETCH(QJsonValue, stored);
    writeUserConfig(config);
    const auto handler = makeHandler();

    QCOMPARE(handler->getProdColorType(name), expected);
    QCOMPARE(handler->getProdColorType(name), expected); // and on every later call
    QCOMPARE(storedConfig().value(name + QStringLiteral("_prodColorType")), stored);
}

void TestViewHandler::skinModeAtStart_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("theme"); // empty: the one the system setting gives

    const QString light = QStringLiteral("LightTheme.qml");
    QTest::newRow("missing: the default") << QByteArray("{}") << 0 << QStringLiteral("0") << light;
    QTest::newRow("empty: repaired")
        << QByteArray(R"({"SkinMode": ""})") << 0 << QStringLiteral("0") << light;
    QTest::newRow("dark") << QByteArray(R"({"SkinMode": "1"})") << 1 << QStringLiteral("1")
                          << QStringLiteral("DarkTheme.qml");
    QTest::newRow("follow the system")
        << QByteArray(R"({"SkinMode": "2"})") << 2 << QStringLiteral("2") << QString();
    QTest::newRow("unknown: light")
        << QByteArray(R"({"SkinMode": "5"})") << 5 << QStringLiteral("5") << light;
}

void TestViewHandler::skinModeAtStart()
{
    QFETCH(QByteArray, config);
    QFETCH(int, mode);
    QFETCH(QString, stored);
    QFETCH(QString, theme);
    writeUserConfig(config);
    const auto handler = makeHandler();
    QCOMPARE(handler->skinMode(), mode);
    QCOMPARE(handler->sysSkinType(), mode);
    QCOMPARE(storedConfig().value(QStringLiteral("SkinMode")).toString(), stored);

    ThemeManager* themes = handler->themeManager();
    QVERIFY(themes);
    QCOMPARE(themes->parent(), handler.get());
    QCOMPARE(themes->currentTheme(), theme.isEmpty() ? themes->systemThemeFile() : theme);
}

void TestViewHandler::skinModeChangeIsStored()
{
    writeUserConfig(R"({"SkinMode": "0"})");
    const auto handler = makeHandler();
    QSignalSpy modeChanged(handler.get(), &ViewHandler::skinModeChanged);
    QSignalSpy typeChanged(handler.get(), &MQuickView::sysSkinTypeChanged);

    handler->setSkinMode(1);
    QCOMPARE(modeChanged.count(), 1);
    QCOMPARE(typeChanged.count(), 1);
    QCOMPARE(handler->sysSkinType(), 1);
    QCOMPARE(storedConfig().value(QStringLiteral("SkinMode")), QJsonValue(QStringLiteral("1")));

    handler->setSkinMode(1);
    QCOMPARE(modeChanged.count(), 1);

    handler->setSkinMode(2);
    QCOMPARE(storedConfig().value(QStringLiteral("SkinMode")), QJsonValue(QStringLiteral("2")));

    // The theme is chosen at start-up only.
    QCOMPARE(handler->themeManager()->currentTheme(), QStringLiteral("LightTheme.qml"));
}

void TestViewHandler::firstStart_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QJsonValue>("stored");

    QTest::newRow("absent: agreement, written as false")
        << QByteArray("{}") << false << QJsonValue(QStringLiteral("false"));
    QTest::newRow("accepted: guide")
        << QByteArray(R"({"FirstStart": "true"})") << true << QJsonValue(QStringLiteral("true"));
    QTest::newRow("JSON true is not accepted")
        << QByteArray(R"({"FirstStart": true})") << false << QJsonValue(QStringLiteral("false"));
    QTest::newRow("false: agreement again")
        << QByteArray(R"({"FirstStart": "false"})") << false << QJsonValue(QStringLiteral("false"));
    QTest::newRow("other text kept")
        << QByteArray(R"({"FirstStart": "yes"})") << false << QJsonValue(QStringLiteral("yes"));
}

// Whichever window the start wants opens, the other does not, and the flag is handled.
void TestViewHandler::firstStart()
{
    QFETCH(QByteArray, config);
    QFETCH(bool, accepted);
    QFETCH(QJsonValue, stored);
    writeUserConfig(config);
    const auto handler = makeHandler();

    QCOMPARE(handler->firstStart(), accepted);
    QCOMPARE(storedConfig().value(QStringLiteral("FirstStart")), stored);
    QCOMPARE(handler->firstRunWindows()->agreementWindow() != nullptr, !accepted);
    QCOMPARE(handler->firstRunWindows()->guideWindow() != nullptr, accepted);
    // The tray's settings window and its controller are windows of their own.
    const SystemTrayIcon* tray = handler->systemTrayIcon();
    QVERIFY(tray);
    QList<QWindow*> windows = QGuiApplication::topLevelWindows();
    windows.removeAll(tray->settingsWindow());
    windows.removeAll(tray->settingsManager());
    QCOMPARE(windows.size(), 2);
    QVERIFY(!handler->isVisible());
    QVERIFY(!tray->settingsWindow()->isVisible());
}

void TestViewHandler::setFirstStartWritesOnlyChanges()
{
    writeUserConfig(R"({"FirstStart": "false"})");
    const auto handler = makeHandler();
    QSignalSpy changed(handler.get(), &ViewHandler::firstStartChanged);

    handler->setFirstStart(true);
    QCOMPARE(changed.count(), 1);
    QVERIFY(handler->firstStart());
    QCOMPARE(storedConfig().value(QStringLiteral("FirstStart")),
             QJsonValue(QStringLiteral("true")));

    handler->setFirstStart(true);
    QCOMPARE(changed.count(), 1);
}

// The slots cope with windows that are not there: an agreement that was never opened, a guide
// that is already closed.
void TestViewHandler::firstRunSlotsWithoutWindows()
{
    writeUserConfig(R"({"FirstStart": "true"})");
    const auto handler = makeHandler();
    QVERIFY(!handler->firstRunWindows()->agreementWindow());
    QQuickWindow* guide = handler->firstRunWindows()->guideWindow();
    QVERIFY(guide);
    handler->onGuideCloseWindow();
    QVERIFY(!guide->isVisible());
    QVERIFY(handler->isVisible());
    handler->onGuideCloseWindow(); // nothing left to close; the chat window stays up
    QVERIFY(handler->isVisible());
    QCOMPARE(handler->windowState(), Qt::WindowNoState);
}

void TestViewHandler::closingQuits()
{
    const auto handler = makeHandler();
    handler->show();
    QVERIFY(QTest::qWaitForWindowExposed(handler.get()));
    QEventLoop loop;
    QTimer::singleShot(0, handler.get(), [&handler] { handler->close(); });
    QTimer::singleShot(10000, &loop, [&loop] { loop.exit(1); });
    QCOMPARE(loop.exec(), 0); // ended by the application's quit, not by the timeout
    QVERIFY(!handler->isVisible());
}

QTEST_MAIN(TestViewHandler)
#include "tst_viewhandler.moc"
