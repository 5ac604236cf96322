#include "chat/streamingmarkdownrenderer.h"

#include "chat/markdownline.h"
#include "chat/markdownrenderer.h"
#include "chat/textprefix.h"

#include <QStringView>
#include <QTextDocument>

#include <algorithm>

namespace {

const QString BodyOpen = QStringLiteral("<body");
const QString BodyClose = QStringLiteral("</body></html>");
const QString HtmlClose = QStringLiteral("</html>");
constexpr int CodeLinesPerPiece = 40;

} // namespace

void StreamingMarkdownRenderer::reset()
{
    source.clear();
    pieces.clear();
    head.clear();
    finishedHtml.clear();
    tail.clear();
    wholeOnly = false;
}

QString StreamingMarkdownRenderer::render(const QString& markdown)
{
    if (markdown.isEmpty()) {
        reset();
        return QString();
    }
    const int common = TextPrefix::commonLength(source, markdown);
    if (common < source.size())
        wholeOnly = false; // not a continuation: judge the new text afresh
    keepPiecesWithin(common);
    source = markdown;
    rowBatch = RowBatch();
    if (!wholeOnly)
        findPieces(markdown);
    if (wholeOnly) {
        pieces.clear();
        finishedHtml.clear();
        tail.clear();
        return MarkdownRenderer::toHtml(markdown);
    }
    updateTail(markdown);
    if (finishedHtml.isEmpty())
        finishedHtml = head;
    if (finishedHtml.size() == head.size() && tail.isEmpty()) // nothing: the empty paragraph
        return head + emptyDocumentBlocks() + HtmlClose;
    QString html;
    html.reserve(finishedHtml.size() + tail.size() + HtmlClose.size());
    html += finishedHtml;
    if (!tail.isEmpty())
        appendBlocks(html, tail, lastCut().what);
    html.chop(1); // the line break after the last block
    html += HtmlClose;
    return html;
}

// Converts the unfinished end, the text after the last finished piece, again.
void StreamingMarkdownRenderer::updateTail(const QString& markdown)
{
    const int start = pieces.isEmpty() ? 0 : pieces.constLast().end;
    if (rowBatch.next == start && rowBatch.taken < rowBatch.rows.count()) {
        tail = rowBatch.rows.from(rowBatch.taken);
        return;
    }
    tail = converted(markdown.mid(start), lastCut(), &head);
}

StreamingMarkdownRenderer::Cut StreamingMarkdownRenderer::lastCut() const
{
    return pieces.isEmpty() ? Cut() : pieces.constLast().after;
}

// The blocks of a piece's text; the rows after a cut in a table convert behind its head.
QString StreamingMarkdownRenderer::converted(const QString& markdown, const Cut& before,
                                             QString* documentHead) const
{
    const QString text = before.head + markdown;
    return blocksOf(MarkdownRenderer::documentHtml(text), documentHead);
}

// Appends the blocks of a piece and a line break. A piece that starts inside a list or a table
// converts to a list or table of its own: its items or rows join those that the HTML so far
// ends with.
void StreamingMarkdownRenderer::appendBlocks(QString& html, const QString& blocks, Continues what)
{
    if (what == Continues::List) {
        const bool ordered = blocks.startsWith(QLatin1String("<ol "));
        const QLatin1String closing(ordered ? "</ol>\n" : "</ul>\n");
        const int items = blocks.indexOf(QLatin1Char('>')) + 1;
        if ((ordered || blocks.startsWith(QLatin1String("<ul "))) && html.endsWith(closing)) {
            html.chop(closing.size());
            html += QLatin1Char('\n');
            html += QStringView(blocks).mid(items);
            html += QLatin1Char('\n');
            return;
        }
    } else if (what == Continues::Code) {
        // The code's first line there is no block's first line: it loses its mark.
        static const QLatin1String Marked("<pre class=\"");
        if (blocks.startsWith(Marked)) {
            const int markEnd = blocks.indexOf(QLatin1Char('"'), Marked.size()) + 2;
            html += QLatin1String("<pre ");
            html += QStringView(blocks).mid(markEnd);
            html += QLatin1Char('\n');
            return;
        }
    } else if (what == Continues::Table) {
        static const QLatin1String Closing("</table>\n");
        const int rows = blocks.indexOf(QLatin1String("</tr>")) + 5; // after the header row
        if (blocks.startsWith(QLatin1String("<table")) && rows > 5 && html.endsWith(Closing)) {
            html.chop(Closing.size());
            html += QStringView(blocks).mid(rows);
            html += QLatin1Char('\n');
            return;
        }
    }
    html += blocks;
    html += QLatin1Char('\n');
}

void StreamingMarkdownRenderer::keepPiecesWithin(int commonLength)
{
    int kept = 0;
    while (kept < pieces.size() && pieces.at(kept).decidedAt <= commonLength)
        ++kept;
    if (kept == pieces.size())
        return;
    pieces.resize(kept);
    finishedHtml = head;
    for (int index = 0; index < pieces.size(); ++index) {
        const Continues what = index > 0 ? pieces.at(index - 1).after.what : Continues::Nothing;
        appendBlocks(finishedHtml, pieces.at(index).blocks, what);
    }
}

