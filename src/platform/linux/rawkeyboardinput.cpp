#include "platform/rawkeyboardinput.h"

#include <QDebug>

void RawKeyboardInput::registerRawKeyboardInput(WId window)
{
    // Desktop-wide key capture has no portable equivalent here; the AI key comes from the
    // device library until a dedicated key source exists.
    qDebug() << "Raw keyboard input is not available on this platform; window" << window
             << "gets the AI key through the device library only.";
}
