// The tray menu and the settings window.
#include "shot.h"
#include "shotdriver.h"

#include "shell/mquickview.h"
#include "shell/systemtrayicon.h"
#include "shell/viewhandler.h"

#include <QCursor>
#include <QQuickWindow>

namespace {

// Opened as by a right click on an icon at the bottom right of the screen.
QQuickWindow* trayMenu(ShotDriver& driver, const QString& theme)
{
    ViewHandler* window = driver.openChatWindow(false);
    SystemTrayIcon* tray = window ? window->systemTrayIcon() : nullptr;
    if (!tray)
        return nullptr;
    window->hide();
    tray->setCurrentTheme(theme);
    QCursor::setPos(QPoint(1800, 1060));
    tray->openMenu();
    MQuickView* menu = tray->menuView();
    if (!menu
        || !driver.waitUntil([menu] { return menu->rootObject() != nullptr; }, 5000,
                             QStringLiteral("the tray menu")))
        return nullptr;
    driver.settle();
    return menu->isVisible() ? menu : nullptr;
}

QQuickWindow* trayMenuLight(ShotDriver& driver)
{
    return trayMenu(driver, QStringLiteral("LightTheme.qml"));
}

QQuickWindow* trayMenuDark(ShotDriver& driver)
{
    return trayMenu(driver, QStringLiteral("DarkTheme.qml"));
}

// The settings window as "设置" shows it, after a usage reply of used of total.
QQuickWindow* settings(ShotDriver& driver, int used, int total)
{
    ViewHandler* window = driver.openChatWindow(false);
    SystemTrayIcon* tray = window ? window->systemTrayIcon() : nullptr;
    if (!tray || !tray->settingsWindow())
        return nullptr;
    window->hide();
    emit tray->aiCount(used, total);
    tray->itemClicked(0);
    QQuickWindow* page = tray->settingsWindow();
    page->setPosition(700, 400);
    driver.settle();
    return page->isVisible() ? page : nullptr;
}

} // namespace

QVector<Shot> trayShots()
{
    return {
        {QStringLiteral("tray-menu-light"), QStringLiteral("The tray menu, light palette"),
         trayMenuLight},
        {QStringLiteral("tray-menu-dark"), QStringLiteral("The tray menu, dark palette"),
         trayMenuDark},
        {QStringLiteral("settings-usage-25-of-50"),
         QStringLiteral("The settings window, 25 of 50 answers used"),
         [](ShotDriver& driver) { return settings(driver, 25, 50); }},
        {QStringLiteral("settings-usage-0-of-0"),
         QStringLiteral("The settings window before any count (0 of 0): an empty bar"),
         [](ShotDriver& driver) { return settings(driver, 0, 0); }},
        {QStringLiteral("settings-usage-60-of-50"),
         QStringLiteral("The settings window, 60 of 50: the bar stops at its end"),
         [](ShotDriver& driver) { return settings(driver, 60, 50); }},
    };
}
