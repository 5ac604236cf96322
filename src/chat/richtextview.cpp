#include "chat/richtextview.h"

#include "chat/piecedocuments.h"
#include "chat/piecestext.h"
#include "chat/richtextpiece.h"
#include "chat/richtextsegments.h"
#include "chat/textkeymoves.h"

#include <QClipboard>
#include <QCursor>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyleHints>
#include <QtQml>

#include <algorithm>

bool RichTextView::Place::operator<(const Place& other) const
{
    return piece < other.piece || (piece == other.piece && position < other.position);
}

bool RichTextView::Place::operator==(const Place& other) const
{
    return piece == other.piece && position == other.position;
}

RichTextView::RichTextView(QQuickItem* parent)
    : QQuickItem(parent)
    , model(new RichTextSegments(this))
{
    setAcceptedMouseButtons(Qt::LeftButton);
    setFiltersChildMouseEvents(true);
    setCursor(Qt::IBeamCursor);
    setActiveFocusOnTab(false);
    // The empty lines around a table depend on the pieces next to it, not only on heights.
    connect(model, &QAbstractItemModel::dataChanged, this, &QQuickItem::polish);
}

void RichTextView::registerQmlType()
{
    static const int types[] = {
        qmlRegisterType<RichTextView>("Lumora.Chat", 1, 0, "RichTextView"),
        qmlRegisterType<RichTextPiece>("Lumora.Chat", 1, 0, "RichTextPiece"),
        qmlRegisterUncreatableType<RichTextSegments>("Lumora.Chat", 1, 0, "RichTextSegments",
                                                     QStringLiteral("made by RichTextView")),
    };
    Q_UNUSED(types)
}

QString RichTextView::html() const
{
    return model->html();
}

void RichTextView::setHtml(const QString& html)
{
    if (model->html() == html)
        return;
    model->setHtml(html);
    // Pieces that went take their part of the selection with them.
    const int count = model->count();
    if (anchor.piece >= count || active.piece >= count) {
        const Place last = count > 0 ? endOf(count - 1) : Place();
        anchor = std::min(anchor, last);
        active = std::min(active, last);
    }
    showSelection();
    emit htmlChanged();
}

RichTextSegments* RichTextView::segments() const
{
    return model;
}

bool RichTextView::hasSelection() const
{
    return anchor.piece >= 0 && !(anchor == active);
}

// The piece among the item's visual descendants (a delegate replaced by its Loader may linger
// as an object until it is deleted, but not in the scene).
RichTextPiece* RichTextView::pieceOf(QQuickItem* item)
{
    if (auto* piece = qobject_cast<RichTextPiece*>(item))
        return piece;
    for (QQuickItem* child : item->childItems()) {
        if (RichTextPiece* piece = pieceOf(child))
            return piece;
    }
    return nullptr;
}

// The delegates that hold a piece, in the order the Repeater keeps them in.
QVector<QQuickItem*> RichTextView::delegates() const
{
    QVector<QQuickItem*> found;
    for (QQuickItem* child : childItems()) {
        if (pieceOf(child))
            found.append(child);
    }
    return found;
}

QVector<RichTextPiece*> RichTextView::pieces() const
{
    QVector<RichTextPiece*> found;
    for (QQuickItem* child : childItems()) {
        if (RichTextPiece* piece = pieceOf(child))
            found.append(piece);
    }
    return found;
}

void RichTextView::itemChange(ItemChange change, const ItemChangeData& value)
{
    if (change == ItemChildAddedChange) {
        connect(value.item, &QQuickItem::heightChanged, this, &QQuickItem::polish);
        polish();
    } else if (change == ItemChildRemovedChange) {
        disconnect(value.item, nullptr, this, nullptr);
        polish();
    }
    QQuickItem::itemChange(change, value);
}

void RichTextView::geometryChanged(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    if (newGeometry.width() != oldGeometry.width())
        polish();
    QQuickItem::geometryChanged(newGeometry, oldGeometry);
}

