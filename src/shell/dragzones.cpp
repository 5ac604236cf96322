#include "shell/dragzones.h"

#include <QRect>

namespace {

// QRect's right and bottom are inclusive, which is what the zones need.
QRect span(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

bool DragZones::contains(const QPoint& point, const ViewState& state)
{
    const QRect panelTop = span(50, 0, state.windowWidth, 38);
    if (state.dialog)
        return panelTop.contains(point) || span(0, 602, 42, 644).contains(point);
    if (state.history)
        return panelTop.contains(point) || span(84, 602, 126, 644).contains(point);
    return span(0, 24, 46, 75).contains(point);
}
