#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

// Converts an answer that arrives as a growing text (every event carries the whole answer so
// far) without converting the whole text again for every event.
//
// The text is cut into pieces at blank lines where Markdown cannot carry anything from one
// side to the other (not inside a code fence, not before a list item, quote or table row, not
// after a table). A piece that is followed by such a cut is finished: its HTML is kept, and
// only the unfinished end is converted again. The exported HTML of a document is its head
// plus one line per top-level block, so joining the pieces' blocks gives exactly the HTML of
// a one-shot MarkdownRenderer::toHtml of the same text. Texts with link reference definitions
// ("[name]: target", which reach back to earlier pieces) are converted whole; after a line whose
// format Qt carries on to the end (an empty list item), no more pieces are cut.
//
// Words added to the last paragraph or list item that Markdown cannot read as anything but
// text (MarkdownTextAppend) go straight into the unfinished end's HTML, without converting it.
class StreamingMarkdownRenderer
{
public:
    // The same HTML as MarkdownRenderer::toHtml(markdown). Cheap when markdown extends the
    // text of the previous call.
    QString render(const QString& markdown);
    void reset();

private:
    struct Piece
    {
        int end = 0; // the piece is source[previous piece's end, end)
        int decidedAt = 0; // the cut after it was decided from source[0, decidedAt)
        QString blocks; // its top-level HTML blocks, without the document head and body
    };

    void updateTail(const QString& markdown, int extendedFrom);
    bool extendTail(QStringView markdown, int from);
    void keepPiecesWithin(int commonLength);
    void findPieces(const QString& markdown);
    bool closePiece(const QString& markdown, int start, int end, int decidedAt);
    static QString blocksOf(const QString& documentHtml, QString* head);
    static QString rawBlocksOf(const QString& documentHtml, QString* head);
    static const QString& emptyDocumentBlocks();

    QString source;
    QVector<Piece> pieces;
    QString head; // the exported document's head, up to the body tag
    QString finishedHtml; // head and the blocks of every kept piece
    int tailStart = 0; // where the unfinished end starts in source
    QString tail; // the blocks of the unfinished end
    bool wholeOnly = false;
};
