#include "support/devserverprocess.h"
#include "support/testenvironment.h"

#include "core/jsonfile.h"
#include "core/languagemanager.h"
#include "shell/firstrunwindows.h"
#include "shell/viewhandler.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QtTest>

#include <memory>

namespace {

// Nothing listens there: the start-up request for the provider list never leaves the machine,
// and the links are caught by the URL handler before any browser would see them.
const QByteArray ServiceUrl = "http://127.0.0.1:9";

QQuickItem* itemIn(QQuickWindow* window, const char* name)
{
    return window ? window->findChild<QQuickItem*>(QLatin1String(name)) : nullptr;
}

bool click(QQuickWindow* window, const char* name)
{
    QQuickItem* item = itemIn(window, name);
    if (!item || !item->isVisible())
        return false;
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    return true;
}

// The Accessible attached object lives among the item's QObject children.
QString accessibleName(QObject* item)
{
    for (QObject* child : item->children()) {
        if (qstrcmp(child->metaObject()->className(), "QQuickAccessibleAttached") == 0)
            return child->property("name").toString();
    }
    return QString();
}

QRect centred(const QSize& size, int raisedBy)
{
    const QSize available = QGuiApplication::primaryScreen()->availableSize();
    return QRect((available.width() - size.width()) / 2,
                 (available.height() - size.height()) / 2 - raisedBy, size.width(), size.height());
}

} // namespace

// Stands in for the browser: records what the views ask to open.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void openUrl(const QUrl& url) { urls.append(url); }
};

class TestFirstRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void freshHomeShowsTheAgreement();
    void agreeWithoutTheTickDoesNothing();
    void tickAndAgreeOpenTheGuideAboveCentre();
    void linksOpenThePagesOfTheService_data();
    void linksOpenThePagesOfTheService();
    void laterStartOpensTheGuideDirectly();
    void openWindowFollowsALanguageChange();
    // Last: each runs the application's event loop until the window ends it.
    void refusingEndsTheApplication_data();
    void refusingEndsTheApplication();

private:
    std::unique_ptr<ViewHandler> makeHandler();
    QJsonValue storedFirstStart() const;
    QQuickWindow* shownAgreement(ViewHandler* handler);

    std::unique_ptr<TestEnvironment> env;
    UrlCatcher catcher;
};

void TestFirstRun::initTestCase()
{
    Q_INIT_RESOURCE(qml);
    qputenv("LUMORA_SERVICE_URL", ServiceUrl);
    qputenv("LUMORA_ENGINE_URL", ServiceUrl);
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "openUrl");
}

void TestFirstRun::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    catcher.urls.clear();
}

void TestFirstRun::cleanup()
{
    env.reset();
}

std::unique_ptr<ViewHandler> TestFirstRun::makeHandler()
{
    return std::make_unique<ViewHandler>();
}

QJsonValue TestFirstRun::storedFirstStart() const
{
    const QString path = env->configHome() + QLatin1Char('/') + QCoreApplication::applicationName()
        + QStringLiteral("/configs/config.json");
    return JsonFile::read(path).document.object().value(QStringLiteral("FirstStart"));
}

QQuickWindow* TestFirstRun::shownAgreement(ViewHandler* handler)
{
    QQuickWindow* agreement = handler->firstRunWindows()->agreementWindow();
    if (agreement && !QTest::qWaitForWindowExposed(agreement))
        return nullptr;
    return agreement;
}

