#include "shell/chatplacement.h"

#include <QtGlobal>

namespace {

// The start of a span of length size moved into [low, low + room): the far edge first, then
// the near one, which wins when the span is longer than the room.
int fitSpan(int start, int size, int low, int room)
{
    start = qMin(start, low + room - size);
    return qMax(start, low);
}

} // namespace

QRect ChatPlacement::fit(const QRect& intended, const QRect& available)
{
    if (!available.isValid())
        return intended;
    const int x = fitSpan(intended.x(), intended.width(), available.x(), available.width());
    const int y = fitSpan(intended.y(), intended.height(), available.y(), available.height());
    return QRect(QPoint(x, y), intended.size());
}

QRect ChatPlacement::firstPlace(const QRect& available, const QSize& collapsed, int openHeight)
{
    const int x = available.x() + (available.width() - collapsed.width()) / 2;
    const int centred = available.y() + (available.height() - collapsed.height()) / 2;
    const int roomAbove = openHeight - collapsed.height();
    const int y = qMax(centred, available.y() + roomAbove);
    return fit(QRect(QPoint(x, y), collapsed), available);
}
