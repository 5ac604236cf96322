#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the stand-in server (tools/devserver) for one test on a free loopback port.
// The server prints "lumora-devserver listening on <base url>" once it accepts connections.
class DevServerProcess
{
public:
    DevServerProcess() = default;
    ~DevServerProcess();

    DevServerProcess(const DevServerProcess&) = delete;
    DevServerProcess& operator=(const DevServerProcess&) = delete;

    // Starts the server with extra arguments (port 0 and a private data folder are added
    // unless given). Returns false, with the server's output in errorText(), on failure.
    bool start(const QStringList& arguments = {}, int timeoutMs = 10000);
    void stop();

    QString baseUrl() const; // e.g. "http://127.0.0.1:40123", no trailing "/"
    quint16 port() const;
    QString dataDir() const;
    QString errorText() const;

    static QString executablePath();

private:
    QProcess process;
    QTemporaryDir data;
    QString url;
    QString output;
};
