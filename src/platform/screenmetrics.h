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
    static QHash<QString, QVariant> current();

    static QHash<QString, QVariant> make(int width, int height, double dpiRatio);
};
