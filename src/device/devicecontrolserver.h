#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// Listens on the per-user device socket (DeviceControlSocket) and carries out one command
// line per connection on the simulated device library, answering with one JSON line. A line
// longer than DeviceControlSocket::MaxLineLength is refused unread.
class DeviceControlServer : public QObject
{
    Q_OBJECT

public:
    explicit DeviceControlServer(QObject* parent = nullptr);
    ~DeviceControlServer() override;

    // False when a live server has the name or it cannot be used; a socket file left behind
    // by a crashed instance is replaced.
    bool listen(const QString& name);
    QString serverName() const;

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    static void answer(QLocalSocket* socket, const QByteArray& reply);

    QLocalServer* server;
};