// Stacks the pieces; between two of them the larger of the margins that meet, as one document
// does between two blocks, and the empty lines it has there (around a table).
void RichTextView::updatePolish()
{
    const QVector<QQuickItem*> list = delegates();
    const QVector<RichTextPiece*> shown = pieces();
    const qreal line = shown.isEmpty() ? 0 : QFontMetricsF(shown.first()->font()).height();
    qreal y = 0;
    RichTextPiece* above = nullptr;
    for (int index = 0; index <= list.size(); ++index) {
        RichTextPiece* piece = index < list.size() ? shown.at(index) : nullptr;
        const int empty = PiecesText::emptyBlocksBefore(shown, index);
        if (empty > 0)
            y += (above ? above->bottomMargin() : 0) + (piece ? piece->topMargin() : 0)
                + empty * line;
        else if (above && piece)
            y += std::max(above->bottomMargin(), piece->topMargin()) + empty * line;
        if (!piece)
            break;
        list.at(index)->setPosition(QPointF(0, y));
        y += list.at(index)->height();
        above = piece;
    }
    setImplicitHeight(y);
}

RichTextView::Place RichTextView::placeAt(const QPointF& point) const
{
    const QVector<QQuickItem*> list = delegates();
    if (list.isEmpty())
        return {};
    int index = 0;
    while (index + 1 < list.size() && point.y() >= list.at(index + 1)->y())
        ++index;
    RichTextPiece* piece = pieceOf(list.at(index));
    QPointF local = mapToItem(piece, point);
    local.setY(std::clamp<qreal>(local.y(), 0, std::max<qreal>(0, piece->height() - 1)));
    return {index, piece->content().positionAt(local)};
}

RichTextView::Place RichTextView::endOf(int piece) const
{
    const QVector<RichTextPiece*> list = pieces();
    if (piece < 0 || piece >= list.size())
        return {};
    return {piece, list.at(piece)->content().length()};
}

RichTextView::Place RichTextView::moved(const Place& from, QTextCursor::MoveOperation op) const
{
    const QVector<RichTextPiece*> list = pieces();
    if (list.isEmpty() || from.piece < 0)
        return from;
    if (op == QTextCursor::Start)
        return {0, 0};
    if (op == QTextCursor::End)
        return endOf(list.size() - 1);
    const int position = list.at(from.piece)->content().moved(from.position, op);
    return position >= 0 ? Place {from.piece, position} : crossed(from, op);
}

// A move that leaves its piece: into the next or the one before, keeping the column for lines.
RichTextView::Place RichTextView::crossed(const Place& from, QTextCursor::MoveOperation op) const
{
    const QVector<RichTextPiece*> list = pieces();
    RichTextPiece* piece = list.at(from.piece);
    const qreal x =
        piece->mapToItem(this, piece->content().cursorRect(from.position).topLeft()).x();
    if (TextKeyMoves::isForward(op)) {
        if (from.piece + 1 >= list.size())
            return op == QTextCursor::Down ? endOf(from.piece) : from;
        RichTextPiece* next = list.at(from.piece + 1);
        if (op != QTextCursor::Down)
            return {from.piece + 1, 0};
        const QPointF local(next->mapFromItem(this, QPointF(x, 0)).x(), 1);
        return {from.piece + 1, next->content().positionAt(local)};
    }
    if (TextKeyMoves::isBackward(op)) {
        if (from.piece == 0)
            return op == QTextCursor::Up ? Place {0, 0} : from;
        RichTextPiece* previous = list.at(from.piece - 1);
        if (op != QTextCursor::Up)
            return endOf(from.piece - 1);
        const QPointF local(previous->mapFromItem(this, QPointF(x, 0)).x(), previous->height() - 1);
        return {from.piece - 1, previous->content().positionAt(local)};
    }
    return from;
}

void RichTextView::selectUnitAt(const Place& place, QTextCursor::SelectionType unit)
{
    const QVector<RichTextPiece*> list = pieces();
    if (place.piece < 0 || place.piece >= list.size())
        return;
    const auto [start, end] = list.at(place.piece)->content().unitAt(place.position, unit);
    anchor = {place.piece, start};
    active = {place.piece, end};
    showSelection();
}

// Puts the selection into the pieces: the first from the earlier place on, the last up to the
// later one, every piece between them whole.
void RichTextView::showSelection()
{
    const QVector<RichTextPiece*> list = pieces();
    const Place from = std::min(anchor, active);
    const Place to = std::max(anchor, active);
    for (int index = 0; index < list.size(); ++index) {
        RichTextPiece* piece = list.at(index);
        if (from.piece < 0 || index < from.piece || index > to.piece) {
            piece->setSelection(0, 0);
            continue;
        }
        const int start = index == from.piece ? from.position : 0;
        const int end = index == to.piece ? to.position : piece->content().length();
        piece->setSelection(start, end);
    }
    emit selectionChanged();
}

