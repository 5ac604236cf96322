#pragma once

#include <QString>

// Where the files installed with the program live: the first-run defaults ("default/") and the
// translations ("translations/"). On Windows and in the build tree they sit beside the
// executable; an installed Linux tree keeps them under share/lumora, found from the
// executable's folder (bin/) so that any installation prefix works.
class InstallLayout
{
public:
    // The folder that holds "default/" and "translations/".
    static QString dataDir();
    // dataDir() for a program in appDir; exposed for tests.
    static QString dataDirFor(const QString& appDir);
};
