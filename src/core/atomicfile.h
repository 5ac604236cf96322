#pragma once

#include <QByteArray>
#include <QString>

// The one atomic save of the app: the new content goes to a temporary file beside the target
// and replaces it only when every byte reached the disk, so a crash, a kill or a full disk
// leaves the old file as it was.
class AtomicFile
{
public:
    // Replaces the file at path with data (the folder must exist). Returns false, leaving the
    // old file untouched, when anything failed.
    static bool replace(const QString& path, const QByteArray& data);
};
