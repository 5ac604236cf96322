#include "platform/rawkeyboardinput.h"

#include "core/logging.h"

#include <QDebug>

#include <windows.h>

void RawKeyboardInput::registerRawKeyboardInput(WId window)
{
    RAWINPUTDEVICE device;
    device.usUsagePage = 0x01; // generic desktop
    device.usUsage = 0x06; // keyboard
    device.dwFlags = RIDEV_INPUTSINK; // also while another application has the focus
    device.hwndTarget = reinterpret_cast<HWND>(window);
    if (RegisterRawInputDevices(&device, 1, sizeof(device)))
        qCDebug(lcPlatform) << "Raw input device registered successfully.";
    else
        qCDebug(lcPlatform) << "Failed to register raw input device!";
}
