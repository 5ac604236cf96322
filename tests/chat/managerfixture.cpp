#include "managerfixture.h"

#include "chat/dialoginfomodel.h"
#include "chat/dialogmanager.h"
#include "core/configengine.h"
#include "core/constants.h"
#include "service/ovseverhandler.h"

#include <QJsonDocument>
#include <QSignalSpy>

ManagerFixture::ManagerFixture() = default;

ManagerFixture::~ManagerFixture() = default;

bool ManagerFixture::startServer(int paceMs)
{
    if (!server.start({QStringLiteral("--pace-ms"), QString::number(paceMs)}))
        return false;
    client = std::make_unique<StandInClient>(server.baseUrl());
    return true;
}

void ManagerFixture::init(const QString& serial)
{
    env = std::make_unique<TestEnvironment>();
    qputenv("LUMORA_SERVICE_URL", server.baseUrl().toUtf8());
    qputenv("LUMORA_ENGINE_URL", server.baseUrl().toUtf8());
    client->setScenario("normal");
    sn = serial;
    configuration = std::make_unique<ConfigEngine>();
    configuration->initialize({{QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
}

void ManagerFixture::cleanup()
{
    dialogs.reset();
    web.reset();
    configuration.reset();
    env.reset();
}

DialogManager* ManagerFixture::makeManager()
{
    web = std::make_unique<OvSeverHandler>();
    QSignalSpy listed(web.get(), &OvSeverHandler::sigAIApiReply);
    web->requestApiList();
    if (!listed.wait(5000))
        return nullptr;
    dialogs = std::make_unique<DialogManager>(configuration.get(), web.get());
    dialogs->setDeviceSn(sn);
    return dialogs.get();
}

ChatHistoryStore ManagerFixture::store() const
{
    return ChatHistoryStore(configuration->dataLocation());
}

QVector<ChatHistoryStore::Message> ManagerFixture::storedMessages(int conversation) const
{
    dialogs->flushHistory();
    const int row = conversation < 0 ? dialogs->currentIndex() : conversation;
    const QString fileName = dialogs->dialogInfoModel()->items().at(row).fileName;
    return store().loadConversation(fileName).messages;
}

int ManagerFixture::usedCount() const
{
    const QJsonObject reply = client->count(QStringLiteral("/v1/ai/api/getCount"), sn);
    return reply.value(QStringLiteral("data"))
        .toObject()
        .value(QStringLiteral("usedCount"))
        .toInt();
}

int ManagerFixture::heldStreamsClosed() const
{
    const StandInClient::Answer answer = client->get(QStringLiteral("/dev/engine/held"));
    return QJsonDocument::fromJson(answer.body)
        .object()
        .value(QStringLiteral("closedByClient"))
        .toInt(-1);
}

void ManagerFixture::writeConversation(const QString& fileName, const QString& title,
                                       const QDateTime& time, const QStringList& messages) const
{
    const ChatHistoryStore history = store();
    history.appendIndexEntry(title, fileName, time);
    for (int i = 0; i < messages.size(); ++i)
        history.appendMessage(fileName, i == 0, i % 2, messages.at(i), QString());
}
