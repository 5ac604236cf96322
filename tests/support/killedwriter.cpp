#include "killedwriter.h"

#include <QProcess>
#include <QTest>

QString KilledWriter::run(const QString& program, const QStringList& arguments, int delayMs)
{
    QProcess writer;
    writer.start(program, arguments);
    if (!writer.waitForStarted())
        return writer.errorString();
    if (!writer.waitForReadyRead(10000) || !writer.readAll().startsWith("ready"))
        return QStringLiteral("the writer did not report its first write");
    QTest::qSleep(delayMs);
    writer.kill();
    if (!writer.waitForFinished(5000))
        return QStringLiteral("the writer did not end when killed");
    return QString();
}
