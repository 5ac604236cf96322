#include "shell/traymenuplacement.h"

#include <QtGlobal>

namespace {

int clampInto(int value, int low, int length, int size)
{
    const int high = low + length - size;
    return high < low ? low : qBound(low, value, high);
}

} // namespace

QPoint TrayMenuPlacement::place(const QPoint& cursor, const QSize& size, const QRect& area)
{
    int x = cursor.x();
    if (cursor.x() + size.width() >= area.x() + area.width())
        x = cursor.x() - size.width();
    int y = cursor.y() - size.height();
    if (y < area.y())
        y = cursor.y();
    return {clampInto(x, area.x(), area.width(), size.width()),
            clampInto(y, area.y(), area.height(), size.height())};
}

bool TrayMenuPlacement::keepsOpen(const QRect& menu, const QPoint& opening, const QPoint& cursor)
{
    const int left = qMin(menu.x(), opening.x());
    const int top = qMin(menu.y(), opening.y());
    const int right = qMax(menu.x() + menu.width(), opening.x());
    const int bottom = qMax(menu.y() + menu.height(), opening.y());
    return cursor.x() >= left && cursor.x() <= right && cursor.y() >= top && cursor.y() <= bottom;
}
