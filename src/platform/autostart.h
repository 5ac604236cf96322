#pragma once

#include <QString>

// Starting the program when the user logs on. Windows: a value under the user's "Run" key,
// named after the executable, holding its quoted path. Linux: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/lumora.desktop.
class AutoStart
{
public:
    // Registers program (an absolute path) when on is true, removes the registration when it
    // is false. An entry that already says the same is left alone. Returns false when the
    // change could not be made.
    static bool apply(bool on, const QString& program);

    // True when the system would start program at log-on.
    static bool isRegistered(const QString& program);

    // Where the registration lives, for messages and tests (a registry path on Windows).
    static QString location();
};
