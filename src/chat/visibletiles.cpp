#include "chat/visibletiles.h"

#include <QImage>
#include <QPainter>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGTexture>
#include <QSGTransformNode>

#include <algorithm>
#include <cmath>

VisibleTiles::VisibleTiles(QQuickItem* item)
    : item(item)
{ }

void VisibleTiles::invalidate(qreal from)
{
    dirtyFrom = dirty ? std::min(dirtyFrom, from) : from;
    dirty = true;
}

QRectF VisibleTiles::visibleArea() const
{
    QQuickWindow* window = item->window();
    if (!window || !item->isVisible() || item->width() <= 0 || item->height() <= 0)
        return QRectF();
    QRectF area(QPointF(0, 0), window->size());
    for (const QQuickItem* clipper = item->parentItem(); clipper; clipper = clipper->parentItem()) {
        if (clipper->clip())
            area &= clipper->mapRectToScene(clipper->boundingRect());
    }
    return item->mapRectFromScene(area) & item->boundingRect();
}

// The tiles of the visible area and one more above and below it.
QPair<int, int> VisibleTiles::neededTiles(const QRectF& area) const
{
    if (area.isEmpty())
        return {0, -1};
    const int last = int(std::ceil(item->height() / TileHeight)) - 1;
    return {std::max(0, int(area.top() / TileHeight) - 1),
            std::min(last, int(area.bottom() / TileHeight) + 1)};
}

bool VisibleTiles::isBehind(const QRectF& area) const
{
    if (dirty)
        return true;
    const auto [first, last] = neededTiles(area);
    for (int index = first; index <= last; ++index) {
        if (!tiles.contains(index))
            return true;
    }
    return false;
}

// A texture of one transparent pixel, to hold a node's place while its tile is painted.
const QImage& VisibleTiles::placeholder()
{
    static const QImage pixel = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    }();
    return pixel;
}

// Paints the tile of area again from the height from (item coordinates) down; a tile without
// an image of the right size is painted whole.
void VisibleTiles::paintTile(Tile& tile, const QRectF& area, qreal from, const Painter& paint) const
{
    const qreal ratio = item->window()->effectiveDevicePixelRatio();
    const QSize size = (QSizeF(area.width(), TileHeight) * ratio).toSize();
    if (tile.image.size() != size || !qFuzzyCompare(tile.image.devicePixelRatio(), ratio)) {
        tile.image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        tile.image.setDevicePixelRatio(ratio);
        from = area.top();
    }
    // Whole device pixels, so that the pixels above are left exactly as they were.
    const qreal top = std::max(0.0, std::floor((from - area.top()) * ratio) / ratio);
    const QRectF changed(0, top, area.width(), TileHeight - top);
    QPainter painter(&tile.image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(changed, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setClipRect(changed);
    painter.translate(0, -area.top());
    paint(&painter, changed.translated(0, area.top()));
}

QSGNode* VisibleTiles::update(QSGNode* root, const Painter& paint)
{
    if (!root) {
        // The scene graph dropped the old nodes with their root. A transform node (that moves
        // nothing) rather than a plain one: the software renderer places a node added later
        // by the state it keeps for the node's parent, which it keeps for transform nodes but
        // not for plain ones; a tile added under a plain node is drawn at the window's corner,
        // unclipped.
        root = new QSGTransformNode;
        tiles.clear();
    }
    if (!qFuzzyCompare(paintedWidth, item->width())) {
        paintedWidth = item->width();
        invalidate();
    }
    const auto [first, last] = neededTiles(visibleArea());
    // Nodes are painted again in place, and the nodes of tiles that left the view serve the
    // tiles that came into it: deleting a node and making one in the same frame confuses the
    // software renderer, which then draws the new node without its item's place and clip when
    // it gets the old one's address.
    QVector<QSGImageNode*> spare;
    for (auto it = tiles.begin(); it != tiles.end();) {
        if (it.key() < first || it.key() > last) {
            spare.append(it->node);
            it = tiles.erase(it);
        } else {
            ++it;
        }
    }
    QQuickWindow* window = item->window();
    for (int index = first; index <= last; ++index) {
        const QRectF area(0, index * TileHeight, item->width(),
                          std::min(TileHeight, item->height() - index * TileHeight));
        Tile& tile = tiles[index];
        const bool added = !tile.node && spare.isEmpty();
        if (tile.node && !(dirty && area.top() + TileHeight > dirtyFrom))
            continue;
        // The node's texture shares the tile's pixels: without it, painting changes them in
        // place instead of copying them first.
        if (tile.node)
            tile.node->setTexture(window->createTextureFromImage(placeholder()));
        paintTile(tile, area, tile.node ? dirtyFrom : area.top(), paint);
        if (added) {
            tile.node = window->createImageNode();
            tile.node->setOwnsTexture(true);
            tile.node->setFiltering(QSGTexture::Linear);
        } else if (!tile.node) {
            tile.node = spare.takeLast();
        }
        tile.node->setTexture(window->createTextureFromImage(tile.image));
        tile.node->setSourceRect(
            QRectF(QPointF(0, 0), area.size() * tile.image.devicePixelRatio()));
        tile.node->setRect(area);
        if (added) // the renderer reads a node's texture when it is added
            root->appendChildNode(tile.node);
    }
    dirty = false;
    for (QSGImageNode* node : qAsConst(spare)) {
        root->removeChildNode(node);
        delete node;
    }
    return root;
}
