#include "device/devicecontrolsocket.h"

#include <QDir>
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
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime + QStringLiteral("/lumora-device.sock");
    return QDir::tempPath() + QStringLiteral("/lumora-device-") + qEnvironmentVariable("USER")
        + QStringLiteral(".sock");
#endif
}
