#pragma once

#include <QQuickItem>
#include <QString>
#include <QTextCursor>
#include <QVector>

class OutOfViewDelay;
class QMimeData;
class QTextDocument;
class RichTextSegments;

// Shows a long rich text as a stack of rich-text edits, one per piece of RichTextSegments, and
// lets the user select and copy it as one text.
//
// A single rich-text edit lays out and paints its whole document at every change; with the
// text cut into pieces only the piece that changed is done again. The view stacks the pieces
// with the space that one document would put between their blocks, and takes the mouse and
// the keyboard from them: a drag selects from one piece into the next, Ctrl+C copies the
// selection as one text, Ctrl+A selects everything. While the piece a change would alter lies
// below what the window shows, the change waits (OutOfViewDelay).
//
// In QML (the pieces are the view's children that have a text document):
//     RichTextView { id: view; html: model.content
//         Repeater { model: view.segments
//             delegate: TextEdit { textFormat: TextEdit.RichText; text: model.html } } }
class RichTextView : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QString html READ html WRITE setHtml NOTIFY htmlChanged)
    Q_PROPERTY(RichTextSegments* segments READ segments CONSTANT)
    Q_PROPERTY(bool hasSelection READ hasSelection NOTIFY selectionChanged)

public:
    explicit RichTextView(QQuickItem* parent = nullptr);

    // Makes the type available to QML as Lumora.Chat 1.0 RichTextView; once per process.
    static void registerQmlType();

    QString html() const;
    void setHtml(const QString& html);
    RichTextSegments* segments() const;
    bool hasSelection() const;

    // The shown text as plain text, pieces joined by a line break, as a copy of all of it. This
    // and the other calls that read or select the text first show a text held back.
    Q_INVOKABLE QString text() const;
    Q_INVOKABLE QString selectedText() const;
    Q_INVOKABLE void selectAll();
    Q_INVOKABLE void deselect();
    Q_INVOKABLE void copy() const;

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
    // A place in the text: a piece and a position in its document.
    struct Place
    {
        int piece = -1;
        int position = 0;
        bool operator<(const Place& other) const;
    };

    void show(const QString& html);
    QQuickItem* changedPiece(const QString& html) const;
    QVector<QQuickItem*> pieces() const;
    static QTextDocument* documentOf(QQuickItem* piece);
    static qreal gapBetween(QTextDocument* above, QTextDocument* below);
    static QTextCursor selectionIn(QQuickItem* piece);
    Place placeAt(const QPointF& point) const;
    void selectTo(const Place& place);
    void selectWordAt(const Place& place);
    void showSelection();
    QMimeData* selectionMimeData() const;

    RichTextSegments* model;
    OutOfViewDelay* delay;
    Place anchor;
    Place active;
};
