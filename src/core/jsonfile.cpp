#include "core/jsonfile.h"

#include "core/atomicfile.h"
#include "core/logging.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

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
    return AtomicFile::replace(path, data);
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
        qCWarning(lcCore) << "Could not keep the unreadable file" << path << "aside as" << target;
        return {};
    }
    qCInfo(lcCore) << "Kept the unreadable file" << path << "as" << target;
    return target;
}
