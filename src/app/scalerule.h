#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

// The interface scale for a screen: the system DPI ratio, shrunk where needed so that a
// logical area of 1540 x 1000 pixels still fits on the screen in both directions.
class ScaleRule
{
public:
    // metrics as ScreenMetrics::current() gives them ("width", "height", "dpi").
    static double scaleFor(const QHash<QString, QVariant>& metrics);
};
