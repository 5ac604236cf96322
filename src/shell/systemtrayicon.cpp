#include "shell/systemtrayicon.h"

#include "core/constants.h"
#include "core/logging.h"
#include "shell/localonlynetworkaccessfactory.h"
#include "shell/mquickview.h"
#include "shell/settingspagemanager.h"
#include "shell/traymenuplacement.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QQmlContext>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>

#include <memory>

namespace {

const QString IconFile = QStringLiteral(":/Image/Log/com.orvik.lumora.ico");
const QUrl SettingsSource(QStringLiteral("qrc:/SettingsPage.qml"));
const QUrl MenuSource(QStringLiteral("qrc:/TrayIconMenu.qml"));
constexpr int MenuRadius = 0;
constexpr int MenuShadowWeight = 10;
constexpr int BalloonMs = 3000;

// Until the artwork is in the resources the icon is drawn here: a tray icon without an image
// stays invisible.
QIcon applicationIcon()
{
    if (QFile::exists(IconFile))
        return QIcon(IconFile);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x47, 0x37, 0xFF));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 28, 28);
    return QIcon(pixmap);
}

QRect availableAreaAt(const QPoint& point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

SystemTrayIcon::SystemTrayIcon(MQuickView* handler, QObject* parent)
    : QObject(parent)
    , tray(std::make_unique<QSystemTrayIcon>())
    , handler(handler)
    , manager(std::make_unique<SettingsPageManager>(handler))
{
    manager->setCurrentVersion(APP_VERSION);
    connect(this, &SystemTrayIcon::aiCount, this, &SystemTrayIcon::onAiCount);
    loadSettingsWindow();
    connect(tray.get(), &QSystemTrayIcon::activated, this, &SystemTrayIcon::onActivated);
    connect(MQuickView::sharedTimer(), &QTimer::timeout, this, &SystemTrayIcon::closeMenuIfLeft);
    setUpIcon();
}

// The menu view first: it binds to this object.
SystemTrayIcon::~SystemTrayIcon()
{
    delete menu.data();
    tray->hide();
}

// The controller is published before the document loads, so that no binding ever sees it
// missing.
void SystemTrayIcon::loadSettingsWindow()
{
    settingsEngine.setNetworkAccessManagerFactory(LocalOnlyNetworkAccessFactory::instance());
    settingsEngine.rootContext()->setContextProperty(QStringLiteral("setting"), manager.get());
    settingsEngine.load(SettingsSource);
    const QList<QObject*> roots = settingsEngine.rootObjects();
    settings = roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
    if (!settings) {
        qCWarning(lcShell) << "The settings window could not be loaded from" << SettingsSource;
        return;
    }
    connect(settings, SIGNAL(closeWindow()), this, SLOT(onCloseWindow()));
    connect(settings, SIGNAL(moveWindow()), this, SLOT(onMoveWindow()));
    connect(settings, SIGNAL(startWindow()), this, SLOT(onStartWindow()));
    connect(settings, SIGNAL(endDragWindow()), this, SLOT(onEndDragWindow()));
}

void SystemTrayIcon::setUpIcon()
{
    tray->setIcon(applicationIcon());
    tray->setToolTip(APP_NAME);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        qCInfo(lcShell)
            << "No system tray on this desktop (no status-notifier host or XEmbed tray); "
               "the icon appears when one starts";
    tray->show();
}

void SystemTrayIcon::onAiCount(int useCount, int maxCount)
{
    // The service's numbers are signed; a negative one would wrap to a huge count.
    manager->setUsedNumCount(uint(qMax(0, useCount)));
    manager->setTotalCount(uint(qMax(0, maxCount)));
}

void SystemTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Context)
        openMenu();
    else
        showChatWindow();
}

void SystemTrayIcon::showChatWindow()
{
    if (!handler)
        return;
    if (handler->windowState() == Qt::WindowMinimized || !handler->isVisible())
        handler->showNormal();
    else
        handler->show();
    handler->raise();
    handler->requestActivate();
}

