#pragma once

#include "chat/chathistorystore.h"
#include "support/testenvironment.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMetaType>
#include <QString>
#include <QStringList>

// A store over a fresh data folder, and the operations the tables of the history tests pick.
enum class Operation {
    LoadIndex,
    AppendIndexEntry,
    RenameIndexEntry,
    AppendMessage,
    StartNewFile,
    RemoveLastMessage,
    LoadConversation,
};
Q_DECLARE_METATYPE(Operation)

enum class Target { Index, Conversation };
Q_DECLARE_METATYPE(Target)

// The conversation every operation works on.
extern const QString Name;

QByteArray json(const QJsonObject& object);
bool putFile(const QString& path, const QByteArray& content); // creates the folders too
QByteArray fileBytes(const QString& path);
QJsonObject fileObject(const QString& path);
QString failedToOpen(const QString& path);
QString doesNotExist(const QString& path);

class HistoryFixture
{
public:
    HistoryFixture();

    // Runs operation on Name; true when it wrote its file, loaded something or loaded the file.
    bool run(Operation operation) const;
    QString pathOf(Target target) const;
    // The "<name>.broken-<time>.json" copies in the history folder.
    QStringList keptAside() const;

    TestEnvironment env;
    ChatHistoryStore store;
};
