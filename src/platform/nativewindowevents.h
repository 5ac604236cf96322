#pragma once

#include "platform/windowsmessagedecoder.h"

#include <QByteArray>

// The chat window's desktop events that arrive as the platform's native messages: the AI key
// picked out of the keyboard input of the whole desktop, and the taskbar's minimise/restore
// command. Platforms without such messages report nothing here (on Linux the AI key comes from
// GlobalAiKey).
class NativeWindowEvents
{
public:
    enum class Event {
        None,
        // The message still goes on to the default handling.
        AiKeyPressed,
        // The window handles the message itself and reports it handled with result 0.
        MinimiseRestoreToggle,
    };

    Event decode(const QByteArray& eventType, void* message);

private:
    WindowsMessageDecoder::KeyState keyState;
};
