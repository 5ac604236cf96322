#include "support/testenvironment.h"

#include "core/configengine.h"
#include "core/constants.h"
#include "shell/mquickview.h"
#include "shell/settingspagemanager.h"
#include "shell/systemtrayicon.h"

#include <QCursor>
#include <QEventLoop>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QtTest>

#include <memory>

class TestSystemTrayIcon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void construction();
    void settingsItemShowsTheWindowAndDropsTheMenu();
    void otherItemOnlyClosesTheMenu();
    void menuClosesWhenTheCursorLeaves();
    void menuStaysInsideTheScreen();
    void leftClickRestoresAMinimisedChatWindow();
    void usageBar_data();
    void usageBar();
    void currentThemeEmitsOnlyOnChange();
    void dragMovesTheSettingsWindow();
    void autoStartSwitchFollowsTheSettings();
    void menuPalette_data();
    void menuPalette();
    // Last: once quit() has run, every later event loop of the process ends at once.
    void exitItemQuits();

private:
    QQuickItem* settingsItem(const char* name) const;

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ConfigEngine> config;
    std::unique_ptr<MQuickView> chat;
    std::unique_ptr<SystemTrayIcon> tray;
};

void TestSystemTrayIcon::initTestCase()
{
    Q_INIT_RESOURCE(qml);
}

