#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A scratch folder for the targets that read files: emptied before every input, so kept-aside
// copies of broken files do not pile up over thousands of runs, and the log stays quiet.
class FuzzFolder
{
public:
    FuzzFolder()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    }

    // An empty folder path below the scratch folder (made afresh).
    QString fresh(const QString& relative)
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path() + QLatin1Char('/') + relative);
        return dir.path() + QLatin1Char('/') + relative;
    }

    static void write(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }

private:
    QTemporaryDir dir;
};
