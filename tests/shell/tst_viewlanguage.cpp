#include "support/devserverprocess.h"
#include "support/testenvironment.h"

#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "core/languagemanager.h"
#include "service/ovseverhandler.h"
#include "shell/viewhandler.h"

#include <QQuickItem>
#include <QtTest>

#include <memory>

// The chat window in each language: the views' texts through qsTr, the conversation's status
// texts through tr, both from the translation files beside the executable.
class TestViewLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void placeholderFollowsTheLanguage_data();
    void placeholderFollowsTheLanguage();
    void refusalInChinese();

private:
    std::unique_ptr<ViewHandler> makeHandler(const QByteArray& language);
    QObject* input(ViewHandler* handler);

    DevServerProcess server;
    std::unique_ptr<TestEnvironment> env;
};

void TestViewLanguage::initTestCase()
{
    Q_INIT_RESOURCE(qml);
}

void TestViewLanguage::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    QVERIFY2(server.start(), qPrintable(server.errorText()));
    qputenv("LUMORA_SERVICE_URL", server.baseUrl().toUtf8());
    qputenv("LUMORA_ENGINE_URL", server.baseUrl().toUtf8());
}

void TestViewLanguage::cleanup()
{
    server.stop();
    env.reset();
}

std::unique_ptr<ViewHandler> TestViewLanguage::makeHandler(const QByteArray& language)
{
    // Accepted already: the guide opens, not the agreement.
    env->writeFile(QStringLiteral("config/") + QCoreApplication::applicationName()
                       + QStringLiteral("/configs/config.json"),
                   R"({"FirstStart": "true", "Language": ")" + language + R"("})");
    auto handler = std::make_unique<ViewHandler>();
    handler->setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    return handler;
}

QObject* TestViewLanguage::input(ViewHandler* handler)
{
    return handler->rootObject()
        ? handler->rootObject()->findChild<QObject*>(QStringLiteral("input"))
        : nullptr;
}

void TestViewLanguage::placeholderFollowsTheLanguage_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("connectFirst");
    QTest::addColumn<QString>("enterContent");
    QTest::newRow("zh_CN") << QByteArray("zh_CN") << QStringLiteral("请先连接设备并激活AI功能")
                           << QStringLiteral("请输入您的内容");
    QTest::newRow("en_US") << QByteArray("en_US")
                           << QStringLiteral("Please connect the device first and activate the "
                                             "AI \u200B\u200Bfunction")
                           << QStringLiteral("Please enter your content");
}

void TestViewLanguage::placeholderFollowsTheLanguage()
{
    QFETCH(QByteArray, language);
    QFETCH(QString, connectFirst);
    QFETCH(QString, enterContent);
    const auto handler = makeHandler(language);
    QCOMPARE(handler->status(), QQuickView::Ready);
    QObject* field = input(handler.get());
    QVERIFY(field);
    QCOMPARE(field->property("placeholderText").toString(), connectFirst);
    handler->setAllowQuestion(true);
    QCOMPARE(field->property("placeholderText").toString(), enterContent);

    // Another language chosen at run time: the open view follows at once.
    LanguageManager* languages = handler->languageManager();
    const int other = 1 - languages->optLanguageIndex();
    languages->setOptLanguageIndex(other);
    QVERIFY(field->property("placeholderText").toString() != enterContent);
    languages->setOptLanguageIndex(1 - other);
    QCOMPARE(field->property("placeholderText").toString(), enterContent);
}

// The refusal through the knowledge-engine stand-in, as the user gets it.
void TestViewLanguage::refusalInChinese()
{
    const auto handler = makeHandler("zh_CN");
    QSignalSpy list(handler->serverHandler(), &OvSeverHandler::sigAIApiReply);
    QVERIFY(list.wait(10000));
    DialogManager* conversation = handler->dialogManager();
    conversation->sendMessage(QStringLiteral("Tell me [fault:refuse]"));
    QCOMPARE(conversation->dialogModel()->contentAt(1), QStringLiteral("正在生成回答..."));
    QTRY_VERIFY_WITH_TIMEOUT(conversation->responseGenerated(), 15000);
    QCOMPARE(conversation->dialogModel()->contentAt(1),
             QStringLiteral("抱歉，我无法提供该信息。如果您有其他问题或需要其他帮助，我很乐意为您"
                            "解答！:)"));
}

QTEST_MAIN(TestViewLanguage)
#include "tst_viewlanguage.moc"
