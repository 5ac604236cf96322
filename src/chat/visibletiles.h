#pragma once

#include <QHash>
#include <QImage>
#include <QRectF>

#include <functional>

class QPainter;
class QQuickItem;
class QSGImageNode;
class QSGNode;

// Paints a tall item (a long answer's piece) in tiles, and only the tiles of what the window
// shows (within the window and every clipping ancestor, the message list) and one tile around
// it: painting and holding pixels for text nobody sees would cost as much as for text in view.
// Tiles are kept until they leave the view; a tile whose content changed from some height down
// is painted again from there (a growing answer changes at its end).
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
    struct Tile
    {
        QSGImageNode* node = nullptr;
        QImage image; // always TileHeight high; the last tile shows only its top
    };

    static const QImage& placeholder();
    void paintTile(Tile& tile, const QRectF& area, qreal from, const Painter& paint) const;
    QPair<int, int> neededTiles(const QRectF& area) const;

    QQuickItem* item;
    QHash<int, Tile> tiles;
    qreal dirtyFrom = 0;
    bool dirty = true;
    qreal paintedWidth = 0;
};
