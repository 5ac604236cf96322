#pragma once

#include <QHash>
#include <QRectF>

#include <functional>

class QImage;
class QPainter;
class QQuickItem;
class QSGImageNode;
class QSGNode;

// Paints a tall item (a long answer's piece) in tiles, and only the tiles of what the window
// shows (within the window and every clipping ancestor, the message list) and one tile around
// it: painting and holding pixels for text nobody sees would cost as much as for text in view.
// Tiles are kept until their content changes or they leave the view.
class VisibleTiles
{
public:
    using Painter = std::function<void(QPainter*, const QRectF&)>;
    static constexpr qreal TileHeight = 256;

    explicit VisibleTiles(QQuickItem* item);

    // The content from y down changed (everything when y is 0).
    void invalidate(qreal from = 0);
    // The tiles that the view needs for area (visibleArea()) are not all there: the item asks
    // for a frame.
    bool isBehind(const QRectF& area) const;
    // For the item's updatePaintNode: the root node of the tiles, tiles made and dropped as the
    // view needs; paint draws the content of an area in item coordinates.
    QSGNode* update(QSGNode* root, const Painter& paint);
    // What of the item the window shows, in item coordinates (empty when nothing).
    QRectF visibleArea() const;

private:
    QImage paintTile(const QRectF& area, const Painter& paint) const;
    QPair<int, int> neededTiles(const QRectF& area) const;

    QQuickItem* item;
    QHash<int, QSGImageNode*> tiles;
    qreal dirtyFrom = 0;
    bool dirty = true;
    qreal paintedWidth = 0;
};
