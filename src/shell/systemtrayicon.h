#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QString>
#include <QSystemTrayIcon>

#include <memory>

class MQuickView;
class QQuickWindow;
class SettingsPageManager;

// The application's home in the notification area. A right click opens the tray menu (a
// frameless QML popup, "设置" and "退出"), a left click brings the chat window back. It owns
// the settings window and its controller, passes the usage counts on to it and drags the
// frameless window for it.
class SystemTrayIcon : public QObject
{
    Q_OBJECT
    Q_PROPERTY(
        QString currentTheme READ currentTheme WRITE setCurrentTheme NOTIFY currentThemeChanged)

public:
    // handler is the chat window (not owned); it also gives the settings their configuration.
    explicit SystemTrayIcon(MQuickView* handler, QObject* parent = nullptr);
    ~SystemTrayIcon() override;

    QString currentTheme() const;
    void setCurrentTheme(const QString& theme);

    // Index 0 shows the settings window, 1 quits; the menu closes and goes in every case.
    Q_INVOKABLE void itemClicked(int index);
    Q_INVOKABLE void sendMessage(QString context);

    // Opens the tray menu at the cursor, as a right click on the icon does.
    void openMenu();
    // What a left click does: the chat window comes back (restored, raised, activated).
    void showChatWindow();

    QSystemTrayIcon* trayIcon() const;
    MQuickView* menuView() const;
    QQuickWindow* settingsWindow() const;
    SettingsPageManager* settingsManager() const;

signals:
    void currentThemeChanged();
    void aiCount(int useCount, int MaxCount);

public slots:
    void onCloseWindow();
    void onMoveWindow();
    void onStartWindow();
    void onEndDragWindow();

private:
    void loadSettingsWindow();
    void setUpIcon();
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void createMenuView();
    void closeMenuIfLeft();
    void onAiCount(int useCount, int maxCount);

    std::unique_ptr<QSystemTrayIcon> tray;
    QPointer<MQuickView> menu;
    MQuickView* handler;
    // The controller outlives the engine whose bindings read it.
    std::unique_ptr<SettingsPageManager> manager;
    QQmlApplicationEngine settingsEngine;
    QPointer<QQuickWindow> settings;
    QString theme;
    QPoint menuOpening;
    bool dragging = false;
    QPoint windowStart;
    QPoint cursorStart;
};