void TestFirstRun::freshHomeShowsTheAgreement()
{
    const auto handler = makeHandler();
    QQuickWindow* agreement = shownAgreement(handler.get());
    QVERIFY(agreement);
    QVERIFY(!handler->firstRunWindows()->guideWindow());
    QCOMPARE(agreement->geometry(), centred(QSize(600, 178), 0));
    QVERIFY(agreement->flags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(agreement->flags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(storedFirstStart(), QJsonValue(QStringLiteral("false")));
    QVERIFY(!handler->isVisible());

    // Every interactive item can be found and is named for screen readers.
    for (const char* name : {"agreeCheck", "userAgreementLink", "privacyPolicyLink", "cancelButton",
                             "agreeButton", "closeButton"}) {
        QQuickItem* item = itemIn(agreement, name);
        QVERIFY2(item, name);
        QVERIFY2(!accessibleName(item).isEmpty(), name);
    }
}

void TestFirstRun::agreeWithoutTheTickDoesNothing()
{
    const auto handler = makeHandler();
    QQuickWindow* agreement = shownAgreement(handler.get());
    QVERIFY(agreement);
    QSignalSpy accepted(handler.get(), &ViewHandler::firstStartChanged);

    QVERIFY(click(agreement, "agreeButton"));
    QVERIFY(agreement->isVisible());
    QVERIFY(!handler->firstStart());
    QCOMPARE(accepted.count(), 0);
    QCOMPARE(storedFirstStart(), QJsonValue(QStringLiteral("false")));
    QVERIFY(!handler->firstRunWindows()->guideWindow());

    // Ticked and cleared again: still nothing.
    QVERIFY(click(agreement, "agreeCheck"));
    QVERIFY(handler->agreePolicy());
    QVERIFY(click(agreement, "agreeCheck"));
    QVERIFY(!handler->agreePolicy());
    QVERIFY(click(agreement, "agreeButton"));
    QVERIFY(agreement->isVisible());
    QCOMPARE(storedFirstStart(), QJsonValue(QStringLiteral("false")));
}

void TestFirstRun::tickAndAgreeOpenTheGuideAboveCentre()
{
    const auto handler = makeHandler();
    QQuickWindow* agreement = shownAgreement(handler.get());
    QVERIFY(agreement);

    QVERIFY(click(agreement, "agreeCheck"));
    QVERIFY(handler->agreePolicy());
    QVERIFY(itemIn(agreement, "agreeCheck")->property("checked").toBool());
    QVERIFY(click(agreement, "agreeButton"));

    QVERIFY(handler->firstStart());
    QCOMPARE(storedFirstStart(), QJsonValue(QStringLiteral("true")));
    QTRY_VERIFY(!agreement->isVisible());
    QQuickWindow* guide = handler->firstRunWindows()->guideWindow();
    QVERIFY(guide);
    QVERIFY(QTest::qWaitForWindowExposed(guide));
    QCOMPARE(guide->geometry(), centred(QSize(524, 262), 50));
    QVERIFY(!guide->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!handler->isVisible());

    // Closing the guide brings up the chat window.
    QVERIFY(click(guide, "closeButton"));
    QTRY_VERIFY(!guide->isVisible());
    QVERIFY(handler->isVisible());
}

void TestFirstRun::linksOpenThePagesOfTheService_data()
{
    QTest::addColumn<QByteArray>("link");
    QTest::addColumn<QString>("path");
    QTest::newRow("user agreement")
        << QByteArray("userAgreementLink") << QStringLiteral("/static/user-agreement.html");
    QTest::newRow("privacy policy")
        << QByteArray("privacyPolicyLink") << QStringLiteral("/static/privacy-policy.html");
}

// Against the stand-in of the maker's service, as in the demo: the caught address is the
// configured host's page, and that page is there.
void TestFirstRun::linksOpenThePagesOfTheService()
{
    QFETCH(QByteArray, link);
    QFETCH(QString, path);
    DevServerProcess server;
    QVERIFY2(server.start(), qPrintable(server.errorText()));
    qputenv("LUMORA_SERVICE_URL", server.baseUrl().toUtf8());
    const auto handler = makeHandler();
    qputenv("LUMORA_SERVICE_URL", ServiceUrl);
    QCOMPARE(handler->serviceUrl(), server.baseUrl());
    QQuickWindow* agreement = shownAgreement(handler.get());
    QVERIFY(agreement);

    QVERIFY(click(agreement, link.constData()));
    QCOMPARE(catcher.urls.size(), 1);
    const QUrl url = catcher.urls.first();
    const QUrl service(server.baseUrl());
    QCOMPARE(url.scheme(), service.scheme());
    QCOMPARE(url.host(), service.host());
    QCOMPARE(url.port(), service.port());
    QCOMPARE(url.path(), path);
    QVERIFY(agreement->isVisible()); // reading the pages does not accept them
    QVERIFY(!handler->agreePolicy());

    QNetworkAccessManager network;
    std::unique_ptr<QNetworkReply> page(network.get(QNetworkRequest(url)));
    QSignalSpy finished(page.get(), &QNetworkReply::finished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(page->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    QVERIFY(page->readAll().contains("<html"));
}

void TestFirstRun::laterStartOpensTheGuideDirectly()
{
    {
        const auto first = makeHandler();
        QQuickWindow* agreement = shownAgreement(first.get());
        QVERIFY(agreement);
        QVERIFY(click(agreement, "agreeCheck"));
        QVERIFY(click(agreement, "agreeButton"));
        QCOMPARE(storedFirstStart(), QJsonValue(QStringLiteral("true")));
    }
    const auto second = makeHandler();
    QVERIFY(!second->firstRunWindows()->agreementWindow());
    QQuickWindow* guide = second->firstRunWindows()->guideWindow();
    QVERIFY(guide);
    QVERIFY(QTest::qWaitForWindowExposed(guide));
    QCOMPARE(guide->geometry(), centred(QSize(524, 262), 0));
    QVERIFY(second->firstStart());
}

void TestFirstRun::openWindowFollowsALanguageChange()
{
    const auto handler = makeHandler();
    QQuickWindow* agreement = shownAgreement(handler.get());
    QVERIFY(agreement);
    QQuickItem* title = itemIn(agreement, "titleText");
    QVERIFY(title);
    QCOMPARE(title->property("text").toString(),
             QStringLiteral("User Agreement and Privacy Policy"));
    handler->languageManager()->setOptLanguageIndex(0);
    QCOMPARE(title->property("text").toString(), QStringLiteral("用户协议与隐私政策"));
    QCOMPARE(itemIn(agreement, "agreeButton")->property("text").toString(), QStringLiteral("同意"));
    handler->languageManager()->setOptLanguageIndex(1);
    QCOMPARE(title->property("text").toString(),
             QStringLiteral("User Agreement and Privacy Policy"));
}

void TestFirstRun::refusingEndsTheApplication_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::newRow("cancel") << QByteArray("cancelButton");
    QTest::newRow("close cross") << QByteArray("closeButton");
    // The window manager's close (Alt+F4, the task bar) refuses as well.
    QTest::newRow("window closed") << QByteArray();
}

// The event loop of the application ends with 0, which is what main() returns.
void TestFirstRun::refusingEndsTheApplication()
{
    QFETCH(QByteArray, control);
    const auto handler = makeHandler();
    QQuickWindow* agreement = shownAgreement(handler.get());
    QVERIFY(agreement);

    bool clicked = false;
    QTimer::singleShot(0, agreement, [&] {
        clicked = control.isEmpty() ? agreement->close() : click(agreement, control.constData());
    });
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(clicked);
    QCOMPARE(storedFirstStart(), QJsonValue(QStringLiteral("false")));
}

QTEST_MAIN(TestFirstRun)
#include "tst_firstrun.moc"
