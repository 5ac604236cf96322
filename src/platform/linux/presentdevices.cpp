#include "platform/presentdevices.h"

#include <QFile>

#include <dirent.h>

namespace {

// Plain readdir: this runs every 50 ms for the life of the program, and QDir would stat and
// sort each entry.
int countEntries(const QString& folder)
{
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return 0;
    int count = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.')
            ++count;
    }
    closedir(dir);
    return count;
}

} // namespace

int PresentDevices::systemCount(const QString& root)
{
    return countEntries(root + QStringLiteral("/input"))
        + countEntries(root + QStringLiteral("/hidraw"));
}
