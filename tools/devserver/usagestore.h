#pragma once

#include "core/jsonfile.h"

#include <QHash>
#include <QString>

#include <mutex>

// Answers used per keyboard serial number, kept in "usage-counts.json" in the data folder
// (one JSON object, serial number to count). Every change rewrites the file atomically
// before it is answered, so a count that was reported is never lost by a kill. The server
// handles requests on several threads; one lock guards the map and the file together.
class UsageStore
{
public:
    struct Counts
    {
        int used = 0;
        int max = 0;
    };

    enum class AddResult {
        Added,
        Exhausted, // the allowance is used up; nothing changed
        NotStored, // the file could not be written; nothing changed
    };

    UsageStore(const QString& dataDir, int allowance);

    Counts counts(const QString& deviceSn) const;
    AddResult add(const QString& deviceSn, Counts* after);

    QString filePath() const;

private:
    void load();
    bool save();

    mutable std::mutex mutex;
    QString path;
    int allowance;
    QHash<QString, int> used;
    JsonFile::Status fileStatus = JsonFile::Status::Missing;
};
