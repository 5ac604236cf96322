#pragma once

#include "chat/piecestyle.h"

#include <QPair>
#include <QString>
#include <QTextCursor>
#include <QVector>

#include <memory>
#include <vector>

class QPainter;
class QTextDocument;
class QTextDocumentFragment;

// The documents that show one piece of an answer, kept up to date with as little work as each kind
// allows, and the positions through them. Text is set whole from its HTML (pieces of text are
// short); code changes in place from its first changed character, so Qt's incremental layout and
// the highlighter (CodeHighlighting) redo only the lines from there; a table is kept in documents
// of a few rows each, of which only the changed ones are set again, all sharing the column widths
// that the first rows need (piecedocumentstable.cpp). Positions run from 0 to length() through all
// documents as through one text, one position between two documents.
class PieceDocuments
{
public:
    enum class Kind { Text, Code, Table };
    struct Settings
    {
        Kind kind = Kind::Text;
        QString language; // of code
        qreal width = 0; // text wraps to it, a table fits in it when it can
        bool dark = false; // the highlighting theme
        PieceStyle::Palette palette;
    };
    struct Selection
    {
        int start = 0;
        int end = 0;
        QColor background;
        QColor foreground;
    };

    PieceDocuments();
    ~PieceDocuments();

    // Shows source (HTML, or code) with settings; settings that the documents hold (colours,
    // fonts, kind, language, width of a table) make them anew. Returns the y from which the
    // content changed, or -1 when nothing did.
    qreal set(const QString& source, const Settings& settings);
    void clear();
    QSizeF size() const;

    int length() const;
    int positionAt(const QPointF& point) const;
    QRectF cursorRect(int position) const;
    // The position a cursor at position reaches by op, or -1 when it would leave the piece.
    int moved(int position, QTextCursor::MoveOperation op) const;
    // The word (WordUnderCursor) or the paragraph (BlockUnderCursor) at position.
    QPair<int, int> unitAt(int position, QTextCursor::SelectionType unit) const;
    QString plainText(int start, int end) const;
    QTextDocumentFragment fragment(int start, int end) const;
    // Margins of the first and last block, which the view collapses with its neighbours'.
    qreal topMargin() const;
    qreal bottomMargin() const;
    QVector<QTextDocument*> documents() const;

    // Draws what lies in area (piece coordinates) in textColor, the selection over it.
    // listStart: the items that the first list continues.
    void paint(QPainter* painter, const QRectF& area, const QColor& textColor,
               const Selection& selection, int listStart) const;

private:
    struct Part
    {
        std::unique_ptr<QTextDocument> document;
        QString source; // what it was set from
        qreal y = 0;
        int start = 0; // its first position in the piece
        // The positions of the document that the piece uses (a table's, not the empty blocks
        // a document keeps around a table).
        int from = 0;
        int to = 0;
        qreal height = 0;
        qreal widest = 0; // the widest part from the first to this one
        // A table's rows in it, and where they end in the table's HTML.
        int rows = 0;
        int rowsEnd = 0;
    };

    qreal setText(const QString& html);
    qreal textChangedFrom() const;
    qreal setCode(const QString& code);
    qreal setTable(const QString& html);
    std::size_t unchangedTableParts(const QString& html, int tableStart) const;
    bool makeTablePart(Part& part, bool first);
    static bool appendTableRows(QTextDocument& combined, const QTextDocumentFragment& rows);
    std::unique_ptr<QTextDocument> newDocument(const QString& html) const;
    void layout();
    int partAt(int position) const;
    int partAtY(qreal y) const;
    QTextCursor cursorIn(const Part& part, int start, int end) const;
    static int toLocal(const Part& part, int position);
    static int toPiece(const Part& part, int local);

    Settings current;
    std::vector<Part> parts;
    QString tableHtml; // what a table was set from
    std::size_t laidOut = 0; // the leading parts that are placed
    int sameBlocks = 0; // the leading blocks that a text's last change left as they were
    QVector<qreal> columnWidths;
    QSizeF extent;
};