void SystemTrayIcon::createMenuView()
{
    menu = new MQuickView(MenuRadius, MenuShadowWeight);
    menu->engine()->setNetworkAccessManagerFactory(LocalOnlyNetworkAccessFactory::instance());
    menu->setObjectName(QStringLiteral("trayMenu"));
    menu->setTitle(APP_NAME);
}

void SystemTrayIcon::openMenu()
{
    if (!menu)
        createMenuView();
    menu->setFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint);
    menu->setModality(Qt::WindowModal);
    QQmlContext* context = menu->rootContext();
    context->setContextProperty(QStringLiteral("window"), handler);
    context->setContextProperty(QStringLiteral("systemTray"), menu.data());
    context->setContextProperty(QStringLiteral("manager"), this);
    menu->setBaseSize(QSize(0, 0));
    menu->setSource(MenuSource);
    menu->setColor(Qt::transparent);

    menuOpening = QCursor::pos();
    const QSize size = menu->size();
    const QPoint topLeft =
        TrayMenuPlacement::place(menuOpening, size, availableAreaAt(menuOpening));
    menu->setPosition(topLeft);
    menu->show();
    menu->setGeometry(QRect(topLeft, menu->size()));
    menu->raise();
    // Said once the first frame is on screen: a click before that lands under the menu.
    auto shown = std::make_shared<QMetaObject::Connection>();
    *shown = connect(menu, &QQuickWindow::frameSwapped, this, [this, shown] {
        disconnect(*shown);
        qCInfo(lcShell) << "Tray menu opened at" << menu->geometry();
    });
    menu->update();
}

void SystemTrayIcon::closeMenuIfLeft()
{
    if (!menu || !menu->isVisible())
        return;
    if (TrayMenuPlacement::keepsOpen(menu->geometry(), menuOpening, QCursor::pos()))
        return;
    menu->setModality(Qt::WindowModal);
    menu->close();
    qCInfo(lcShell) << "Tray menu closed: the cursor left it";
}

void SystemTrayIcon::itemClicked(int index)
{
    if (index == 0 && settings) {
        settings->show();
        settings->raise();
        settings->requestActivate();
        qCInfo(lcShell) << "Settings window shown at" << settings->geometry();
    } else if (index == 1) {
        QCoreApplication::quit();
    }
    if (menu) {
        menu->close();
        menu->deleteLater();
        menu = nullptr;
    }
}

void SystemTrayIcon::sendMessage(QString context)
{
    tray->showMessage(APP_NAME, context, applicationIcon(), BalloonMs);
}

void SystemTrayIcon::onCloseWindow()
{
    if (!settings)
        return;
    settings->close();
    qCInfo(lcShell) << "Settings window closed";
}

void SystemTrayIcon::onStartWindow()
{
    if (!settings)
        return;
    dragging = true;
    windowStart = settings->position();
    cursorStart = QCursor::pos();
}

void SystemTrayIcon::onMoveWindow()
{
    if (dragging && settings)
        settings->setPosition(windowStart + (QCursor::pos() - cursorStart));
}

void SystemTrayIcon::onEndDragWindow()
{
    dragging = false;
}

QString SystemTrayIcon::currentTheme() const
{
    return theme;
}

void SystemTrayIcon::setCurrentTheme(const QString& value)
{
    if (theme == value)
        return;
    theme = value;
    emit currentThemeChanged();
}

QSystemTrayIcon* SystemTrayIcon::trayIcon() const
{
    return tray.get();
}

MQuickView* SystemTrayIcon::menuView() const
{
    return menu;
}

QQuickWindow* SystemTrayIcon::settingsWindow() const
{
    return settings;
}

SettingsPageManager* SystemTrayIcon::settingsManager() const
{
    return manager.get();
}
