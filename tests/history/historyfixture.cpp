#include "historyfixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

const QString Name = QStringLiteral("20260101120000");

QByteArray json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson();
}

QString failedToOpen(const QString& path)
{
    return QStringLiteral("Failed to open file: \"%1\"").arg(path);
}

QString doesNotExist(const QString& path)
{
    return QStringLiteral("File doesn't exist: \"%1\"").arg(path);
}

HistoryFixture::HistoryFixture()
    : store(env.dataHome() + QStringLiteral("/lumora"))
{ }

bool HistoryFixture::run(Operation operation) const
{
    switch (operation) {
    case Operation::LoadIndex:
        return !store.loadIndex().isEmpty();
    case Operation::AppendIndexEntry:
        return store.appendIndexEntry(QStringLiteral("new"), Name, QDateTime::currentDateTime());
    case Operation::RenameIndexEntry:
        return store.renameIndexEntry(Name, QStringLiteral("renamed"));
    case Operation::AppendMessage:
        return store.appendMessage(Name, false, 1, QStringLiteral("answer"), QString());
    case Operation::StartNewFile:
        return store.appendMessage(Name, true, 0, QStringLiteral("question"), QString());
    case Operation::RemoveLastMessage:
        return store.removeLastMessage(Name);
    case Operation::LoadConversation:
        return store.loadConversation(Name).outcome
            == ChatHistoryStore::Conversation::Outcome::Loaded;
    }
    return false;
}

QString HistoryFixture::pathOf(Target target) const
{
    return target == Target::Index ? store.indexPath() : store.conversationPath(Name);
}

QStringList HistoryFixture::keptAside() const
{
    return QDir(store.historyDir()).entryList({QStringLiteral("*.broken-*.json")}, QDir::Files);
}

bool putFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(content) == content.size();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject fileObject(const QString& path)
{
    return QJsonDocument::fromJson(fileBytes(path)).object();
}
