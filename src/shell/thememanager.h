#pragma once

#include <QObject>
#include <QString>

class SystemTheme;

// Knows which theme document ("LightTheme.qml", "DarkTheme.qml", ... under qrc:/Theme/) the
// views use, and reads and watches the system's light/dark setting for the skin mode that
// follows the system. Any theme choice ends a watch, so a watch lasts until the next change of
// the setting at most.
class ThemeManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(
        QString currentTheme READ currentTheme WRITE setCurrentTheme NOTIFY currentThemeChanged)
    Q_PROPERTY(int themeFlag READ themeFlag WRITE setThemeFlag NOTIFY themeFlagChanged)

public:
    static constexpr const char* LightTheme = "LightTheme.qml";
    static constexpr const char* DarkTheme = "DarkTheme.qml";
    // Skin modes as stored in the configuration.
    enum SkinMode { LightSkin = 0, DarkSkin = 1, SystemSkin = 2 };

    // Reads the platform's setting.
    explicit ThemeManager(QObject* parent = nullptr);
    // Reads the given source instead and takes it over (tests hand in a fake).
    ThemeManager(SystemTheme* source, QObject* parent);
    ~ThemeManager() override;

    QString currentTheme() const;
    // Emits currentThemeChanged() and themeChanged() on every call, also for the same name:
    // the tray menu reloads its theme document on it.
    Q_INVOKABLE void setCurrentTheme(QString theme);
    int themeFlag() const;
    Q_INVOKABLE void setThemeFlag(int flag);

    Q_INVOKABLE void detectSystemTheme();
    Q_INVOKABLE void watchSystemTheme();
    // The theme document that matches the system's setting.
    QString systemThemeFile() const;

    // The theme at start-up: follows the system for SystemSkin (watching it first), dark for
    // DarkSkin, light for anything else.
    void applySkinMode(int skinMode);

signals:
    void currentThemeChanged();
    void themeChanged(QString theme);
    void themeFlagChanged();

private:
    void stopWatch();
    void onSystemThemeChanged();

    SystemTheme* system;
    QString current = QLatin1String(LightTheme);
    int currentFlag = 0;
};
