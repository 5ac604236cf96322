#include "usagestore.h"

#include <QJsonObject>
#include <QTextStream>

UsageStore::UsageStore(const QString& dataDir, int allowance)
    : path(dataDir + QStringLiteral("/usage-counts.json"))
    , allowance(allowance)
{
    load();
}

UsageStore::Counts UsageStore::counts(const QString& deviceSn) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return {used.value(deviceSn), allowance};
}

UsageStore::AddResult UsageStore::add(const QString& deviceSn, Counts* after)
{
    std::lock_guard<std::mutex> lock(mutex);
    const int before = used.value(deviceSn);
    *after = {before, allowance};
    if (before >= allowance)
        return AddResult::Exhausted;
    used.insert(deviceSn, before + 1);
    if (!save()) {
        used.insert(deviceSn, before);
        return AddResult::NotStored;
    }
    after->used = before + 1;
    return AddResult::Added;
}

QString UsageStore::filePath() const
{
    return path;
}

void UsageStore::load()
{
    const JsonFile::Content content = JsonFile::read(path);
    fileStatus = content.status;
    if (content.status == JsonFile::Status::Broken
        || content.status == JsonFile::Status::Unreadable)
        QTextStream(stderr) << "lumora-devserver: " << path
                            << " is unreadable; counts start at 0\n";
    const QJsonObject counts = content.document.object();
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        used.insert(it.key(), it.value().toInt());
}

bool UsageStore::save()
{
    QJsonObject counts;
    for (auto it = used.constBegin(); it != used.constEnd(); ++it)
        counts.insert(it.key(), it.value());
    if (!JsonFile::write(path, QJsonDocument(counts).toJson(), fileStatus))
        return false;
    fileStatus = JsonFile::Status::Loaded;
    return true;
}
