#include "device/devicecontrolsocket.h"

#include "platform/runtimefolder.h"

#include <QtGlobal>

QString DeviceControlSocket::serverName()
{
    const QString overridden = qEnvironmentVariable("LUMORA_DEVICE_SOCKET");
    if (!overridden.isEmpty())
        return overridden;
#ifdef Q_OS_WIN
    // Pipe names are machine-wide; the user's name keeps two sessions apart.
    return QStringLiteral("lumora-device-") + qEnvironmentVariable("USERNAME");
#else
    // Never a name in a folder others can write to: another user could take it first.
    const QString runtime = RuntimeFolder::path();
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/lumora-device.sock");
#endif
}
