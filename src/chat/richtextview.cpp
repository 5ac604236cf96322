#include "chat/richtextview.h"

#include "chat/outofviewdelay.h"
#include "chat/richtextsegments.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QQuickTextDocument>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QtQml>

#include <algorithm>
#include <utility>

namespace {

int lengthOf(QQuickItem* piece)
{
    return piece->property("length").toInt();
}

} // namespace

bool RichTextView::Place::operator<(const Place& other) const
{
    return piece < other.piece || (piece == other.piece && position < other.position);
}

RichTextView::RichTextView(QQuickItem* parent)
    : QQuickItem(parent)
    , model(new RichTextSegments(this))
    , delay(new OutOfViewDelay(this))
{
    connect(delay, &OutOfViewDelay::released, this, &RichTextView::show);
    setAcceptedMouseButtons(Qt::LeftButton);
    setFiltersChildMouseEvents(true);
    setCursor(Qt::IBeamCursor);
    setActiveFocusOnTab(false);
}

void RichTextView::registerQmlType()
{
    static const int types[] = {
        qmlRegisterType<RichTextView>("Lumora.Chat", 1, 0, "RichTextView"),
        qmlRegisterUncreatableType<RichTextSegments>("Lumora.Chat", 1, 0, "RichTextSegments",
                                                     QStringLiteral("made by RichTextView")),
    };
    Q_UNUSED(types)
}

QString RichTextView::html() const
{
    return delay->isHolding() ? delay->heldText() : model->html();
}

void RichTextView::setHtml(const QString& html)
{
    if (this->html() == html)
        return;
    if (!delay->hold(html, changedPiece(html)))
        show(html);
    emit htmlChanged();
}

void RichTextView::show(const QString& html)
{
    delay->clear();
    // A selection stays while an answer grows after it; one in a piece that changes goes.
    const bool hadSelection = anchor.piece >= 0;
    model->setHtml(html);
    if (hadSelection && std::max(anchor.piece, active.piece) >= model->unchangedCount())
        deselect();
}

// The last piece, when html changes nothing before it (an answer that grows); none otherwise.
QQuickItem* RichTextView::changedPiece(const QString& html) const
{
    const QVector<QQuickItem*> list = pieces();
    if (list.isEmpty() || list.size() != model->count()
        || model->keptPieces(html) < list.size() - 1)
        return nullptr;
    return list.constLast();
}

RichTextSegments* RichTextView::segments() const
{
    return model;
}

bool RichTextView::hasSelection() const
{
    return anchor.piece >= 0 && anchor.piece < pieces().size()
        && (anchor.piece != active.piece || anchor.position != active.position);
}

QVector<QQuickItem*> RichTextView::pieces() const
{
    QVector<QQuickItem*> found;
    for (QQuickItem* child : childItems()) {
        if (documentOf(child))
            found.append(child);
    }
    return found;
}

QTextDocument* RichTextView::documentOf(QQuickItem* piece)
{
    auto* quickDocument = piece->property("textDocument").value<QQuickTextDocument*>();
    return quickDocument ? quickDocument->textDocument() : nullptr;
}

