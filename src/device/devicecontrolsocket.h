#pragma once

#include <QString>

// Where the running app listens for device commands (lumora-devicectl): a per-user local
// socket. LUMORA_DEVICE_SOCKET overrides the name; otherwise it is a socket file in the
// user's private runtime folder (platform/runtimefolder.h; empty when there is none) or, on
// Windows, a pipe named after the user.
class DeviceControlSocket
{
public:
    static QString serverName();
    // A command line is at most this long, its newline included.
    static constexpr int MaxLineLength = 4096;
};