void TestSystemTrayIcon::init()
{
    env = std::make_unique<TestEnvironment>();
    config = std::make_unique<ConfigEngine>();
    config->initialize({{QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
    chat = std::make_unique<MQuickView>(0, 3);
    chat->setConfigEngine(config.get());
    tray = std::make_unique<SystemTrayIcon>(chat.get());
    QCursor::setPos(QPoint(400, 400));
}

void TestSystemTrayIcon::cleanup()
{
    tray.reset();
    chat.reset();
    config.reset();
    env.reset();
}

QQuickItem* TestSystemTrayIcon::settingsItem(const char* name) const
{
    QQuickWindow* window = tray->settingsWindow();
    return window ? window->findChild<QQuickItem*>(QString::fromLatin1(name)) : nullptr;
}

void TestSystemTrayIcon::construction()
{
    QVERIFY(tray->trayIcon()->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable());
    QCOMPARE(tray->trayIcon()->toolTip(), APP_NAME);
    QVERIFY(!tray->trayIcon()->icon().isNull());
    QVERIFY(tray->settingsWindow());
    QVERIFY(!tray->settingsWindow()->isVisible());
    QCOMPARE(tray->settingsManager()->currentVersion(), APP_VERSION);
    QVERIFY(!tray->menuView());
    QCOMPARE(settingsItem("versionText")->property("text").toString(),
             QStringLiteral("当前版本V") + APP_VERSION);
    // The model choice is fixed: disabled, showing the first row.
    QQuickItem* models = settingsItem("defaultModelBox");
    QVERIFY(models);
    QVERIFY(!models->isEnabled());
    QCOMPARE(models->property("displayText").toString(), QStringLiteral("deepseek"));
}

void TestSystemTrayIcon::settingsItemShowsTheWindowAndDropsTheMenu()
{
    tray->openMenu();
    QPointer<MQuickView> menu = tray->menuView();
    QVERIFY(menu);
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->rootContext()->contextProperty(QStringLiteral("manager")).value<QObject*>(),
             tray.get());
    QVERIFY(menu->rootObject());
    QCOMPARE(menu->width(), 196);

    tray->itemClicked(0);
    QVERIFY(tray->settingsWindow()->isVisible());
    QVERIFY(!tray->menuView());
    QTRY_VERIFY(!menu);
    // The chat window still uses the shared timer.
    QVERIFY(MQuickView::sharedTimer()->isActive());
    tray->openMenu(); // a new menu for the next right click
    QVERIFY(tray->menuView());
    QVERIFY(tray->menuView() != nullptr && tray->menuView()->isVisible());
}

// A click writes through the controller and the switch keeps showing the stored value.
void TestSystemTrayIcon::autoStartSwitchFollowsTheSettings()
{
    QQuickWindow* window = tray->settingsWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QQuickItem* toggle = settingsItem("autoStartToggle");
    QVERIFY(toggle);
    QVERIFY(!toggle->property("checked").toBool());
    const QPointF centre = toggle->mapToScene(QPointF(toggle->width() / 2, toggle->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    QTRY_VERIFY(tray->settingsManager()->startUpAuto());
    QVERIFY(toggle->property("checked").toBool());
    QVERIFY(QFile::exists(env->configHome() + QStringLiteral("/autostart/lumora.desktop")));

    tray->settingsManager()->setStartUpAuto(false); // from elsewhere: the switch follows
    QTRY_VERIFY(!toggle->property("checked").toBool());
}

void TestSystemTrayIcon::menuPalette_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("text");

    QTest::newRow("light") << "LightTheme.qml" << QColor("#FFFFFF") << QColor("#0A0A0A");
    QTest::newRow("dark") << "DarkTheme.qml" << QColor("#161719") << QColor("#FFFFFF");
}

// The menu reads color7, color1, themeOneColor and themeOneColor8 from the palette in use.
void TestSystemTrayIcon::menuPalette()
{
    QFETCH(QString, theme);
    QFETCH(QColor, background);
    QFETCH(QColor, text);
    tray->setCurrentTheme(theme);
    tray->openMenu();
    QObject* root = tray->menuView()->rootObject();
    QVERIFY(root);
    QTRY_VERIFY(root->property("colours").value<QObject*>());
    QCOMPARE(root->property("menuBackground").value<QColor>(), background);
    QCOMPARE(root->property("textColor").value<QColor>(), text);
    for (const char* role : {"pressedColor", "hoveredColor"})
        QVERIFY(root->property(role).value<QColor>().isValid());
}

// quit() ends every running event loop with 0; a loop ended by the guard returns 7.
void TestSystemTrayIcon::exitItemQuits()
{
    tray->openMenu();
    QEventLoop loop;
    QTimer::singleShot(0, tray.get(), [this] { tray->itemClicked(1); });
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(7); });
    QCOMPARE(loop.exec(), 0);
    QVERIFY(!tray->menuView());
    QVERIFY(!tray->settingsWindow()->isVisible());
}

void TestSystemTrayIcon::otherItemOnlyClosesTheMenu()
{
    tray->openMenu();
    tray->itemClicked(2);
    tray->itemClicked(-1);
    QVERIFY(!tray->menuView());
    QVERIFY(!tray->settingsWindow()->isVisible());
}

void TestSystemTrayIcon::menuClosesWhenTheCursorLeaves()
{
    tray->openMenu();
    MQuickView* menu = tray->menuView();
    QVERIFY(menu->geometry().contains(QPoint(400, 350)));
    QSignalSpy ticks(MQuickView::sharedTimer(), &QTimer::timeout);
    // On its bottom edge, where it opened: stays open over a tick.
    QVERIFY(ticks.wait(3000));
    QVERIFY(menu->isVisible());
    QCursor::setPos(QPoint(20, 20));
    QTRY_VERIFY_WITH_TIMEOUT(!menu->isVisible(), 3000);
    QCOMPARE(tray->menuView(), menu); // kept for the next opening
    QCursor::setPos(QPoint(400, 400));
    tray->openMenu();
    QCOMPARE(tray->menuView(), menu);
    QVERIFY(menu->isVisible());
}

void TestSystemTrayIcon::menuStaysInsideTheScreen()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint& corner :
         {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()}) {
        QCursor::setPos(corner);
        tray->openMenu();
        QVERIFY2(area.contains(tray->menuView()->geometry()),
                 qPrintable(QStringLiteral("opened at %1,%2").arg(corner.x()).arg(corner.y())));
    }
}

