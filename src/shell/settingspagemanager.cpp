#include "shell/settingspagemanager.h"

#include "core/configengine.h"
#include "core/logging.h"
#include "platform/autostart.h"
#include "platform/executablefile.h"
#include "service/updatecheck.h"
#include "shell/mquickview.h"

#include <QCoreApplication>
#include <QDebug>
#include <QJsonDocument>
#include <QMessageBox>

namespace {

const QString StartUpAutoKey = QStringLiteral("StartUpAuto");

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

SettingsPageManager::SettingsPageManager(MQuickView* viewHandler, QWindow* parent)
    : QQuickWindow(parent)
    , viewHandler(viewHandler)
{ }

namespace {

// Updaters whose controller went while they ran (the app quits: just what an installer asks
// the user to do). Deleting a QProcess kills what it runs, so these are deleted only once the
// tool has ended; the list keeps them reachable until the program ends.
QList<QProcess*>& outlivingUpdaters()
{
    static auto* updaters = new QList<QProcess*>;
    return *updaters;
}

} // namespace

// A check still running is ended with the controller (its QProcess is a child and kills the
// tool); an update goes on, also after the program has ended.
SettingsPageManager::~SettingsPageManager()
{
    if (!updater)
        return;
    if (updater->state() == QProcess::NotRunning) {
        delete updater;
        return;
    }
    QProcess* running = updater;
    outlivingUpdaters().append(running);
    connect(running, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), running, [running] {
        outlivingUpdaters().removeAll(running);
        running->deleteLater();
    });
}

ConfigEngine* SettingsPageManager::config() const
{
    return viewHandler ? viewHandler->configEngine() : nullptr;
}

QString SettingsPageManager::currentVersion() const
{
    return version;
}

void SettingsPageManager::setCurrentVersion(const QString& value)
{
    if (version == value)
        return;
    version = value;
    emit currentVersionChanged();
}

uint SettingsPageManager::usedNumCount() const
{
    return used;
}

void SettingsPageManager::setUsedNumCount(uint value)
{
    if (used == value)
        return;
    used = value;
    emit usedNumChanged();
}

bool SettingsPageManager::updated() const
{
    return isUpdated;
}

void SettingsPageManager::setUpdated(bool value)
{
    if (isUpdated == value)
        return;
    isUpdated = value;
    emit updatedChanged();
}

uint SettingsPageManager::totalCount() const
{
    return total;
}

void SettingsPageManager::setTotalCount(uint value)
{
    if (total == value)
        return;
    total = value;
    emit totalCountChanged();
}

bool SettingsPageManager::checking() const
{
    return busy;
}

void SettingsPageManager::setChecking(bool value)
{
    if (busy == value)
        return;
    busy = value;
    emit checkingChanged();
}

// The configuration is the truth; the member only remembers the last value set.
bool SettingsPageManager::startUpAuto()
{
    ConfigEngine* engine = config();
    if (!engine)
        return false;
    QJsonDocument work;
    return engine->getValue(StartUpAutoKey, true, work).toString() == QLatin1String("true");
}

void SettingsPageManager::setStartUpAuto(bool on)
{
    ConfigEngine* engine = config();
    if (!engine)
        return;
    QJsonDocument work;
    const QString wanted = boolText(on);
    if (engine->getValue(StartUpAutoKey, true, work) == QJsonValue(wanted))
        return;
    engine->setValue(StartUpAutoKey, wanted, work);
    if (!AutoStart::apply(on, QCoreApplication::applicationFilePath()))
        qCWarning(lcShell) << "Could not change the start with the computer at"
                           << AutoStart::location();
    startUpAutoValue = on;
    emit isStartUpAuto();
}

void SettingsPageManager::test()
{
    qCDebug(lcShell) << "Invalid file in the directory!";
}

QString SettingsPageManager::toolPath() const
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/')
        + ExecutableFile::fileName(toolName);
}

void SettingsPageManager::checkUpdate()
{
    if (busy)
        return;
    setChecking(true);
    qCInfo(lcShell) << "Checking for updates with" << toolPath();
    check = new UpdateCheck(toolPath(), checkLimitMs, this);
    connect(check, &UpdateCheck::finished, this, [this](const UpdateCheck::Result& result) {
        check->deleteLater();
        check = nullptr;
        onCheckFinished(int(result.outcome), result.version);
    });
    check->start();
}

void SettingsPageManager::onCheckFinished(int outcome, const QString& newVersion)
{
    switch (UpdateCheck::Outcome(outcome)) {
    case UpdateCheck::Outcome::Failed:
        qCWarning(lcShell) << "The update check failed: the maintenance tool did not run or answer";
        setChecking(false);
        emit failUpdate();
        return;
    case UpdateCheck::Outcome::Quiet:
        qCInfo(lcShell) << "No update available";
        setChecking(false);
        emit noVersion();
        return;
    case UpdateCheck::Outcome::NoUpdate:
        setUpdated(false);
        setChecking(false);
        emit noVersion();
        showNoUpdateMessage();
        return;
    case UpdateCheck::Outcome::Update:
        qCInfo(lcShell) << "Update available:" << newVersion;
        setUpdated(true);
        emit lowVersion();
        runUpdater();
        return;
    }
}

// Not blocking: the event loop (and the chat window) keeps running while the box is open.
void SettingsPageManager::showNoUpdateMessage()
{
    if (!showMessages)
        return;
    auto* box =
        new QMessageBox(QMessageBox::Information, tr("更新"), tr("无可用更新."), QMessageBox::Ok);
    box->setObjectName(QStringLiteral("noUpdateMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(true);
    box->show();
}

// One updater at a time: the check stays "busy" until the updater has ended. It has no parent
// and no pipe to this program: it must outlive the program (a tool that writes to a pipe of an
// ended program dies of SIGPIPE), and it reports only its exit code.
void SettingsPageManager::runUpdater()
{
    updater = new QProcess;
    updater->setStandardInputFile(QProcess::nullDevice());
    updater->setStandardOutputFile(QProcess::nullDevice());
    updater->setStandardErrorFile(QProcess::nullDevice());
    connect(updater, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            &SettingsPageManager::onUpdaterFinished);
    connect(updater, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onUpdaterFinished(-1, QProcess::CrashExit);
    });
    updater->start(toolPath(), {QStringLiteral("--updater")});
}

void SettingsPageManager::onUpdaterFinished(int exitCode, QProcess::ExitStatus status)
{
    if (!updater)
        return;
    updater->deleteLater();
    updater = nullptr;
    setChecking(false);
    if (exitCode != 0 || status != QProcess::NormalExit) {
        qCWarning(lcShell) << "The update did not complete; exit code" << exitCode << "status"
                           << status;
        return;
    }
    qCInfo(lcShell) << "Update installed; restarting";
    emit restartRequested();
}

void SettingsPageManager::setCheckLimit(int ms)
{
    checkLimitMs = ms;
}

void SettingsPageManager::setToolName(const QString& name)
{
    toolName = name;
}

void SettingsPageManager::setShowMessages(bool show)
{
    showMessages = show;
}
