#pragma once

#include <QString>

class QWindow;

// Brings the chat window back when a later start of the program asks for it.
class WindowWaker
{
public:
    // The one message that instances exchange.
    static QString wakeMessage();

    // When message is the wake message and window is minimised or hidden: shows it normally,
    // raises and activates it, and returns true. Anything else changes nothing.
    static bool wake(QWindow* window, const QString& message);
};
