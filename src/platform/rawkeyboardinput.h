#pragma once

#include <QWindow>

// Subscribes a window to the keyboard input of the whole desktop, so that the AI key reaches
// it even while another program has the focus.
class RawKeyboardInput
{
public:
    // Logs the outcome; a failure only means that the AI key then arrives through the device
    // library alone.
    static void registerRawKeyboardInput(WId window);
};
