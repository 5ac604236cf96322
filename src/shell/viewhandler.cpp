#include "shell/viewhandler.h"

#include "chat/dialogmanager.h"
#include "chat/richtextview.h"
#include "core/configengine.h"
#include "core/constants.h"
#include "core/endpoints.h"
#include "core/languagemanager.h"
#include "core/logging.h"
#include "core/logredaction.h"
#include "device/devicelistmanager.h"
#include "shell/aikeyentry.h"
#include "shell/darkiconprovider.h"
#include "shell/exportfiledialog.h"
#include "shell/localonlynetworkaccessfactory.h"
#include "shell/settingspagemanager.h"
#include "shell/systemtrayicon.h"
#include "shell/thememanager.h"

#include <QClipboard>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QUrl>

#include <algorithm>

namespace {

const QString MainViewSource = QStringLiteral("qrc:/MainView.qml");

} // namespace

ViewHandler::ViewHandler(QWindow* parent)
    : ChatWindow(parent)
    , config(std::make_unique<ConfigEngine>())
    , settings(config.get())
    , firstRun(this)
    , serviceBase(Endpoints::serviceBaseUrl())
{
    createControllers();
    setUpViews();
    startSkinMode();
    setCurrentVersion(APP_VERSION);
    startFirstRun();
    // The AI key as the desktop reports it: the window's raw keyboard input (Windows) or the
    // key grabbed on the desktop (X11).
    aiKey = new AiKeyEntry(devices, this);
    connect(this, &ChatWindow::desktopAiKeyPressed, aiKey, &AiKeyEntry::onDesktopPress);
    connect(aiKey, &AiKeyEntry::requested, this, &ViewHandler::onDesktopAiRequest);
    aiKey->start();
    exportFiles = new ExportFileDialog(this, this);
    connect(exportFiles, &ExportFileDialog::closed, this, [this] {
        setOwnDialogOpen(false);
        requestActivate();
    });
}

ViewHandler::~ViewHandler()
{
    // The views go before the controllers they bind to.
    setSource(QUrl());
    deleteTray();
    delete conversation.data();
    delete devices;
    devices = nullptr;
    // A Qt child, but deleted here so that its watch of the system setting ends while the
    // window still exists.
    delete themes;
    themes = nullptr;
    dropLanguageManager();
    // The web service client is a Qt child; the engine goes last, after everything using it.
    config.reset();
}

void ViewHandler::createControllers()
{
    config->initialize({
        {QStringLiteral("AppVersion"), APP_VERSION},
        {QStringLiteral("AppVersionType"), APP_VERSION_TYPE},
        {QStringLiteral("AppExtendPath"), EXTENDS_DIR_NAME},
        {QStringLiteral("AppVer2ConfigPath"), CONFIG_DIR_NAME},
        {QStringLiteral("AppLanguagePath"), TRANSLATIONS_DIR_NAME},
        {QStringLiteral("AppUpdateFilePath"), SOFTWARE_REPOSITORY_URL},
        {QStringLiteral("AppOutsideFilePath"), RESOURCES_DIR_NAME},
        {QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME},
    });

    webService = new OvSeverHandler(this);
    connect(webService, &OvSeverHandler::sigAICountValue, this, &ViewHandler::onAICountValue);
    connect(webService, &OvSeverHandler::sigAIApiReply, this, &ViewHandler::onAIApiReply);
    webService->requestApiList();

    languages = new LanguageManager(this, config.get());
    connect(languages, &LanguageManager::languageChange, this, &ViewHandler::languageChanged);
    connect(languages, &LanguageManager::languageChange, this, [this] { engine()->retranslate(); });
    // The first-run windows run in engines of their own, which the manager does not reach.
    connect(this, &ViewHandler::languageChanged, &firstRun, &FirstRunWindows::retranslate);
    themes = new ThemeManager(this);
    // The tray icon builds the settings window; then the device list manager.
    tray = new SystemTrayIcon(this);
    connect(themes, &ThemeManager::themeChanged, tray.data(), &SystemTrayIcon::setCurrentTheme);
    connect(themes, &ThemeManager::currentThemeChanged, this, &ViewHandler::darkThemeChanged);
    connect(tray->settingsManager(), &SettingsPageManager::restartRequested, this,
            &ViewHandler::restartRequested);
    devices = new DeviceListManager(this, languages.data());
    conversation = new DialogManager(config.get(), webService);
    rootContext()->setContextProperty(QStringLiteral("dialog_manager"), conversation.data());

    connect(this, &ViewHandler::skinModeChanged, this, &ViewHandler::persistSkinMode);
    connect(devices, &DeviceListManager::aiDeviceData, this, &ViewHandler::slotAiRequest);
    // The history panel opens: its search will need every conversation's text.
    connect(this, &ChatWindow::historyChanged, this, [this] {
        if (history() && conversation)
            conversation->prepareSearch();
    });
}

