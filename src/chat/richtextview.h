#pragma once

#include <QElapsedTimer>
#include <QPointF>
#include <QQuickItem>
#include <QString>
#include <QTextCursor>
#include <QVector>

class QMimeData;
class RichTextPiece;
class RichTextSegments;

// Shows an answer (or its reasoning) as a stack of pieces, one item each (RichTextPiece, inside
// whatever the piece's delegate puts around it: a code block's header, a table's scroller), and
// lets the user select and copy it as one text, as in an editor: a drag, a double click (a
// word), a triple click (a paragraph), Shift with the arrows, Home and End (and Ctrl for words
// and the whole text), Ctrl+A, Ctrl+C. The selection lives here as two places in the pieces,
// so it survives every change of the text, the piece that grows included. The view stacks the
// pieces with the space one document would put between their blocks.
//
// In QML (the Repeater's delegates are the view's children, in order):
//     RichTextView { id: view; html: model.content
//         Repeater { model: view.segments
//             delegate: RichTextPiece { kind: model.kind; source: model.source
//                 listStart: model.listStart; availableWidth: view.width } } }
class RichTextView : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QString html READ html WRITE setHtml NOTIFY htmlChanged)
    Q_PROPERTY(RichTextSegments* segments READ segments CONSTANT)
    Q_PROPERTY(bool hasSelection READ hasSelection NOTIFY selectionChanged)

public:
    explicit RichTextView(QQuickItem* parent = nullptr);

    // Makes the types available to QML as Lumora.Chat 1.0; once per process.
    static void registerQmlType();

    QString html() const;
    void setHtml(const QString& html);
    RichTextSegments* segments() const;
    bool hasSelection() const;

    // The shown text as plain text, as a copy of all of it: the blocks of one document.
    Q_INVOKABLE QString text() const;
    Q_INVOKABLE QString selectedText() const;
    Q_INVOKABLE void selectAll();
    Q_INVOKABLE void deselect();
    Q_INVOKABLE void copy() const;
    // The pieces, in order.
    QVector<RichTextPiece*> pieces() const;

signals:
    void htmlChanged();
    void selectionChanged();

protected:
    void itemChange(ItemChange change, const ItemChangeData& value) override;
    void geometryChanged(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    void updatePolish() override;
    bool childMouseEventFilter(QQuickItem* item, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // A place in the text: a piece and a position in it.
    struct Place
    {
        int piece = -1;
        int position = 0;
        bool operator<(const Place& other) const;
        bool operator==(const Place& other) const;
    };

    static RichTextPiece* pieceOf(QQuickItem* item);
    QVector<QQuickItem*> delegates() const;
    Place placeAt(const QPointF& point) const;
    Place endOf(int piece) const;
    Place moved(const Place& from, QTextCursor::MoveOperation op) const;
    Place crossed(const Place& from, QTextCursor::MoveOperation op) const;
    bool moveByKey(QKeyEvent* event);
    void selectUnitAt(const Place& place, QTextCursor::SelectionType unit);
    void showSelection();
    QMimeData* selectionMimeData() const;

    RichTextSegments* model;
    Place anchor;
    Place active;
    QElapsedTimer sinceDoubleClick; // a press soon after a double click is a triple click
    QPointF doubleClickAt;
};
