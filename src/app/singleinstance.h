#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class LocalServerKeeper;
class QLocalServer;
class QLocalSocket;

// One running instance per user. The first instance holds a lock file in the user's private
// runtime folder (platform/runtimefolder.h) and listens on a local socket named after the same
// path (a socket file beside the lock on Unix, a pipe on Windows); later starts find the lock
// taken and send their message over the socket. The lock of a crashed instance is recognised by
// its dead process and taken over, so a crash never blocks later starts. A message is at most
// 4 KB and must arrive within 5 s; the server listens again after a failed accept().
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& appId, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another instance of this user already runs.
    bool isRunning() const;
    // True when the instance check itself failed (no private folder, a lock that cannot be
    // written): neither running nor guarded. The caller decides; main starts unguarded.
    bool hasFailed() const;

    // Delivers message to the running instance. Returns true once it has received it.
    bool sendMessage(const QString& message, int timeoutMs);

    // Gives up the instance: stops listening and unlocks, so that a start from now on (the
    // restart after an update) becomes the running instance. Nothing happens when another
    // instance runs.
    void release();

    QString serverName() const; // the socket's full path
    QString lockFilePath() const;

signals:
    void messageReceived(const QString& message);

private:
    void listen();
    void onNewConnection();
    void readMessage(QLocalSocket* socket);

    QString name;
    std::unique_ptr<QLockFile> lock;
    QLocalServer* server = nullptr;
    LocalServerKeeper* keeper = nullptr;
    bool running = false;
    bool failed = false;
};
