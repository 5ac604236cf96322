#include "device/vendor/systemdevice.h"

#include "platform/systemkeyboards.h"

#include <QMetaObject>

QVariantMap SystemDevice::getDeviceDetails()
{
    // Only keyboards with the AI key are listed, so every one of them is an AI keyboard.
    QString deviceName = name();
    if (!deviceName.contains(QLatin1String("AI")))
        deviceName += QStringLiteral(" (AI)");
    return {{QStringLiteral("DeviceName"), deviceName}};
}

QVariantMap SystemDevice::getAiKeyData()
{
    return aiKeyData(serial);
}

bool SystemDevice::open(const QString& path, const QString& reportPath)
{
    Q_UNUSED(reportPath)
    const std::optional<SystemKeyboards::Keyboard> keyboard = SystemKeyboards::find(path);
    if (!keyboard)
        return false;
    serial = keyboard->serial;
    // Reported from the event loop, as the library's own open would be: the caller connects
    // first and expects the answer later.
    QMetaObject::invokeMethod(
        this, [this] { emit emitOpenDeviceSucceed(); }, Qt::QueuedConnection);
    return true;
}
