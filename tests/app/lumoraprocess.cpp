#include "lumoraprocess.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>

LumoraProcess::~LumoraProcess()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool LumoraProcess::start()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    environment.insert(extra);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process.waitForStarted(10000);
}

void LumoraProcess::setProgram(const QString& path, const QStringList& args)
{
    program = path;
    arguments = args;
}

void LumoraProcess::setVariable(const QString& name, const QString& value)
{
    extra.insert(name, value);
}

qint64 LumoraProcess::processId() const
{
    return process.processId();
}

void LumoraProcess::collect()
{
    collected += QString::fromLocal8Bit(process.readAll());
}

QString LumoraProcess::output()
{
    collect();
    return collected;
}

bool LumoraProcess::waitForOutput(const QString& text, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        collect();
        if (collected.contains(text))
            return true;
        if (process.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
}

int LumoraProcess::waitForExit(int timeoutMs)
{
    const bool finished =
        process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
    collect();
    if (!finished) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
}

void LumoraProcess::crash()
{
    process.kill();
    process.waitForFinished(5000);
    collect();
}