void ViewHandler::setUpViews()
{
    // The chat view shows stored and streamed rich text; it must never fetch from the network.
    engine()->setNetworkAccessManagerFactory(LocalOnlyNetworkAccessFactory::instance());
    // The answers stream into their views piece by piece, block by block (DialogPanel.qml).
    RichTextView::registerQmlType();
    engine()->addImageProvider(QStringLiteral("darkicon"), new DarkIconProvider);
}

void ViewHandler::startSkinMode()
{
    setSkinModeValue(settings.skinMode());
    setSysSkinType(skinModeValue());
    themes->applySkinMode(skinModeValue());
    engine()->setObjectOwnership(this, QQmlEngine::CppOwnership);
    rootContext()->setContextProperty(QStringLiteral("window"), this);
    rootContext()->setContextProperty(QStringLiteral("lang_HL"), languages.data());
    languages->applyStoredLanguage();
}

void ViewHandler::persistSkinMode()
{
    setSysSkinType(skinModeValue());
    settings.storeSkinMode(skinModeValue());
}

void ViewHandler::startFirstRun()
{
    accepted = settings.firstStartAccepted();
    connect(&firstRun, &FirstRunWindows::agreementCloseRequested, this,
            &ViewHandler::onPrivicyCloseWindow);
    connect(&firstRun, &FirstRunWindows::guideCloseRequested, this,
            &ViewHandler::onGuideCloseWindow);
    if (accepted) {
        firstRun.openGuide();
        return;
    }
    firstRun.openAgreement();
    if (settings.firstStartEmpty())
        setFirstStart(false);
}

void ViewHandler::onPrivicyCloseWindow()
{
    firstRun.replaceAgreementByGuide();
}

void ViewHandler::onGuideCloseWindow()
{
    firstRun.closeGuide();
    showNormal();
}

void ViewHandler::slotAiRequest(QString sn)
{
    if (answerKeyOnActiveBar(sn))
        return;
    if (sn != serialNumber)
        setAllowance(-1, false); // another keyboard: its own allowance comes with the reply
    serialNumber = sn;
    if (conversation)
        conversation->setDeviceSn(sn);
    webService->getCount(sn);
    bringUp();
    setAllowQuestion(true);
    qCInfo(lcShell).nospace().noquote()
        << "Chat window raised for keyboard " << LogRedaction::serial(sn)
        << ", visible: " << isVisible() << ", questions allowed: " << allowQuestion();
}

// The AI key pressed while the bar is up and active toggles: it stops a running answer, or
// puts the bar away. Otherwise the key brings the bar up as usual.
bool ViewHandler::answerKeyOnActiveBar(const QString& sn)
{
    if (!isVisible() || !isActive() || (windowStates() & Qt::WindowMinimized))
        return false;
    const bool stop = conversation && conversation->answering();
    qCInfo(lcShell).nospace().noquote()
        << "AI key of keyboard " << LogRedaction::serial(sn)
        << " on the active chat bar: " << (stop ? "the answer stopped" : "the bar put away");
    if (stop)
        conversation->stopGeneration();
    else
        hide();
    return true;
}

void ViewHandler::keyPressEvent(QKeyEvent* event)
{
    ChatWindow::keyPressEvent(event);
    if (event->isAccepted() || event->key() != Qt::Key_Escape)
        return;
    event->accept();
    if (conversation && conversation->answering())
        conversation->stopGeneration();
    else
        hide();
}

bool ViewHandler::quotaUsedUp(int useCount, int maxCount)
{
    return useCount >= maxCount && useCount != 0;
}

bool ViewHandler::allowanceNearlyUsed(int left, int maxCount)
{
    return left <= qMax(3, maxCount / 10);
}

void ViewHandler::onAICountValue(int useCount, int maxCount)
{
    qCDebug(lcShell) << "useCount" << useCount << maxCount;
    // A maximum of 0 is a keyboard the service does not limit: nothing to show.
    const int questions = maxCount > 0 ? qMax(0, maxCount - useCount) : -1;
    setAllowance(questions, questions >= 0 && allowanceNearlyUsed(questions, maxCount));
    if (quotaUsedUp(useCount, maxCount)) {
        setAllowQuestion(false);
        setNotEnough(true);
    }
    if (tray)
        emit tray->aiCount(useCount, maxCount);
}

// A desktop press of the AI key also closes the guide and brings the window back.
void ViewHandler::onDesktopAiRequest(const QString& sn)
{
    if (answerKeyOnActiveBar(sn))
        return;
    slotAiRequest(sn);
    firstRun.closeGuide();
    showNormal();
}

