#include "shell/aikeyentry.h"

#include "core/logging.h"
#include "device/devicelistmanager.h"
#include "device/vendor/basedevice.h"
#include "platform/globalaikey.h"

#include <QDebug>

AiKeyEntry::AiKeyEntry(DeviceListManager* devices, QObject* parent)
    : QObject(parent)
    , devices(devices)
    , aiKey(new GlobalAiKey(this))
{
    connect(aiKey, &GlobalAiKey::pressed, this, &AiKeyEntry::onDesktopPress);
}

AiKeyEntry::~AiKeyEntry() = default;

void AiKeyEntry::start()
{
    aiKey->start();
}

GlobalAiKey* AiKeyEntry::globalAiKey() const
{
    return aiKey;
}

void AiKeyEntry::onDesktopPress()
{
    qCInfo(lcShell) << "AI key pressed on the desktop";
    const std::optional<QString> sn = aiKeyboardSerial();
    if (!sn) {
        qCDebug(lcShell) << "AI key pressed, but no keyboard with an AI key is connected";
        return;
    }
    emit requested(*sn);
}

std::optional<QString> AiKeyEntry::aiKeyboardSerial() const
{
    BaseDevice* device = devices ? devices->aiDevice() : nullptr;
    if (!device)
        return std::nullopt;
    const QVariantMap dataMap = device->getAiKeyData().value(QStringLiteral("DataMap")).toMap();
    return dataMap.value(QStringLiteral("sn")).toString();
}
