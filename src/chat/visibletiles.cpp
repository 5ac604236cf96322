#include "chat/visibletiles.h"

#include <QImage>
#include <QPainter>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGTexture>
#include <QSGTransformNode>
#include <QSet>

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

QImage VisibleTiles::paintTile(const QRectF& area, const Painter& paint) const
{
    const qreal ratio = item->window()->effectiveDevicePixelRatio();
    QImage image((area.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(0, -area.top());
    paint(&painter, area);
    return image;
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
    QSet<int> stale;
    for (auto it = tiles.begin(); it != tiles.end();) {
        if (it.key() < first || it.key() > last) {
            spare.append(it.value());
            it = tiles.erase(it);
            continue;
        }
        if (dirty && (it.key() + 1) * TileHeight > dirtyFrom)
            stale.insert(it.key());
        ++it;
    }
    dirty = false;
    QQuickWindow* window = item->window();
    for (int index = first; index <= last; ++index) {
        if (tiles.contains(index) && !stale.contains(index))
            continue;
        const QRectF area(0, index * TileHeight, item->width(),
                          std::min(TileHeight, item->height() - index * TileHeight));
        QSGImageNode* node = tiles.value(index);
        const bool added = !node && spare.isEmpty();
        if (added) {
            node = window->createImageNode();
            node->setOwnsTexture(true);
            node->setFiltering(QSGTexture::Linear);
        } else if (!node) {
            node = spare.takeLast();
        }
        node->setTexture(window->createTextureFromImage(paintTile(area, paint)));
        node->setRect(area);
        if (added) // the renderer reads a node's texture when it is added
            root->appendChildNode(node);
        tiles.insert(index, node);
    }
    for (QSGImageNode* node : qAsConst(spare)) {
        root->removeChildNode(node);
        delete node;
    }
    return root;
}
