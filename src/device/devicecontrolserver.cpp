#include "device/devicecontrolserver.h"

#include "core/logging.h"
#include "device/devicecommand.h"
#include "device/devicecontrolsocket.h"
#include "device/vendor/devicesimulator.h"

#include "core/localserverkeeper.h"

#include <QDebug>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {

constexpr int LiveCheckMs = 500;
// A client that connects and says nothing does not keep its connection for ever.
constexpr int IdleConnectionMs = 5000;

bool someoneListens(const QString& name)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    return probe.waitForConnected(LiveCheckMs);
}

} // namespace

DeviceControlServer::DeviceControlServer(QObject* parent)
    : QObject(parent)
    , server(new QLocalServer(this))
{
    server->setSocketOptions(QLocalServer::UserAccessOption);
    server->setMaxPendingConnections(8);
    connect(server, &QLocalServer::newConnection, this, &DeviceControlServer::onNewConnection);
}

DeviceControlServer::~DeviceControlServer() = default;

bool DeviceControlServer::listen(const QString& name)
{
    // Checked first: listening with socket options replaces an existing socket file, even one
    // a live instance still serves.
    if (someoneListens(name)) {
        qCWarning(lcDevice) << "Device control socket" << name << "is served by another process";
        return false;
    }
    QLocalServer::removeServer(name);
    if (server->listen(name)) {
        new LocalServerKeeper(server, name, server);
        return true;
    }
    qCWarning(lcDevice) << "Device control socket" << name
                        << "not available:" << server->errorString();
    return false;
}

QString DeviceControlServer::serverName() const
{
    return server->fullServerName();
}

void DeviceControlServer::onNewConnection()
{
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        QTimer::singleShot(IdleConnectionMs, socket, &QLocalSocket::abort);
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void DeviceControlServer::onReadyRead(QLocalSocket* socket)
{
    if (socket->property("answered").toBool())
        return;
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() >= DeviceControlSocket::MaxLineLength) {
            answer(socket,
                   QJsonDocument(DeviceCommand::failure(QStringLiteral("usage"),
                                                        QStringLiteral("command too long")))
                       .toJson(QJsonDocument::Compact));
        }
        return;
    }
    // readLine(n) reads at most n - 1 bytes, so a line that is too long shows as a read that
    // stops before its line break (a whole line is there: canReadLine()).
    const QByteArray line = socket->readLine(DeviceControlSocket::MaxLineLength + 1);
    const QJsonObject reply = !line.endsWith('\n')
        ? DeviceCommand::failure(QStringLiteral("usage"), QStringLiteral("command too long"))
        : DeviceCommand::execute(line.trimmed(), DeviceSimulator::instance());
    answer(socket, QJsonDocument(reply).toJson(QJsonDocument::Compact));
}

void DeviceControlServer::answer(QLocalSocket* socket, const QByteArray& reply)
{
    socket->setProperty("answered", true);
    socket->write(reply + '\n');
    socket->disconnectFromServer();
}
