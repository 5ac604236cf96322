#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QString>

// Reads and writes the app's JSON files. Writes are atomic: the new content goes to a
// temporary file that replaces the old one only when it is complete, so a crash, a kill or
// a full disk never leaves a truncated file. A file that exists but does not parse is never
// silently overwritten: a copy is kept beside it before the first write over it.
class JsonFile
{
public:
    enum class Status {
        Loaded, // opened and parsed; document may still be an array or an object
        Missing, // no such file
        Unreadable, // exists, cannot be opened for reading
        Broken, // opened, but the content is not JSON
    };

    struct Content
    {
        Status status = Status::Missing;
        QJsonDocument document; // null unless status is Loaded
    };

    static Content read(const QString& path);

    // Replaces the file at path with data. previous is the status of the last read of that
    // file: Broken keeps the old content aside first, and writes nothing when that copy
    // cannot be made. Returns false when nothing was written.
    static bool write(const QString& path, const QByteArray& data,
                      Status previous = Status::Loaded);

    // Copies the file to "<base>.broken-<yyyyMMddHHmmss>.json" beside it and logs where.
    // Returns the new path, or an empty string when the copy failed.
    static QString keepAside(const QString& path);
};
