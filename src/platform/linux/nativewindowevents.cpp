#include "platform/nativewindowevents.h"

// The xcb messages carry neither of these events: the AI key is grabbed on the root window
// (GlobalAiKey) and the window manager minimises and restores through ordinary state changes.
NativeWindowEvents::Event NativeWindowEvents::decode(const QByteArray& eventType, void* message)
{
    Q_UNUSED(eventType)
    Q_UNUSED(message)
    Q_UNUSED(keyState)
    return Event::None;
}
