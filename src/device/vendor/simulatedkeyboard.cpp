#include "device/vendor/simulatedkeyboard.h"

bool SimulatedKeyboard::parseOpenMode(const QString& text, OpenMode* mode)
{
    if (text == QLatin1String("ok"))
        *mode = OpenMode::Ok;
    else if (text == QLatin1String("never"))
        *mode = OpenMode::Never;
    else if (text == QLatin1String("now"))
        *mode = OpenMode::Now;
    else
        return false;
    return true;
}

QString SimulatedKeyboard::openModeName(OpenMode mode)
{
    switch (mode) {
    case OpenMode::Never:
        return QStringLiteral("never");
    case OpenMode::Now:
        return QStringLiteral("now");
    case OpenMode::Ok:
        break;
    }
    return QStringLiteral("ok");
}
