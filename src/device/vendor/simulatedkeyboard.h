#pragma once

#include <QString>

// One keyboard plugged into the simulated device library. Its paths derive from the serial
// and the connection, so a re-plugged keyboard comes back under the same path.
struct SimulatedKeyboard
{
    // When a device object opened on this keyboard hears that the open succeeded: a little
    // later from the library's own thread, never, or at once inside openDevice().
    enum class OpenMode { Ok, Never, Now };

    QString name;
    QString sn;
    QString connectType = QStringLiteral("wired");
    int type = 0;
    OpenMode open = OpenMode::Ok;
    int batteryLevel = 100;
    int batteryStatus = 0;

    QString path() const { return QStringLiteral("sim:%1/%2").arg(sn, connectType); }
    QString reportPath() const { return path() + QStringLiteral("/report"); }

    static bool parseOpenMode(const QString& text, OpenMode* mode);
    static QString openModeName(OpenMode mode);
};
