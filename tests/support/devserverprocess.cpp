#include "devserverprocess.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QUrl>

DevServerProcess::~DevServerProcess()
{
    stop();
}

QString DevServerProcess::executablePath()
{
    return QStringLiteral(LUMORA_DEVSERVER_PATH);
}

bool DevServerProcess::start(const QStringList& arguments, int timeoutMs)
{
    stop();
    url.clear();
    output.clear();
    QStringList args = arguments;
    if (!args.contains(QStringLiteral("--port")))
        args << QStringLiteral("--port") << QStringLiteral("0");
    if (!args.contains(QStringLiteral("--data")))
        args << QStringLiteral("--data") << data.path();
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(executablePath(), args);
    if (!process.waitForStarted(timeoutMs)) {
        output = process.errorString();
        return false;
    }
    static const QRegularExpression ready(QStringLiteral("listening on (\\S+)"));
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        process.waitForReadyRead(100);
        output += QString::fromUtf8(process.readAll());
        const QRegularExpressionMatch match = ready.match(output);
        if (match.hasMatch()) {
            url = match.captured(1);
            return true;
        }
        if (process.state() == QProcess::NotRunning)
            break;
    }
    return false;
}

void DevServerProcess::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

QString DevServerProcess::baseUrl() const
{
    return url;
}

quint16 DevServerProcess::port() const
{
    return static_cast<quint16>(QUrl(url).port());
}

QString DevServerProcess::dataDir() const
{
    return data.path();
}

QString DevServerProcess::errorText() const
{
    return output;
}
