#pragma once

#include "chat/convertedtablerows.h"

#include <QString>
#include <QStringView>
#include <QVector>

// Converts an answer that arrives as a growing text (every event carries the whole answer so
// far) without converting the whole text again for every event.
//
// The text is cut into pieces at blank lines where Markdown cannot carry anything from one
// side to the other (not inside a code fence, not before a quote or table row, not after a
// table), inside a list before each of its top-level items, inside a table before each of its
// rows and inside a code block every few lines (the piece after such a cut is converted behind
// the table's header and delimiter rows, or the code's opening fence). A piece that is followed by
// such a cut is finished: its HTML is kept, and only the unfinished end is converted again (table
// rows finished together are converted with it in one go, ConvertedTableRows). The
// exported HTML of a document is its head plus one line per top-level block (a list's items, a
// table's rows and cells one line each), so joining the pieces' blocks, a list or a table cut in
// two joined back into one, gives the HTML of a one-shot MarkdownRenderer::toHtml of the same text.
// Texts with link reference definitions ("[name]: target", which reach back to earlier pieces) are
// converted whole; after a line whose format Qt carries on to the end (an empty list item), no more
// pieces are cut.
//
// A few texts still convert differently in pieces (a setext heading right after a list, for
// one); the answer's final text is therefore converted once more in one go when it ends.
class StreamingMarkdownRenderer
{
public:
    // The same HTML as MarkdownRenderer::toHtml(markdown). Cheap when markdown extends the
    // text of the previous call.
    QString render(const QString& markdown);
    void reset();

private:
    // What the text after a cut continues.
    enum class Continues { Nothing, List, Table, Code };
    struct Cut
    {
        Continues what = Continues::Nothing;
        // Converted before the text after the cut: a table's header and delimiter rows, a code
        // block's opening fence.
        QString head;
    };
    struct Piece
    {
        int end = 0; // the piece is source[previous piece's end, end)
        int decidedAt = 0; // the cut after it was decided from source[0, decidedAt)
        QString blocks; // its top-level HTML blocks, without the document head and body
        Cut after; // what the text after it continues
    };
    // One conversion of a table's rows, from the first row that a render finishes to the end of
    // the text: the rows finished together, and the unfinished end, are taken from it.
    struct RowBatch
    {
        int next = -1; // where the text of its next row starts; -1: none made
        ConvertedTableRows rows;
        int taken = 0; // rows given to pieces
    };
    class Walk;

    void updateTail(const QString& markdown);
    void keepPiecesWithin(int commonLength);
    void findPieces(const QString& markdown);
    bool closePiece(const QString& markdown, int start, int end, int decidedAt, const Cut& cut);
    QString batchedRow(const QString& markdown, int start, int end, const Cut& before);
    Cut lastCut() const;
    QString converted(const QString& markdown, const Cut& before, QString* documentHead) const;
    static void appendBlocks(QString& html, const QString& blocks, Continues what);
    static QString blocksOf(const QString& documentHtml, QString* head);
    static QString rawBlocksOf(const QString& documentHtml, QString* head);
    static const QString& emptyDocumentBlocks();

    QString source;
    QVector<Piece> pieces;
    QString head; // the exported document's head, up to the body tag
    QString finishedHtml; // head and the blocks of every kept piece
    QString tail; // the blocks of the unfinished end
    bool wholeOnly = false;
    RowBatch rowBatch; // of the current render
};
