#include "platform/globalaikey.h"

// Windows delivers the AI key as raw keyboard input to the chat window (NativeWindowEvents);
// nothing needs to be grabbed.
GlobalAiKey::GlobalAiKey(QObject* parent)
    : QObject(parent)
{ }

GlobalAiKey::~GlobalAiKey() = default;

bool GlobalAiKey::start()
{
    return false;
}

bool GlobalAiKey::isActive() const
{
    return false;
}

bool GlobalAiKey::nativeEventFilter(const QByteArray& eventType, void* message, long* result)
{
    Q_UNUSED(eventType)
    Q_UNUSED(message)
    Q_UNUSED(result)
    return false;
}

void GlobalAiKey::stop() { }
