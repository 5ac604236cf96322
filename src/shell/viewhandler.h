#pragma once

#include "platform/nativewindowevents.h"
#include "service/ovseverhandler.h"
#include "shell/dragzones.h"
#include "shell/firstrunwindows.h"
#include "shell/mapplicationquickview.h"
#include "shell/viewsettings.h"
#include "shell/windowdrag.h"

#include <QPointer>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>

class ConfigEngine;
class DeviceListManager;
class DialogManager;
class LanguageManager;
class ThemeManager;
class SystemTrayIcon;
class GlobalAiKey;

// The chat window and the root of the object graph: its constructor creates every controller,
// publishes the QML-facing ones to the chat view and opens the first-run window. An AI-key
// press ends in slotAiRequest(), which hands the keyboard's serial to the conversation, asks
// the maker's service for its usage counts and raises the window; the usage reply decides
// whether questions are allowed.
class ViewHandler : public MApplicationQuickView
{
    Q_OBJECT
    Q_PROPERTY(int skinMode READ skinMode WRITE setSkinMode NOTIFY skinModeChanged)
    Q_PROPERTY(QString currentVersion READ currentVersion WRITE setCurrentVersion NOTIFY
                   currentVersionChanged)
    Q_PROPERTY(bool dialog READ dialog WRITE setDialog NOTIFY dialogChanged)
    Q_PROPERTY(bool history READ history WRITE setHistory NOTIFY historyChanged)
    Q_PROPERTY(bool topScreen READ topScreen WRITE setTopScreen NOTIFY topScreenChanged)
    Q_PROPERTY(
        bool allowQuestion READ allowQuestion WRITE setAllowQuestion NOTIFY allowQuestionChanged)
    Q_PROPERTY(bool firstStart READ firstStart WRITE setFirstStart NOTIFY firstStartChanged)
    Q_PROPERTY(bool notEnough READ notEnough WRITE setNotEnough NOTIFY notEnoughChanged)
    Q_PROPERTY(bool agreePolicy READ agreePolicy WRITE setAgreePolicy NOTIFY agreePolicyChanged)
    // Scheme and host of the maker's web service, for the pages the views link to.
    Q_PROPERTY(QString serviceUrl READ serviceUrl WRITE setServiceUrl NOTIFY serviceUrlChanged)

public:
    explicit ViewHandler(QWindow* parent = nullptr);
    ~ViewHandler() override;

    int skinMode() const;
    void setSkinMode(int value);
    QString currentVersion() const;
    void setCurrentVersion(const QString& value);
    bool dialog() const;
    Q_INVOKABLE void setDialog(bool value);
    bool history() const;
    Q_INVOKABLE void setHistory(bool value);
    bool topScreen() const;
    Q_INVOKABLE void setTopScreen(bool value);
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

    // Negative x or y become 0; the size becomes the window's size from now on, whatever the
    // size hints held before.
    Q_INVOKABLE void setXandY(int x, int y, int width, int height);
    Q_INVOKABLE void changeWindow();
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

    ConfigEngine* configEngine() const override;
    OvSeverHandler* serverHandler() const;
    DialogManager* dialogManager() const;
    DeviceListManager* deviceListManager() const;
    LanguageManager* languageManager() const;
    ThemeManager* themeManager() const;
    SystemTrayIcon* systemTrayIcon() const;
    FirstRunWindows* firstRunWindows();
    GlobalAiKey* globalAiKey() const;
    const WindowDrag& windowDrag() const;

    // The rule of the usage reply: the allowance is used up once the count reaches a
    // non-zero maximum (0 of 0 is a keyboard the service does not limit).
    static bool quotaUsedUp(int useCount, int maxCount);

signals:
    void skinModeChanged();
    void currentVersionChanged();
    void dialogChanged();
    void historyChanged();
    void topScreenChanged();
    void allowQuestionChanged();
    void firstStartChanged();
    void notEnoughChanged();
    void agreePolicyChanged();
    void serviceUrlChanged();
    void languageChanged();
    // Declared for the views; nothing emits them.
    void openSettings();
    void openHelp();
    void userImageChanged(QString imgData);
    void toolsModelChanged();
    void sendRedPoint(int idNum, bool isDisplay);

public slots:
    void slotAiRequest(QString sn);
    void onPrivicyCloseWindow();
    void onGuideCloseWindow();

protected:
    // The chat window behaves like a floating tool: the AI key raises it from anywhere, it
    // drags only by its zones, it keeps its size while it moves, it tucks itself away when
    // the focus leaves (unless pinned), and closing it ends the application.
    void moveEvent(QMoveEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControllers();
    void setUpWindow();
    void startSkinMode();
    void persistSkinMode();
    void startFirstRun();
    void onAICountValue(int useCount, int maxCount);
    void onAIApiReply(OvSeverHandler::OvApiType type, bool status, const QString& msg);
    void pinSize(const QSize& size);
    void dropLanguageManager();
    void deleteTray();
    void onAiKeyPressed();
    std::optional<QString> aiKeyboardSerial() const;
    void toggleMinimised();
    DragZones::ViewState dragState() const;

    std::unique_ptr<ConfigEngine> config;
    ViewSettings settings;
    OvSeverHandler* webService = nullptr;
    QPointer<LanguageManager> languages;
    ThemeManager* themes = nullptr;
    DeviceListManager* devices = nullptr;
    QPointer<DialogManager> conversation;
    QPointer<SystemTrayIcon> tray;
    FirstRunWindows firstRun;
    NativeWindowEvents nativeEvents;
    GlobalAiKey* aiKey = nullptr;
    WindowDrag drag;

    QString serialNumber;
    QRect remembered;
    QString version;
    bool dialogOpen = false;
    bool historyOpen = false;
    bool pinned = false;
    bool questionsAllowed = false;
    bool accepted = false;
    bool quotaExhausted = false;
    bool policyAgreed = false;
    QString serviceBase;
};
