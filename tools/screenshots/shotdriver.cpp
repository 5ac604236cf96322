#include "shotdriver.h"

#include "chat/chathistorystore.h"
#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "service/ovseverhandler.h"
#include "shell/viewhandler.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QQuickItem>
#include <QStandardPaths>

namespace {

const QString KeyboardSerial = QStringLiteral("SN-SCREENSHOTS");
constexpr int ReplyTimeoutMs = 15000;
constexpr int AnswerTimeoutMs = 60000;
constexpr int SettleMs = 400;

QList<QQuickItem*> findItems(QQuickItem* root, const QString& name)
{
    QList<QQuickItem*> found;
    const QList<QQuickItem*> children = root->childItems();
    for (QQuickItem* child : children) {
        if (child->objectName() == name)
            found.append(child);
        found.append(findItems(child, name));
    }
    return found;
}

} // namespace

ShotDriver::ShotDriver(const QString& serverUrl, const QString& outputDir)
    : server(serverUrl)
    , output(outputDir)
{ }

ShotDriver::~ShotDriver() = default;

bool ShotDriver::run(const QStringList& names)
{
    const QVector<Shot> shots = allShots();
    for (const QString& name : names) {
        if (std::none_of(shots.begin(), shots.end(),
                         [&name](const Shot& shot) { return shot.name == name; })) {
            qWarning().noquote() << "screenshots: no shot named" << name;
            return false;
        }
    }
    QDir().mkpath(output);
    bool allTaken = true;
    for (const Shot& shot : shots) {
        if (!names.isEmpty() && !names.contains(shot.name))
            continue;
        const bool taken = take(shot);
        qInfo().noquote() << "screenshots:" << shot.name << (taken ? "saved" : "FAILED");
        allTaken = allTaken && taken;
    }
    return allTaken;
}

bool ShotDriver::take(const Shot& shot)
{
    prepareFolders();
    QQuickWindow* target = shot.take(*this);
    bool saved = false;
    if (target) {
        settle();
        const QImage image = target->grabWindow();
        saved = !image.isNull()
            && image.save(output + QLatin1Char('/') + shot.name + QStringLiteral(".png"));
    }
    handler.reset();
    folders.reset();
    return saved;
}

// Fresh configuration and history folders per shot; the first-run agreement counts as
// accepted, so the chat window is what the user sees.
void ShotDriver::prepareFolders()
{
    folders = std::make_unique<QTemporaryDir>();
    const QString root = folders->path();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/cache")));
    const QString configDir = root + QStringLiteral("/config/")
        + QCoreApplication::applicationName() + QStringLiteral("/configs");
    QDir().mkpath(configDir);
    QFile config(configDir + QStringLiteral("/config.json"));
    if (config.open(QIODevice::WriteOnly))
        config.write(R"({"SkinMode": "0", "FirstStart": "true", "StartUpAuto": "false"})");
}

ViewHandler* ShotDriver::openChatWindow(bool pressKey)
{
    qputenv("LUMORA_SERVICE_URL", server.toUtf8());
    qputenv("LUMORA_ENGINE_URL", server.toUtf8());
    handler = std::make_unique<ViewHandler>();
    handler->firstRunWindows()->closeGuide();
    handler->setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    if (handler->status() != QQuickView::Ready) {
        qWarning() << "screenshots: the chat view did not load" << handler->errors();
        return nullptr;
    }
    const bool ready = waitUntil([this] { return !handler->serverHandler()->apiInfo(0).isEmpty(); },
                                 ReplyTimeoutMs, QStringLiteral("the provider records"));
    if (!ready)
        return nullptr;
    if (pressKey) {
        bool replied = false;
        QObject::connect(handler->serverHandler(), &OvSeverHandler::sigAICountValue, handler.get(),
                         [&replied] { replied = true; });
        handler->slotAiRequest(KeyboardSerial);
        if (!waitUntil([&replied] { return replied; }, ReplyTimeoutMs,
                       QStringLiteral("the usage reply")))
            return nullptr;
    } else {
        handler->show();
    }
    // Centred, low on a 1920x1080 screen: room above for the chat panel.
    handler->setXandY((1920 - 576) / 2, 900, 576, 66);
    settle();
    return handler.get();
}

ViewHandler* ShotDriver::openBeforeAgreement()
{
    qputenv("LUMORA_SERVICE_URL", server.toUtf8());
    qputenv("LUMORA_ENGINE_URL", server.toUtf8());
    QFile config(folders->path() + QStringLiteral("/config/") + QCoreApplication::applicationName()
                 + QStringLiteral("/configs/config.json"));
    if (config.open(QIODevice::WriteOnly | QIODevice::Truncate))
        config.write(R"({"SkinMode": "0", "StartUpAuto": "false"})");
    config.close();
    handler = std::make_unique<ViewHandler>();
    settle();
    return handler.get();
}

ViewHandler* ShotDriver::window() const
{
    return handler.get();
}

QList<QQuickItem*> ShotDriver::items(const QString& name) const
{
    // From the window's content item: the view and the popups on its overlay.
    if (!handler || !handler->contentItem())
        return {};
    return findItems(handler->contentItem(), name);
}

QQuickItem* ShotDriver::item(const QString& name) const
{
    const QList<QQuickItem*> found = items(name);
    if (found.isEmpty())
        qWarning().noquote() << "screenshots: no item named" << name;
    return found.isEmpty() ? nullptr : found.first();
}

bool ShotDriver::click(const QString& name)
{
    QQuickItem* target = item(name);
    if (!target)
        return false;
    const bool clicked = QMetaObject::invokeMethod(target, "clicked");
    settle();
    return clicked;
}

bool ShotDriver::setText(const QString& name, const QString& text)
{
    QQuickItem* target = item(name);
    if (!target || !target->setProperty("text", text))
        return false;
    settle();
    return true;
}

bool ShotDriver::waitUntil(const std::function<bool()>& condition, int timeoutMs,
                           const QString& what)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            qWarning().noquote() << "screenshots: gave up waiting for" << what;
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void ShotDriver::settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < SettleMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void ShotDriver::storeConversation(const QString& fileName, const QString& title,
                                   const QStringList& questionsAndAnswers) const
{
    const ChatHistoryStore store(
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    store.loadIndex();
    store.appendIndexEntry(title, fileName,
                           QDateTime::fromString(fileName, QStringLiteral("yyyyMMddHHmmss")));
    for (int i = 0; i < questionsAndAnswers.size(); ++i)
        store.appendMessage(fileName, i == 0, i % 2, questionsAndAnswers.at(i), QString());
}

bool ShotDriver::ask(const QString& question)
{
    DialogManager* manager = handler->dialogManager();
    const int rows = manager->dialogModel()->rowCount();
    if (!setText(QStringLiteral("input"), question) || !click(QStringLiteral("sendButton")))
        return false;
    const bool answered = waitUntil(
        [manager, rows] {
            return manager->responseGenerated() && manager->dialogModel()->rowCount() == rows + 2;
        },
        AnswerTimeoutMs, QStringLiteral("the answer"));
    settle();
    return answered;
}
