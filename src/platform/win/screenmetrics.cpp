#include "platform/screenmetrics.h"

#include <windows.h>

QHash<QString, QVariant> ScreenMetrics::current()
{
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof(mode));
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);

    double dpiRatio = 1.0;
    if (HDC screen = GetDC(nullptr)) {
        dpiRatio = GetDeviceCaps(screen, LOGPIXELSX) / 96.0;
        ReleaseDC(nullptr, screen);
    }
    return make(static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight), dpiRatio);
}
