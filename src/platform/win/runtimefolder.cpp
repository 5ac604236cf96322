#include "platform/runtimefolder.h"

#include <QDir>

// %TEMP% lies in the user's profile, which other users cannot enter.
QString RuntimeFolder::path()
{
    return QDir::tempPath();
}