// One document puts the larger of the two margins between two blocks; a document of its own
// leaves out the top margin of its first block and the bottom margin of its last.
qreal RichTextView::gapBetween(QTextDocument* above, QTextDocument* below)
{
    return std::max(above->lastBlock().blockFormat().bottomMargin(),
                    below->firstBlock().blockFormat().topMargin());
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

// Stacks the pieces in the order the Repeater keeps them in.
void RichTextView::updatePolish()
{
    qreal y = 0;
    QTextDocument* above = nullptr;
    for (QQuickItem* piece : pieces()) {
        QTextDocument* document = documentOf(piece);
        if (above)
            y += gapBetween(above, document);
        piece->setPosition(QPointF(0, y));
        y += piece->height();
        above = document;
    }
    setImplicitHeight(y);
}

RichTextView::Place RichTextView::placeAt(const QPointF& point) const
{
    const QVector<QQuickItem*> list = pieces();
    if (list.isEmpty())
        return {};
    int index = 0;
    while (index + 1 < list.size() && point.y() >= list.at(index)->y() + list.at(index)->height())
        ++index;
    QQuickItem* piece = list.at(index);
    const QPointF local = mapToItem(piece, point);
    int position = 0;
    QMetaObject::invokeMethod(piece, "positionAt", Q_RETURN_ARG(int, position),
                              Q_ARG(qreal, local.x()), Q_ARG(qreal, local.y()));
    return {index, position};
}

void RichTextView::selectTo(const Place& place)
{
    active = place;
    showSelection();
}

void RichTextView::selectWordAt(const Place& place)
{
    const QVector<QQuickItem*> list = pieces();
    if (place.piece < 0 || place.piece >= list.size())
        return;
    QQuickItem* piece = list.at(place.piece);
    piece->setProperty("cursorPosition", place.position);
    QMetaObject::invokeMethod(piece, "selectWord");
    anchor = {place.piece, piece->property("selectionStart").toInt()};
    active = {place.piece, piece->property("selectionEnd").toInt()};
    showSelection();
}

// Puts the selection into the pieces: the first from the earlier place on, the last up to the
// later one, every piece between them whole.
void RichTextView::showSelection()
{
    const QVector<QQuickItem*> list = pieces();
    const Place from = std::min(anchor, active);
    const Place to = std::max(anchor, active);
    for (int index = 0; index < list.size(); ++index) {
        QQuickItem* piece = list.at(index);
        int start = 0;
        int end = 0;
        if (from.piece >= 0 && index >= from.piece && index <= to.piece) {
            start = index == from.piece ? from.position : 0;
            end = index == to.piece ? to.position : lengthOf(piece);
        }
        const int shownStart = piece->property("selectionStart").toInt();
        const int shownEnd = piece->property("selectionEnd").toInt();
        if (start == end && shownStart != shownEnd)
            QMetaObject::invokeMethod(piece, "deselect");
        else if (start != end && (start != shownStart || end != shownEnd))
            QMetaObject::invokeMethod(piece, "select", Q_ARG(int, start), Q_ARG(int, end));
    }
    emit selectionChanged();
}

QString RichTextView::text() const
{
    delay->flush();
    QStringList parts;
    for (QQuickItem* piece : pieces())
        parts.append(documentOf(piece)->toPlainText());
    return parts.join(QLatin1Char('\n'));
}

// A cursor over what the piece shows selected; without a selection when it shows none.
QTextCursor RichTextView::selectionIn(QQuickItem* piece)
{
    QTextCursor cursor(documentOf(piece));
    cursor.setPosition(piece->property("selectionStart").toInt());
    cursor.setPosition(piece->property("selectionEnd").toInt(), QTextCursor::KeepAnchor);
    return cursor;
}

QString RichTextView::selectedText() const
{
    delay->flush();
    QStringList parts;
    for (QQuickItem* piece : pieces()) {
        const QTextCursor selection = selectionIn(piece);
        if (selection.hasSelection())
            parts.append(QTextDocumentFragment(selection).toPlainText());
    }
    return parts.join(QLatin1Char('\n'));
}

void RichTextView::selectAll()
{
    delay->flush();
    const QVector<QQuickItem*> list = pieces();
    if (list.isEmpty())
        return;
    anchor = {0, 0};
    active = {int(list.size()) - 1, lengthOf(list.constLast())};
    showSelection();
}

void RichTextView::deselect()
{
    anchor = active = Place();
    showSelection();
}

void RichTextView::copy() const
{
    delay->flush();
    if (!hasSelection())
        return;
    QGuiApplication::clipboard()->setMimeData(selectionMimeData());
}

// The selection as one rich text and as plain text, as an edit copies its own selection.
QMimeData* RichTextView::selectionMimeData() const
{
    QTextDocument combined;
    QTextCursor out(&combined);
    bool first = true;
    for (QQuickItem* piece : pieces()) {
        const QTextCursor selection = selectionIn(piece);
        if (!selection.hasSelection())
            continue;
        if (!first)
            out.insertBlock();
        out.insertFragment(QTextDocumentFragment(selection));
        first = false;
    }
    auto* data = new QMimeData;
    data->setHtml(combined.toHtml());
    data->setText(selectedText());
    return data;
}

// The pieces never see the mouse: a press on one starts a selection that may run on into the
// next, which only the view can follow.
bool RichTextView::childMouseEventFilter(QQuickItem* item, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
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
    if (!(event->modifiers() & Qt::ShiftModifier) || anchor.piece < 0)
        anchor = place;
    selectTo(place);
}

void RichTextView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || anchor.piece < 0) {
        event->ignore();
        return;
    }
    selectTo(placeAt(event->localPos()));
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
    selectWordAt(placeAt(event->localPos()));
}

void RichTextView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else
        event->ignore();
}

// Like an edit that does not keep its selection: leaving the view clears it, switching to
// another window or opening a popup does not.
void RichTextView::focusOutEvent(QFocusEvent* event)
{
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        deselect();
    QQuickItem::focusOutEvent(event);
}
