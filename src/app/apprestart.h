#pragma once

#include <functional>

class SingleInstance;

// Restarting the program, e.g. after the maintenance tool has installed an update. The
// request only ends the event loop; start-up then tears the windows down, gives up the
// single-instance lock and only then starts the program again, so the new process is never
// turned away as a second instance of the one that is quitting.
class AppRestart
{
public:
    // Ends the event loop with a restart to follow.
    static void request();
    static bool isRequested();

    // After the event loop: releases instance, then starts the program again detached.
    // Returns false when nothing was requested or the start failed.
    static bool restartIfRequested(SingleInstance& instance);

    // Test seam: what request() does instead of quitting (null restores the default).
    static void setRequestHandler(std::function<void()> handler);
};