void ViewHandler::onAIApiReply(OvSeverHandler::OvApiType type, bool status, const QString& msg)
{
    Q_UNUSED(msg)
    // The usage reply to an AI-key press brings the bar back. The count reported after an
    // answer answers with the same values, but must not bring back a bar put away meanwhile.
    if (type == OvSeverHandler::API_GET_COUNT && status) {
        firstRun.closeGuide();
        showNormal();
    }
    if (type != OvSeverHandler::API_LIST || !status)
        return;
    // The stored records only: asking for a missing mode would request the list again, and a
    // service that lacks a mode would then be asked for the list after every reply.
    const char* const labels[] = {
        "NORMAL map:", "DEEP_THINKEING map:", "ONLINE map:", "DEEP_THINKEING_AND_ONLINE map:"};
    for (int mode = 0; mode < 4; ++mode)
        qCDebug(lcShell) << labels[mode] << LogRedaction::record(webService->storedApiInfo(mode));
}

int ViewHandler::getProdColorType(QString deviceName)
{
    return settings.prodColorType(deviceName);
}

void ViewHandler::openWebsite(QString url)
{
    QDesktopServices::openUrl(QUrl(url));
}

void ViewHandler::save2Clipboard(QString text)
{
    QGuiApplication::clipboard()->setText(text);
}

void ViewHandler::changeSource()
{
    QMetaObject::invokeMethod(
        this, [this] { setSource(QUrl(MainViewSource)); }, Qt::QueuedConnection);
}

void ViewHandler::openAboutUsDialog()
{
    QObject* loader =
        rootObject() ? rootObject()->findChild<QObject*>(QStringLiteral("plugin_loader")) : nullptr;
    if (!loader)
        return;
    loader->setProperty("width", 562);
    loader->setProperty("height", 332);
    loader->setProperty("source", QUrl(QStringLiteral("qrc:/Views/AboutusPage.qml")));
    loader->setProperty("active", true);
}

void ViewHandler::chooseExportFile(int row)
{
    if (!conversation || row < 0 || row >= conversation->dialogInfoModel()->rowCount())
        return;
    const DialogInfoRecord record = conversation->dialogInfoModel()->items().at(row);
    // The conversation is found again by its file when the dialog closes: rows may move.
    disconnect(exportFiles, &ExportFileDialog::chosen, this, nullptr);
    connect(exportFiles, &ExportFileDialog::chosen, this,
            [this, fileName = record.fileName](const QString& path) { exportTo(fileName, path); });
    setOwnDialogOpen(true);
    exportFiles->open(record.title);
}

void ViewHandler::exportTo(const QString& fileName, const QString& path)
{
    bool ok = false;
    if (conversation) {
        const QVector<DialogInfoRecord>& records = conversation->dialogInfoModel()->items();
        const auto found =
            std::find_if(records.begin(), records.end(), [&](const DialogInfoRecord& record) {
                return record.fileName == fileName;
            });
        ok = found != records.end()
            && conversation->exportConversation(int(found - records.begin()), path);
    }
    emit exportFinished(ok, QDir::toNativeSeparators(path));
}

ExportFileDialog* ViewHandler::exportDialog() const
{
    return exportFiles;
}

void ViewHandler::exitManagerServices() { }

void ViewHandler::updateUserLoginState() { }

void ViewHandler::test(int index)
{
    Q_UNUSED(index)
}

void ViewHandler::releaseBeforeQuit()
{
    exitManagerServices();
    dropLanguageManager();
    deleteTray();
}

void ViewHandler::deleteTray()
{
    delete tray.data();
}

ConfigEngine* ViewHandler::configEngine() const
{
    return config.get();
}

OvSeverHandler* ViewHandler::serverHandler() const
{
    return webService;
}

DialogManager* ViewHandler::dialogManager() const
{
    return conversation;
}

SystemTrayIcon* ViewHandler::systemTrayIcon() const
{
    return tray;
}

ThemeManager* ViewHandler::themeManager() const
{
    return themes;
}

bool ViewHandler::darkTheme() const
{
    return themes && themes->currentTheme() == QLatin1String(ThemeManager::DarkTheme);
}

LanguageManager* ViewHandler::languageManager() const
{
    return languages;
}

// The views lose "lang_HL" first, so that no binding reaches the deleted object.
void ViewHandler::dropLanguageManager()
{
    if (!languages)
        return;
    rootContext()->setContextProperty(QStringLiteral("lang_HL"), nullptr);
    delete languages.data();
}

DeviceListManager* ViewHandler::deviceListManager() const
{
    return devices;
}

FirstRunWindows* ViewHandler::firstRunWindows()
{
    return &firstRun;
}

GlobalAiKey* ViewHandler::globalAiKey() const
{
    return aiKey ? aiKey->globalAiKey() : nullptr;
}