// Walks the lines after the last finished piece and decides the cuts: a cut is made once the
// line that decides it is complete.
class StreamingMarkdownRenderer::Walk
{
public:
    Walk(StreamingMarkdownRenderer& renderer, const QString& markdown)
        : renderer(renderer)
        , markdown(markdown)
        , pieceStart(renderer.pieces.isEmpty() ? 0 : renderer.pieces.constLast().end)
    {
        const Cut cut = renderer.lastCut();
        const QStringView first = QStringView(markdown).mid(pieceStart);
        if (cut.what == Continues::List) {
            listMarker = MarkdownLine::topLevelListMarker(first);
            itemStart = pieceStart;
        } else if (cut.what == Continues::Table) {
            tableHead = cut.head;
            inTableBody = true;
            previousWasRow = true;
        } else if (cut.what == Continues::Code) {
            codeHead = cut.head;
            fenceOpen = MarkdownLine::fenceLength(codeHead, &fenceChar);
        }
    }

    // False when the text must be converted whole.
    bool run()
    {
        for (int lineStart = pieceStart; lineStart < markdown.size();) {
            const int newline = markdown.indexOf(QLatin1Char('\n'), lineStart);
            const QStringView line = QStringView(markdown).mid(
                lineStart, newline < 0 ? markdown.size() - lineStart : newline - lineStart);
            if (line.contains(QLatin1String("]:")))
                return false;
            if (newline < 0)
                break; // an unfinished line decides no cut yet
            step(line, lineStart, newline + 1);
            lineStart = newline + 1;
        }
        return true;
    }

private:
    void step(QStringView line, int lineStart, int decidedAt)
    {
        const bool blank = fenceOpen == 0 && MarkdownLine::isBlankLine(line);
        if (fenceOpen > 0) {
            if (MarkdownLine::closesFence(line, fenceChar, fenceOpen))
                fenceOpen = 0;
            else
                codeLine(lineStart, decidedAt);
            itemPlain = false;
        } else if (blank) {
            if (!previousBlank)
                endsWithTable = blockHasPipe;
            blockHasPipe = false;
            inTableBody = false;
        } else {
            text(line, lineStart, decidedAt);
        }
        previousBlank = blank;
        previousLine = line;
    }

    void text(QStringView line, int lineStart, int decidedAt)
    {
        cutsEnded = cutsEnded || MarkdownLine::carriesFormatOn(line);
        const bool mayCut = lineStart > pieceStart && !cutsEnded;
        const QChar marker = MarkdownLine::topLevelListMarker(line);
        const bool row = inTableBody && MarkdownLine::isTopLevelTableRow(line);
        if (row && previousWasRow && mayCut) {
            cut(lineStart, decidedAt, {Continues::Table, tableHead});
        } else if (!marker.isNull() && marker == listMarker) {
            if (itemStart > pieceStart && itemPlain && !cutsEnded)
                cut(itemStart, decidedAt, {Continues::List, QString()});
            itemStart = lineStart;
            itemPlain = MarkdownLine::isPlainItemLine(line, true);
        } else if (previousBlank && !endsWithTable && mayCut && MarkdownLine::canStartPiece(line)) {
            cut(lineStart, decidedAt, Cut());
        }
        followList(line, marker);
        followTable(line, row);
        fenceOpen = MarkdownLine::fenceLength(line, &fenceChar);
        // Only a fence at the top level is cut: one in a list or a quote is part of its item.
        codeHead = fenceOpen > 0 && (line[0] == QLatin1Char('`') || line[0] == QLatin1Char('~'))
            ? line.toString() + QLatin1Char('\n')
            : QString();
        codeLines = 0;
        blockHasPipe = blockHasPipe || line.contains(QLatin1Char('|'));
    }

    // A long code block is cut every few lines, before a line that is not its closing fence.
    void codeLine(int lineStart, int decidedAt)
    {
        if (!codeHead.isEmpty() && codeLines >= CodeLinesPerPiece && lineStart > pieceStart
            && !cutsEnded) {
            cut(lineStart, decidedAt, {Continues::Code, codeHead});
            codeLines = 0;
        }
        ++codeLines;
    }

    void followList(QStringView line, QChar marker)
    {
        if (!marker.isNull() && marker != listMarker) {
            listMarker = marker; // the first item of a new list
            itemStart = -1;
        } else if (marker.isNull() && MarkdownLine::endsList(line, previousBlank)) {
            listMarker = QChar();
            itemStart = -1;
        } else if (marker.isNull()) {
            itemPlain = itemPlain && MarkdownLine::isPlainItemLine(line, false);
        }
    }

