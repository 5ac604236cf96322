#include "platform/executablefile.h"

QString ExecutableFile::fileName(const QString& baseName)
{
    return baseName;
}
