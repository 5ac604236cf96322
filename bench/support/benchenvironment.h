#pragma once

#include <QTemporaryDir>
#include <QtGlobal>

class ConfigEngine;

// What every benchmark sets up before its application starts: the offscreen platform unless
// another one is asked for, and config and data folders of its own in a temporary folder, so
// that a run never touches the user's files. Keep the object for the whole run.
class BenchEnvironment
{
public:
    BenchEnvironment();

    // Points config at the app's folders under the temporary ones.
    static void initialize(ConfigEngine& config);
    // The CPU time the calling thread has used, in nanoseconds.
    static qint64 threadCpuNs();

private:
    QTemporaryDir home;
};