QString RichTextView::text() const
{
    const QVector<RichTextPiece*> list = pieces();
    if (list.isEmpty())
        return QString();
    return PiecesText(list, 0, 0, list.size() - 1, list.last()->content().length()).plain();
}

QString RichTextView::selectedText() const
{
    if (!hasSelection())
        return QString();
    const Place from = std::min(anchor, active);
    const Place to = std::max(anchor, active);
    return PiecesText(pieces(), from.piece, from.position, to.piece, to.position).plain();
}

void RichTextView::selectAll()
{
    const int count = pieces().size();
    if (count == 0)
        return;
    anchor = {0, 0};
    active = endOf(count - 1);
    showSelection();
}

void RichTextView::deselect()
{
    anchor = active = Place();
    showSelection();
}

void RichTextView::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setMimeData(selectionMimeData());
}

// The selection as one rich text and as plain text, as an edit copies its own selection.
QMimeData* RichTextView::selectionMimeData() const
{
    const Place from = std::min(anchor, active);
    const Place to = std::max(anchor, active);
    auto* data = new QMimeData;
    data->setHtml(PiecesText(pieces(), from.piece, from.position, to.piece, to.position).html());
    data->setText(selectedText());
    return data;
}

// Presses on a piece (or the scroller around it) are the view's: a drag selects, and it may
// run on into the next piece, which only the view can follow. Buttons and scroll bars around
// the pieces keep theirs.
bool RichTextView::childMouseEventFilter(QQuickItem* item, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        if (!pieceOf(item))
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        QMouseEvent local(event->type(), mapFromItem(item, mouse->localPos()), mouse->windowPos(),
                          mouse->screenPos(), mouse->button(), mouse->buttons(), mouse->modifiers(),
                          mouse->source());
        QCoreApplication::sendEvent(this, &local);
        if (event->type() == QEvent::MouseButtonPress && local.isAccepted())
            grabMouse();
        return local.isAccepted();
    }
    default:
        return false;
    }
}

void RichTextView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    forceActiveFocus(Qt::MouseFocusReason);
    // A drag selects; the list around the view must not take it over to scroll.
    setKeepMouseGrab(true);
    const Place place = placeAt(event->localPos());
    const bool tripleClick = sinceDoubleClick.isValid()
        && sinceDoubleClick.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval()
        && (event->localPos() - doubleClickAt).manhattanLength()
            < QGuiApplication::styleHints()->startDragDistance();
    sinceDoubleClick.invalidate();
    if (tripleClick) {
        selectUnitAt(place, QTextCursor::BlockUnderCursor);
        return;
    }
    if (!(event->modifiers() & Qt::ShiftModifier) || anchor.piece < 0)
        anchor = place;
    active = place;
    showSelection();
}

void RichTextView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || anchor.piece < 0) {
        event->ignore();
        return;
    }
    active = placeAt(event->localPos());
    showSelection();
}

void RichTextView::mouseReleaseEvent(QMouseEvent* event)
{
    setKeepMouseGrab(false);
    event->setAccepted(event->button() == Qt::LeftButton);
}

void RichTextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    selectUnitAt(placeAt(event->localPos()), QTextCursor::WordUnderCursor);
    sinceDoubleClick.start();
    doubleClickAt = event->localPos();
}

void RichTextView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (!moveByKey(event))
        event->ignore();
}

// The keys that move and select as in a read-only editor: with Shift the selection's end moves,
// without it the selection collapses to the moved place.
bool RichTextView::moveByKey(QKeyEvent* event)
{
    const std::optional<TextKeyMoves::Move> move = TextKeyMoves::forKey(event);
    if (!move)
        return false;
    if (active.piece < 0)
        anchor = active = Place {0, 0};
    active = moved(active, move->op);
    if (!move->select)
        anchor = active;
    showSelection();
    return true;
}

// Like an edit that does not keep its selection: leaving the view clears it, switching to
// another window or opening a popup does not.
void RichTextView::focusOutEvent(QFocusEvent* event)
{
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        deselect();
    QQuickItem::focusOutEvent(event);
}
