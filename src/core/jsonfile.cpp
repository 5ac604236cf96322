#include "core/jsonfile.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

namespace {

// On Windows a virus scanner or a sync client may hold the target for a moment, which makes
// the final rename fail; a few quick retries get past that. Elsewhere a failed rename is final.
#ifdef Q_OS_WIN
constexpr int ReplaceAttempts = 5;
#else
constexpr int ReplaceAttempts = 1;
#endif
constexpr unsigned long ReplaceRetryDelayMs = 40;

} // namespace

JsonFile::Content JsonFile::read(const QString& path)
{
    Content content;
    QFile file(path);
    if (!file.exists())
        return content;
    if (!file.open(QIODevice::ReadOnly)) {
        content.status = Status::Unreadable;
        return content;
    }
    QJsonParseError error {};
    content.document = QJsonDocument::fromJson(file.readAll(), &error);
    content.status = error.error == QJsonParseError::NoError ? Status::Loaded : Status::Broken;
    return content;
}

bool JsonFile::write(const QString& path, const QByteArray& data, Status previous)
{
    // Without a copy of the old content, overwriting it would lose it for good.
    if (previous == Status::Broken && QFileInfo(path).size() > 0 && keepAside(path).isEmpty())
        return false;
    return replace(path, data);
}

QString JsonFile::keepAside(const QString& path)
{
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    const QString stem = info.absolutePath() + QLatin1Char('/') + info.completeBaseName()
        + QStringLiteral(".broken-") + stamp;
    QString target = stem + QStringLiteral(".json");
    for (int n = 2; QFile::exists(target); ++n)
        target = stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".json");
    if (!QFile::copy(path, target)) {
        qWarning() << "Could not keep the unreadable file" << path << "aside as" << target;
        return {};
    }
    qInfo() << "Kept the unreadable file" << path << "as" << target;
    return target;
}

bool JsonFile::replace(const QString& path, const QByteArray& data)
{
    for (int attempt = 1; attempt <= ReplaceAttempts; ++attempt) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        if (file.write(data) != data.size()) {
            file.cancelWriting();
            file.commit();
            return false;
        }
        if (file.commit())
            return true;
        if (attempt < ReplaceAttempts)
            QThread::msleep(ReplaceRetryDelayMs);
    }
    return false;
}
