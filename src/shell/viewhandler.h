#pragma once

#include "service/ovseverhandler.h"
#include "shell/chatwindow.h"
#include "shell/firstrunwindows.h"
#include "shell/viewsettings.h"

#include <QPointer>
#include <QString>

#include <memory>

class AiKeyEntry;
class ExportFileDialog;
class ConfigEngine;
class DeviceListManager;
class DialogManager;
class LanguageManager;
class ThemeManager;
class SystemTrayIcon;
class GlobalAiKey;

// The controller of the chat window and the root of the object graph: its constructor creates
// every controller, publishes the QML-facing ones to the chat view and opens the first-run
// window. An AI-key press ends in slotAiRequest(), which hands the keyboard's serial to the
// conversation, asks the maker's service for its usage counts and raises the window; the usage
// reply decides whether questions are allowed. The window behaviour is ChatWindow's.
class ViewHandler : public ChatWindow
{
    Q_OBJECT
    Q_PROPERTY(int skinMode READ skinMode WRITE setSkinMode NOTIFY skinModeChanged)
    Q_PROPERTY(QString currentVersion READ currentVersion WRITE setCurrentVersion NOTIFY
                   currentVersionChanged)
    Q_PROPERTY(
        bool allowQuestion READ allowQuestion WRITE setAllowQuestion NOTIFY allowQuestionChanged)
    Q_PROPERTY(bool firstStart READ firstStart WRITE setFirstStart NOTIFY firstStartChanged)
    Q_PROPERTY(bool notEnough READ notEnough WRITE setNotEnough NOTIFY notEnoughChanged)
    Q_PROPERTY(bool agreePolicy READ agreePolicy WRITE setAgreePolicy NOTIFY agreePolicyChanged)
    // Scheme and host of the maker's web service, for the pages the views link to.
    Q_PROPERTY(QString serviceUrl READ serviceUrl WRITE setServiceUrl NOTIFY serviceUrlChanged)
    // Questions left for the keyboard by its last usage reply; -1 unknown or unlimited.
    Q_PROPERTY(int questionsLeft READ questionsLeft NOTIFY allowanceChanged)
    // Few questions are left: the bar says so in a warning colour.
    Q_PROPERTY(bool allowanceLow READ allowanceLow NOTIFY allowanceChanged)
    // The dark theme is current: the chat view loads its dark palette.
    Q_PROPERTY(bool darkTheme READ darkTheme NOTIFY darkThemeChanged)

public:
    explicit ViewHandler(QWindow* parent = nullptr);
    ~ViewHandler() override;

    int skinMode() const;
    void setSkinMode(int value);
    QString currentVersion() const;
    void setCurrentVersion(const QString& value);
    bool allowQuestion() const;
    void setAllowQuestion(bool value);
    bool firstStart() const;
    Q_INVOKABLE void setFirstStart(bool value);
    bool notEnough() const;
    void setNotEnough(bool value);
    bool agreePolicy() const;
    Q_INVOKABLE void setAgreePolicy(bool value);
    QString serviceUrl() const;
    void setServiceUrl(const QString& value);
    int questionsLeft() const;
    bool allowanceLow() const;
    bool darkTheme() const;

    Q_INVOKABLE void openWebsite(QString url);
    Q_INVOKABLE void save2Clipboard(QString text);
    Q_INVOKABLE void changeSource();
    Q_INVOKABLE void openAboutUsDialog();
    // The colour variant of a product: -1 without a name; stored per product name on the
    // first call ("ColorType" for the Z19 and Z46, 1 for every other product).
    Q_INVOKABLE int getProdColorType(QString deviceName);
    Q_INVOKABLE void exitManagerServices();
    Q_INVOKABLE void updateUserLoginState();
    Q_INVOKABLE void test(int index);
    // Opens the save dialog for the conversation in that row of the conversation list; the
    // chosen file gets its export, and exportFinished() tells how it went.
    Q_INVOKABLE void chooseExportFile(int row);

    ConfigEngine* configEngine() const override;
    OvSeverHandler* serverHandler() const;
    DialogManager* dialogManager() const;
    DeviceListManager* deviceListManager() const;
    LanguageManager* languageManager() const;
    ThemeManager* themeManager() const;
    SystemTrayIcon* systemTrayIcon() const;
    FirstRunWindows* firstRunWindows();
    GlobalAiKey* globalAiKey() const;

    // The rule of the usage reply: the allowance is used up once the count reaches a
    // non-zero maximum (0 of 0 is a keyboard the service does not limit).
    static bool quotaUsedUp(int useCount, int maxCount);
    // Few questions left: a tenth of the allowance or less, and never more than three.
    static bool allowanceNearlyUsed(int left, int maxCount);
    ExportFileDialog* exportDialog() const;

signals:
    void skinModeChanged();
    void currentVersionChanged();
    void allowQuestionChanged();
    void firstStartChanged();
    void notEnoughChanged();
    void agreePolicyChanged();
    void serviceUrlChanged();
    void allowanceChanged();
    void darkThemeChanged();
    void exportFinished(bool ok, QString path);
    void languageChanged();
    // Declared for the views; nothing emits them.
    void openSettings();
    void openHelp();
    void userImageChanged(QString imgData);
    void toolsModelChanged();
    void sendRedPoint(int idNum, bool isDisplay);
    // Forwarded from the settings controller: an update was installed.
    void restartRequested();

public slots:
    void slotAiRequest(QString sn);
    void onPrivicyCloseWindow();
    void onGuideCloseWindow();

protected:
    void releaseBeforeQuit() override;
    // Escape nothing in the view took: stops a running answer, or puts the bar away.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControllers();
    void setUpViews();
    void startSkinMode();
    void persistSkinMode();
    void startFirstRun();
    void onAICountValue(int useCount, int maxCount);
    void onAIApiReply(OvSeverHandler::OvApiType type, bool status, const QString& msg);
    void dropLanguageManager();
    void deleteTray();
    void onDesktopAiRequest(const QString& sn);
    bool answerKeyOnActiveBar(const QString& sn);
    void setAllowance(int left, bool low);
    void exportTo(const QString& fileName, const QString& path);

    std::unique_ptr<ConfigEngine> config;
    ViewSettings settings;
    OvSeverHandler* webService = nullptr;
    QPointer<LanguageManager> languages;
    ThemeManager* themes = nullptr;
    DeviceListManager* devices = nullptr;
    QPointer<DialogManager> conversation;
    QPointer<SystemTrayIcon> tray;
    FirstRunWindows firstRun;
    AiKeyEntry* aiKey = nullptr;
    ExportFileDialog* exportFiles = nullptr;

    QString serialNumber;
    QString version;
    bool questionsAllowed = false;
    bool accepted = false;
    bool quotaExhausted = false;
    bool policyAgreed = false;
    QString serviceBase;
    int left = -1;
    bool low = false;
};
