#include "app/singleinstance.h"

#include "core/localserverkeeper.h"
#include "core/logging.h"
#include "platform/runtimefolder.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace {

constexpr char Acknowledgement = '\x06';
constexpr int ConnectRetryMs = 50;
// The one message is a few bytes. A peer that announces or sends more, or stays silent, is no
// instance of ours and does not get to hold the GUI thread or the memory.
constexpr quint32 MaxMessageBytes = 4096;
constexpr int IdleConnectionMs = 5000;
constexpr quint32 NullString = 0xFFFFFFFF; // QDataStream's length of a null QString
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

// The length a QDataStream QString announces in its first four bytes (big-endian).
quint32 announcedLength(const QByteArray& head)
{
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    return quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3];
}

} // namespace

SingleInstance::SingleInstance(const QString& appId, QObject* parent)
    : QObject(parent)
{
    // Only a folder no other user can create names in: elsewhere another user could take the
    // lock's or the socket's name first and keep every start of ours out.
    const QString folder = RuntimeFolder::path();
    if (folder.isEmpty()) {
        failed = true;
        return;
    }
    name = folder + QLatin1Char('/') + userScopedName(appId);
    lock = std::make_unique<QLockFile>(lockFilePath());
    // Held for the whole life of the instance: only a dead owner makes the lock stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        listen();
        return;
    }
    // Only a lock held by a live instance means "already running"; any other error (no
    // permission, no space) is reported as what it is.
    running = lock->error() == QLockFile::LockFailedError;
    failed = !running;
    if (failed)
        qCWarning(lcApp) << "SingleInstance: cannot take the lock" << lockFilePath() << "(error"
                         << int(lock->error()) << ")";
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isRunning() const
{
    return running;
}

bool SingleInstance::hasFailed() const
{
    return failed;
}

void SingleInstance::release()
{
    if (running || failed)
        return;
    if (keeper)
        keeper->stop();
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
        qCWarning(lcApp) << "SingleInstance: cannot listen on" << name << server->errorString();
        return;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    keeper = new LocalServerKeeper(server, name, this);
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        QTimer::singleShot(IdleConnectionMs, socket, &QLocalSocket::abort);
        readMessage(socket);
    }
}

void SingleInstance::readMessage(QLocalSocket* socket)
{
    const QByteArray head = socket->peek(4);
    if (head.size() == 4 && announcedLength(head) != NullString
        && announcedLength(head) > MaxMessageBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() > qint64(MaxMessageBytes) + 4) {
        socket->abort();
        return;
    }
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
