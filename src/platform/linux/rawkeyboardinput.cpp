#include "platform/rawkeyboardinput.h"

#include "core/logging.h"

#include <QDebug>

void RawKeyboardInput::registerRawKeyboardInput(WId window)
{
    // X11 has no desktop-wide raw keyboard input; the chat window grabs the AI key itself
    // (GlobalAiKey), and the device library reports it too.
    qCDebug(lcPlatform) << "Raw keyboard input is not available on this platform; window" << window
                        << "gets the AI key from the F20 grab and the device library.";
}
