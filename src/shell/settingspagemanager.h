#pragma once

#include <QPointer>
#include <QProcess>
#include <QQuickWindow>
#include <QString>

class ConfigEngine;
class MQuickView;
class UpdateCheck;

// The controller behind the settings window ("setting" in its QML context): the version, the
// AI usage counts, starting with the computer, and updates through the maintenance tool
// installed beside the program. The window base is never shown; it makes the object a
// QML-visible controller.
class SettingsPageManager : public QQuickWindow
{
    Q_OBJECT
    Q_PROPERTY(QString currentVersion READ currentVersion WRITE setCurrentVersion NOTIFY
                   currentVersionChanged)
    Q_PROPERTY(uint usedNumCount READ usedNumCount WRITE setUsedNumCount NOTIFY usedNumChanged)
    Q_PROPERTY(bool updated READ updated WRITE setUpdated NOTIFY updatedChanged)
    Q_PROPERTY(bool startUpAuto READ startUpAuto WRITE setStartUpAuto NOTIFY isStartUpAuto)
    Q_PROPERTY(uint totalCount READ totalCount WRITE setTotalCount NOTIFY totalCountChanged)
    Q_PROPERTY(bool checking READ checking NOTIFY checkingChanged)

public:
    static constexpr int DefaultCheckLimitMs = 30000;

    // viewHandler gives the configuration engine; it is not owned.
    explicit SettingsPageManager(MQuickView* viewHandler, QWindow* parent = nullptr);
    ~SettingsPageManager() override;

    QString currentVersion() const;
    void setCurrentVersion(const QString& value);
    uint usedNumCount() const;
    void setUsedNumCount(uint value);
    bool updated() const;
    void setUpdated(bool value);
    bool startUpAuto();
    void setStartUpAuto(bool on);
    uint totalCount() const;
    void setTotalCount(uint value);
    // True while a check or an update runs; further clicks are ignored meanwhile.
    bool checking() const;

    Q_INVOKABLE void test();
    // Starts "--checkupdates" and returns at once; the answer arrives as noVersion(),
    // lowVersion() (then the updater runs) or failUpdate().
    Q_INVOKABLE void checkUpdate();

    // The maintenance tool beside the executable, under the platform's file name.
    QString toolPath() const;

    // Test seams: the limit of a check, the tool's base name, whether "no update" is also told in a
    // message box.
    void setCheckLimit(int ms);
    void setToolName(const QString& name);
    void setShowMessages(bool show);

signals:
    void currentVersionChanged();
    void updatedChanged();
    void noVersion();
    void lowVersion();
    void failUpdate();
    void isStartUpAuto();
    void totalCountChanged();
    void usedNumChanged();
    void checkingChanged();
    // The maintenance tool installed an update: the program should start again. Start-up
    // connects it to the restart (the new process must not meet this one's instance lock).
    void restartRequested();

private:
    ConfigEngine* config() const;
    void onCheckFinished(int outcome, const QString& version);
    void runUpdater();
    void onUpdaterFinished(int exitCode, QProcess::ExitStatus status);
    void setChecking(bool value);
    void showNoUpdateMessage();

    QString toolName = QStringLiteral("LumoraMaintenanceTool");
    QString version;
    MQuickView* viewHandler;
    bool isUpdated = false;
    bool startUpAutoValue = false;
    uint total = 0;
    uint used = 0;
    bool busy = false;
    int checkLimitMs = DefaultCheckLimitMs;
    bool showMessages = true;
    UpdateCheck* check = nullptr;
    QProcess* updater = nullptr;
};
