#pragma once

#include "chat/chathistorystore.h"
#include "support/devserverprocess.h"
#include "support/standinclient.h"
#include "support/testenvironment.h"

#include <QJsonObject>
#include <QString>
#include <QVector>

#include <memory>

class ConfigEngine;
class DialogManager;
class OvSeverHandler;

// The conversation manager as the app builds it, against both halves of the stand-in server,
// with its history in a private folder: one fixture per test function.
class ManagerFixture
{
public:
    ManagerFixture();
    ~ManagerFixture();

    // Starts the stand-in (once per test case) and points the clients at it.
    bool startServer(int paceMs);
    // A fresh environment and configuration; the manager comes with makeManager().
    void init(const QString& serial);
    void cleanup();

    // A manager whose web service client already holds the provider list.
    DialogManager* makeManager();
    DialogManager* manager() const { return dialogs.get(); }
    OvSeverHandler* service() const { return web.get(); }
    ConfigEngine* config() const { return configuration.get(); }
    StandInClient* standIn() const { return client.get(); }
    ChatHistoryStore store() const;
    TestEnvironment* environment() const { return env.get(); }

    // The stored messages of a conversation (row of the conversation list; -1 the open one),
    // once every pending write is done.
    QVector<ChatHistoryStore::Message> storedMessages(int conversation = -1) const;
    int usedCount() const;
    // Held streams of the stand-in engine that their client closed so far.
    int heldStreamsClosed() const;
    // Writes a stored conversation of alternating questions and answers (HTML) directly.
    void writeConversation(const QString& fileName, const QString& title, const QDateTime& time,
                           const QStringList& messages) const;

private:
    DevServerProcess server;
    std::unique_ptr<StandInClient> client;
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ConfigEngine> configuration;
    std::unique_ptr<OvSeverHandler> web;
    std::unique_ptr<DialogManager> dialogs;
    QString sn;
};
