#include "core/localserverkeeper.h"

#include "core/logging.h"

#include <QDebug>
#include <QFileInfo>
#include <QLocalServer>

LocalServerKeeper::LocalServerKeeper(QLocalServer* server, const QString& name, QObject* parent)
    : QObject(parent)
    , server(server)
    , name(name)
{
    timer.setInterval(CheckIntervalMs);
    connect(&timer, &QTimer::timeout, this, &LocalServerKeeper::check);
    connect(server, &QObject::destroyed, this, &LocalServerKeeper::stop);
    timer.start();
}

void LocalServerKeeper::stop()
{
    timer.stop();
}

namespace {

// After a failed accept() QLocalServer closes its socket and removes the socket file, but still
// reports isListening() (and socketDescriptor() would crash). On Unix the missing socket file
// shows it, as it shows a file removed from outside. (Windows opens a new pipe instance per
// connection and has no such failure.)
bool stoppedListening(const QLocalServer& server)
{
    if (!server.isListening())
        return true;
#ifdef Q_OS_UNIX
    return !QFileInfo::exists(server.fullServerName());
#else
    return false;
#endif
}

} // namespace

void LocalServerKeeper::check()
{
    if (!stoppedListening(*server))
        return;
    if (!reported) // once per outage: while descriptors stay short this repeats every second
        qCWarning(lcCore) << "Local server" << name << "stopped:" << server->errorString()
                          << "- listening again";
    server->close();
    QLocalServer::removeServer(name);
    if (!server->listen(name)) {
        reported = true;
        return;
    }
    reported = false;
    qCInfo(lcCore) << "Local server" << name << "listens again";
    emit reopened();
}
