#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr char Acknowledgement = '\x06';
constexpr int ConnectRetryMs = 50;
// Fixed, so that an instance of an older or newer build still understands the message.
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_5_12;

// The name carries the user, and the home folder tells apart users of the same name: Windows
// pipe names are shared by every session of the machine.
QString userScopedName(const QString& appId)
{
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    const QByteArray key =
        (appId + QLatin1Char('\n') + user + QLatin1Char('\n') + QDir::homePath()).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
    return QStringLiteral("lumora-") + QString::fromLatin1(hash.left(24));
}

// The user's private runtime folder where there is one; Windows reports the home folder
// instead, and there the per-user temporary folder is the better place.
QString lockFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty() || QDir(runtime) == QDir::home())
        return QDir::tempPath();
    return runtime;
}

} // namespace

SingleInstance::SingleInstance(const QString& appId, QObject* parent)
    : QObject(parent)
    , name(lockFolder() + QLatin1Char('/') + userScopedName(appId))
    , lock(std::make_unique<QLockFile>(lockFilePath()))
{
    // Held for the whole life of the instance: only a dead owner makes the lock stale.
    lock->setStaleLockTime(0);
    running = !lock->tryLock(0);
    if (!running)
        listen();
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isRunning() const
{
    return running;
}

void SingleInstance::release()
{
    if (running)
        return;
    if (server) {
        server->close();
        delete server;
        server = nullptr;
    }
    lock->unlock();
}

QString SingleInstance::serverName() const
{
    return name;
}

QString SingleInstance::lockFilePath() const
{
    return name + QStringLiteral(".lock");
}

void SingleInstance::listen()
{
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // We own the lock, so a socket left under this name belongs to a crashed instance.
    QLocalServer::removeServer(name);
    if (!server->listen(name)) {
        qWarning() << "SingleInstance: cannot listen on" << name << server->errorString();
        return;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        readMessage(socket);
    }
}

void SingleInstance::readMessage(QLocalSocket* socket)
{
    QDataStream stream(socket);
    stream.setVersion(StreamVersion);
    stream.startTransaction();
    QString message;
    stream >> message;
    if (!stream.commitTransaction())
        return; // more bytes to come
    socket->write(&Acknowledgement, 1);
    socket->flush();
    emit messageReceived(message);
}

bool SingleInstance::sendMessage(const QString& message, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The running instance may hold the lock but not listen yet; keep trying until the deadline.
    for (;;) {
        socket.connectToServer(name);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(ConnectRetryMs);
    }
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << message;
    socket.write(data);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.read(1).at(0) == Acknowledgement;
}
