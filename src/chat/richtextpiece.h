#pragma once

#include "chat/piecedocuments.h"
#include "chat/visibletiles.h"

#include <QColor>
#include <QFont>
#include <QQuickItem>
#include <QString>

// One piece of an answer (RichTextSegments): a run of text blocks, a code block or a table. A
// rich-text TextEdit lays out and repaints its whole document at every change; this item keeps
// its documents' layout up to date with as little work as the kind of piece allows
// (PieceDocuments) and paints only what the window shows, in tiles (VisibleTiles), so a piece
// costs the same per change whatever its length, and holds no pixels for what is out of view.
// The view (RichTextView) selects, copies and moves through its positions; the piece paints
// the selection.
class RichTextPiece : public QQuickItem
{
    Q_OBJECT
    // "text", "code" or "table".
    Q_PROPERTY(QString kind READ kind WRITE setKind NOTIFY contentChanged)
    // The HTML of text and tables, the code of code.
    Q_PROPERTY(QString source READ source WRITE setSource NOTIFY contentChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY contentChanged)
    Q_PROPERTY(int listStart READ listStart WRITE setListStart NOTIFY contentChanged)
    // The width text wraps to and a table fits in when it can; code never wraps. A piece that
    // is wider (code, a wide table) says so by its implicit width.
    Q_PROPERTY(
        qreal availableWidth READ availableWidth WRITE setAvailableWidth NOTIFY contentChanged)
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY styleChanged)
    Q_PROPERTY(QColor color MEMBER textColor WRITE setColor NOTIFY styleChanged)
    Q_PROPERTY(QColor linkColor READ linkColor WRITE setLinkColor NOTIFY styleChanged)
    Q_PROPERTY(QColor markerColor READ markerColor WRITE setMarkerColor NOTIFY styleChanged)
    Q_PROPERTY(
        QColor codeBackground READ codeBackground WRITE setCodeBackground NOTIFY styleChanged)
    Q_PROPERTY(QColor lineColor READ lineColor WRITE setLineColor NOTIFY styleChanged)
    Q_PROPERTY(QColor headerColor READ headerColor WRITE setHeaderColor NOTIFY styleChanged)
    Q_PROPERTY(
        QColor selectionColor MEMBER selectionColor WRITE setSelectionColor NOTIFY styleChanged)
    Q_PROPERTY(QColor selectedTextColor MEMBER selectedTextColor WRITE setSelectedTextColor NOTIFY
                   styleChanged)
    Q_PROPERTY(bool dark READ dark WRITE setDark NOTIFY styleChanged)
    // Some of the piece is in the window's view (checked after every frame): what only matters
    // there (a code block's copy button) is made then.
    Q_PROPERTY(bool inView READ inView NOTIFY inViewChanged)

public:
    explicit RichTextPiece(QQuickItem* parent = nullptr);
    ~RichTextPiece() override;

    QString kind() const;
    void setKind(const QString& kind);
    QString source() const;
    void setSource(const QString& source);
    QString language() const;
    void setLanguage(const QString& language);
    int listStart() const;
    void setListStart(int count);
    qreal availableWidth() const;
    void setAvailableWidth(qreal width);
    QFont font() const;
    void setFont(const QFont& font);
    void setColor(const QColor& color);
    QColor linkColor() const;
    void setLinkColor(const QColor& color);
    QColor markerColor() const;
    void setMarkerColor(const QColor& color);
    QColor codeBackground() const;
    void setCodeBackground(const QColor& color);
    QColor lineColor() const;
    void setLineColor(const QColor& color);
    QColor headerColor() const;
    void setHeaderColor(const QColor& color);
    void setSelectionColor(const QColor& color);
    void setSelectedTextColor(const QColor& color);
    bool dark() const;
    void setDark(bool value);
    bool inView() const;

    // Puts the code of a code piece on the clipboard, exactly as written.
    Q_INVOKABLE void copyCode() const;

    // For the view: the documents and positions, and the selection to show.
    const PieceDocuments& content() const;
    void setSelection(int start, int end);
    // The space the view leaves between this piece and the one above or below it.
    qreal topMargin() const;
    qreal bottomMargin() const;

signals:
    void contentChanged();
    void styleChanged();
    void inViewChanged();

protected:
    void componentComplete() override;
    QSGNode* updatePaintNode(QSGNode* node, UpdatePaintNodeData* data) override;
    void itemChange(ItemChange change, const ItemChangeData& value) override;

private:
    bool isText() const;
    void refresh();
    void repaint(qreal from = 0);
    void afterFrame();

    QString pieceKind = QStringLiteral("text");
    QString text;
    int listOffset = 0;
    PieceDocuments::Settings settings;
    QColor textColor;
    QColor selectionColor;
    QColor selectedTextColor;
    PieceDocuments documents;
    PieceDocuments::Selection selection;
    VisibleTiles tiles {this};
    bool shown = false;
    QMetaObject::Connection frameWatch;
};