void TestSystemTrayIcon::leftClickRestoresAMinimisedChatWindow()
{
    chat->resize(576, 66);
    chat->show();
    QVERIFY(QTest::qWaitForWindowExposed(chat.get()));
    chat->showMinimized();
    QTRY_COMPARE(chat->windowState(), Qt::WindowMinimized);
    emit tray->trayIcon()->activated(QSystemTrayIcon::Trigger);
    QTRY_COMPARE(chat->windowState(), Qt::WindowNoState);
    QVERIFY(chat->isVisible());

    chat->hide();
    emit tray->trayIcon()->activated(QSystemTrayIcon::DoubleClick);
    QTRY_VERIFY(chat->isVisible());
}

void TestSystemTrayIcon::usageBar_data()
{
    QTest::addColumn<int>("used");
    QTest::addColumn<int>("total");
    QTest::addColumn<qreal>("fill");
    QTest::addColumn<QString>("usedText");
    QTest::addColumn<QString>("totalText");

    QTest::newRow("25 of 50") << 25 << 50 << 125.0 << "25"
                              << "/50";
    QTest::newRow("0 of 0: empty") << 0 << 0 << 0.0 << "0"
                                   << "/0";
    QTest::newRow("5 of 0: empty") << 5 << 0 << 0.0 << "5"
                                   << "/0";
    QTest::newRow("60 of 50: the whole track, no more") << 60 << 50 << 250.0 << "60"
                                                        << "/50";
    QTest::newRow("50 of 50") << 50 << 50 << 250.0 << "50"
                              << "/50";
    QTest::newRow("negative count shows as 0") << -3 << 50 << 0.0 << "0"
                                               << "/50";
    QTest::newRow("negative total shows as 0") << 3 << -50 << 0.0 << "3"
                                               << "/0";
}

void TestSystemTrayIcon::usageBar()
{
    QFETCH(int, used);
    QFETCH(int, total);
    QFETCH(qreal, fill);
    QFETCH(QString, usedText);
    QFETCH(QString, totalText);
    emit tray->aiCount(used, total);
    QQuickItem* track = settingsItem("usageTrack");
    QQuickItem* bar = settingsItem("usageFill");
    QVERIFY(track && bar);
    QCOMPARE(track->width(), 250.0);
    QCOMPARE(bar->width(), fill);
    QVERIFY(bar->width() <= track->width());
    QCOMPARE(settingsItem("usageUsed")->property("text").toString(), usedText);
    QCOMPARE(settingsItem("usageTotal")->property("text").toString(), totalText);
}

void TestSystemTrayIcon::currentThemeEmitsOnlyOnChange()
{
    QSignalSpy changed(tray.get(), &SystemTrayIcon::currentThemeChanged);
    tray->setCurrentTheme(QStringLiteral("DarkTheme.qml"));
    tray->setCurrentTheme(QStringLiteral("DarkTheme.qml"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(tray->currentTheme(), QStringLiteral("DarkTheme.qml"));
}

void TestSystemTrayIcon::dragMovesTheSettingsWindow()
{
    QQuickWindow* window = tray->settingsWindow();
    window->setPosition(100, 100);
    QCursor::setPos(QPoint(200, 120));
    QMetaObject::invokeMethod(window, "startWindow");
    QCursor::setPos(QPoint(260, 150));
    QMetaObject::invokeMethod(window, "moveWindow");
    QCOMPARE(window->position(), QPoint(160, 130));
    QMetaObject::invokeMethod(window, "endDragWindow");
    QCursor::setPos(QPoint(300, 300));
    QMetaObject::invokeMethod(window, "moveWindow");
    QCOMPARE(window->position(), QPoint(160, 130));

    window->show();
    QMetaObject::invokeMethod(window, "closeWindow");
    QVERIFY(!window->isVisible());
}

QTEST_MAIN(TestSystemTrayIcon)
#include "tst_systemtrayicon.moc"
