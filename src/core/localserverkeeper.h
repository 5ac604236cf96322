#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QLocalServer;

// Keeps a local server listening. QLocalServer closes for good when accept() fails (no file
// descriptor left, for instance), and says nothing: every later client would find no server
// until the program restarts. The keeper checks the server every second (on Unix: is its
// socket file still there?) and listens again under the same name.
class LocalServerKeeper : public QObject
{
    Q_OBJECT

public:
    static constexpr int CheckIntervalMs = 1000;

    // Watches server, which must already listen on name.
    LocalServerKeeper(QLocalServer* server, const QString& name, QObject* parent = nullptr);

    // Stop watching (before closing the server on purpose).
    void stop();

signals:
    void reopened();

private:
    void check();

    QLocalServer* server;
    QString name;
    QTimer timer;
    bool reported = false;
};
