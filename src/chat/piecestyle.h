#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QVector>

class QPainter;
class QTextDocument;
class QTextTable;

// The look of an answer's documents: what the stored HTML leaves to the viewer. Text gets the
// chat's font, moderate heading sizes, inline code on a tint, quotes with a bar, and list
// markers drawn here (Qt draws them above the first line's baseline when the line holds a
// larger or bolder font, and cannot continue a numbered list in another document); tables get
// padded cells, light row separators, a shaded header row and column widths that fit the
// width when they can.
class PieceStyle
{
public:
    struct Palette
    {
        QFont font;
        QFont codeFont;
        QColor text;
        QColor link;
        QColor marker;
        QColor codeBackground; // inline code, and code lines inside lists and quotes
        QColor tableLine;
        QColor tableHeader;
        QColor quoteBar;
    };

    static constexpr qreal CellPaddingX = 10;
    static constexpr qreal CellPaddingY = 6;

    static void styleText(QTextDocument& document, const Palette& palette);
    static void styleCode(QTextDocument& document, const Palette& palette);
    // header: the table's first row is in this document (a table is kept in documents of a few
    // rows each). Best done before the document is laid out: every cell's change lays out the
    // whole table again.
    static void styleTable(QTextDocument& document, const Palette& palette, bool header);
    static void setColumnWidths(QTextDocument& document, const QVector<qreal>& widths);
    static QTextTable* tableOf(const QTextDocument& document);
    // The width each column's content takes on one line, padding included.
    static QVector<qreal> naturalColumnWidths(const QTextDocument& document);
    // Widths that fit available when the columns can shrink to it (the widest shrink first,
    // none below a minimum), the natural ones when they fit anyway; wider tables scroll.
    static QVector<qreal> fitColumns(const QVector<qreal>& natural, qreal available);

    // Draws what the document layout does not: list markers and quote bars. listStart: the
    // number of items that the document's first list continues.
    static void paintDecorations(QPainter* painter, QTextDocument& document, const QRectF& clip,
                                 int listStart, const Palette& palette);

private:
    static void styleLists(QTextDocument& document);
    static void styleBlocks(QTextDocument& document, const Palette& palette);
    static void styleFragments(QTextDocument& document, const Palette& palette);
    static QString markerText(int style, int number);
};
