#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

// Size and DPI ratio of the primary display, the input of the start-up scale rule.
class ScreenMetrics
{
public:
    // "width" and "height" (int): the display's current mode in physical pixels.
    // "dpi" (double): the system DPI ratio, logical DPI / 96 (1.0 when it cannot be read).
    // The values never depend on the scale factor the process itself runs with, so the
    // scale computed from them is the same on every start.
    // Empty when the display cannot be read yet: on Linux the screens are known only once
    // the application object exists.
    static QHash<QString, QVariant> current();

    static QHash<QString, QVariant> make(int width, int height, double dpiRatio);
};
