#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the tray menu opens and when it closes by itself.
class TrayMenuPlacement
{
public:
    // Top-left of a menu of the given size opened at cursor, inside area (the available
    // geometry of the screen under the cursor). Above the cursor, to its right unless the menu
    // would reach the area's right edge, then to its left. A menu that does not fit above
    // (a panel at the top) opens below the cursor. The result always lies inside area when the
    // menu fits in it at all.
    static QPoint place(const QPoint& cursor, const QSize& size, const QRect& area);

    // The auto-close rule: the menu stays open while the cursor lies within its rectangle,
    // edges included, the right and bottom edge one pixel beyond the last column and row, or
    // between the menu and the point where it was opened (the way from the tray icon into a
    // menu that had to be moved into the screen).
    static bool keepsOpen(const QRect& menu, const QPoint& opening, const QPoint& cursor);
};
