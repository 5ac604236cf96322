#pragma once

#include <QString>

// File names of executables: "name.exe" on Windows, "name" on other systems.
class ExecutableFile
{
public:
    static QString fileName(const QString& baseName);
};