    // A top-level table: its header row, its delimiter row, then rows, each holding a pipe.
    void followTable(QStringView line, bool row)
    {
        if (!inTableBody && !previousBlank && MarkdownLine::isTableDelimiter(line)
            && MarkdownLine::isTopLevelTableRow(previousLine)) {
            inTableBody = true;
            previousWasRow = false;
            tableHead =
                previousLine.toString() + QLatin1Char('\n') + line.toString() + QLatin1Char('\n');
            return;
        }
        inTableBody = inTableBody && row;
        previousWasRow = row;
    }

    void cut(int at, int decidedAt, const Cut& what)
    {
        if (renderer.closePiece(markdown, pieceStart, at, decidedAt, what))
            pieceStart = at;
    }

    StreamingMarkdownRenderer& renderer;
    const QString& markdown;
    int pieceStart = 0;
    QChar fenceChar;
    int fenceOpen = 0; // length of the open fence, 0 outside code
    bool previousBlank = false;
    QStringView previousLine;
    bool blockHasPipe = false; // the lines since the last blank line hold a '|'
    bool endsWithTable = false; // the block before the blank lines may be a table
    bool cutsEnded = false;
    // The list the text is in at the top level, and its item that a cut may precede once the
    // item is complete: that is when the next item starts, and the item is not the list's
    // first.
    QChar listMarker;
    int itemStart = -1;
    bool itemPlain = true;
    // The code block the text is in at the top level: its opening fence, and its lines in the
    // current piece.
    QString codeHead;
    int codeLines = 0;
    // The table the text is in at the top level; a cut may precede a row after another row.
    bool inTableBody = false;
    bool previousWasRow = false;
    QString tableHead;
};

void StreamingMarkdownRenderer::findPieces(const QString& markdown)
{
    Walk walk(*this, markdown);
    wholeOnly = !walk.run();
}

// A piece that converts to nothing (an empty code fence) still changes how Qt formats the
// blocks after it, so it is not closed on its own but grows into the next one.
bool StreamingMarkdownRenderer::closePiece(const QString& markdown, int start, int end,
                                           int decidedAt, const Cut& cut)
{
    QString pieceHead;
    const Cut before = lastCut();
    QString blocks;
    const bool oneRow = before.what == Continues::Table && cut.what == Continues::Table
        && markdown.indexOf(QLatin1Char('\n'), start) + 1 == end;
    if (oneRow)
        blocks = batchedRow(markdown, start, end, before);
    else
        rowBatch = RowBatch();
    if (blocks.isEmpty())
        blocks = converted(markdown.mid(start, end - start), before, &pieceHead);
    if (blocks.isEmpty())
        return false;
    pieces.append({end, decidedAt, blocks, cut});
    if (finishedHtml.isEmpty())
        finishedHtml = pieceHead;
    appendBlocks(finishedHtml, blocks, before.what);
    return true;
}

// The blocks of the one table row at start, which a cut follows. The rows after it that this
// render finishes, and its unfinished end, come from the same conversion.
QString StreamingMarkdownRenderer::batchedRow(const QString& markdown, int start, int end,
                                              const Cut& before)
{
    if (rowBatch.next < 0) {
        QString ignoredHead;
        rowBatch.rows = ConvertedTableRows(converted(markdown.mid(start), before, &ignoredHead));
        rowBatch.next = start;
    }
    // Another piece came between, or Qt ended the table sooner: the row converts alone.
    if (rowBatch.next != start || rowBatch.taken >= rowBatch.rows.count()) {
        rowBatch = RowBatch();
        return QString();
    }
    rowBatch.next = end;
    return rowBatch.rows.single(rowBatch.taken++);
}

// What an empty document exports between its body tags: a piece that converts to just this
// (a code fence without lines) adds nothing to the whole document.
const QString& StreamingMarkdownRenderer::emptyDocumentBlocks()
{
    static const QString blocks = [] {
        QString ignoredHead;
        return rawBlocksOf(QTextDocument().toHtml(), &ignoredHead);
    }();
    return blocks;
}

// The top-level blocks of an exported document; empty when it holds nothing.
QString StreamingMarkdownRenderer::blocksOf(const QString& documentHtml, QString* head)
{
    QString blocks = rawBlocksOf(documentHtml, head);
    return blocks == emptyDocumentBlocks() ? QString() : blocks;
}

// What lies between the body tags of an exported document.
QString StreamingMarkdownRenderer::rawBlocksOf(const QString& documentHtml, QString* head)
{
    const int bodyAt = documentHtml.indexOf(BodyOpen);
    int blocksAt = documentHtml.indexOf(QLatin1Char('>'), bodyAt) + 1;
    if (documentHtml.at(blocksAt) == QLatin1Char('\n'))
        ++blocksAt;
    int blocksEnd = documentHtml.lastIndexOf(BodyClose);
    if (blocksEnd < blocksAt)
        blocksEnd = blocksAt;
    *head = documentHtml.left(bodyAt);
    return documentHtml.mid(blocksAt, blocksEnd - blocksAt);
}
