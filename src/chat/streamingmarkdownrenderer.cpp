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

bool isBlank(QStringView line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.isSpace(); });
}

// "```" or "~~~" (or longer) after any indentation or quote markers; returns the fence's
// character and length, or 0. Reading more lines as fences than Markdown does only costs cuts.
int fenceLength(QStringView line, QChar* fenceChar)
{
    int i = 0;
    while (i < line.size() && (line[i].isSpace() || line[i] == QLatin1Char('>')))
        ++i;
    if (i >= line.size() || (line[i] != QLatin1Char('`') && line[i] != QLatin1Char('~')))
        return 0;
    const QChar c = line[i];
    int n = 0;
    while (i + n < line.size() && line[i + n] == c)
        ++n;
    if (n < 3)
        return 0;
    *fenceChar = c;
    return n;
}

bool closesFence(QStringView line, QChar fenceChar, int openLength)
{
    QChar c;
    const int n = fenceLength(line, &c);
    return n >= openLength && c == fenceChar && isBlank(line.mid(line.indexOf(c) + n));
}

bool startsListItem(QStringView line)
{
    const QChar first = line[0];
    if (first == QLatin1Char('-') || first == QLatin1Char('*') || first == QLatin1Char('+'))
        return true;
    int i = 0;
    while (i < line.size() && line[i].isDigit())
        ++i;
    return i > 0 && i < line.size() && (line[i] == QLatin1Char('.') || line[i] == QLatin1Char(')'));
}

// "#" alone, or "##" and spaces.
bool isEmptyHeading(QStringView line)
{
    return std::all_of(line.begin(), line.end(),
                       [](QChar c) { return c == QLatin1Char('#') || c.isSpace(); });
}

// "---", "***", "___" or "===", with or without spaces: a break, or a heading's underline.
bool isRule(QStringView text)
{
    const QStringView rule = text.trimmed();
    return rule.size() >= 3 && QLatin1String("-*_=").contains(rule[0])
        && std::all_of(rule.begin(), rule.end(),
                       [&](QChar c) { return c == rule[0] || c == QLatin1Char(' '); });
}

// Lines whose formatting Qt's import carries into every block after them, to the end of the
// text, so that no later cut gives the same result: an empty heading, and a list item or quote
// without text of its own ("-", "1.", "- 2.", ">#"), or holding a code fence, a heading or a
// break ("2. ---").
bool carriesFormatOn(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (!trimmed.isEmpty() && isEmptyHeading(trimmed))
        return true;
    const int start = MarkdownLine::contentStart(line);
    const QStringView markers = line.left(start);
    const bool container = std::any_of(markers.begin(), markers.end(), [](QChar c) {
        return c.isDigit() || QLatin1String("-*+>").contains(c);
    });
    const QStringView text = line.mid(start).trimmed();
    QChar fenceChar;
    return container
        && (text.isEmpty() || markers.contains(QLatin1Char('#'))
            || fenceLength(text, &fenceChar) > 0 || isRule(text));
}

// Whether a piece may start with line, which follows a blank line: Markdown continues a list,
// a quote or indented code across blank lines, and a table needs its own cut rules.
bool canStartPiece(QStringView line)
{
    if (line.isEmpty() || line[0].isSpace() || line[0] == QLatin1Char('>') || startsListItem(line))
        return false;
    // A heading converts differently as the first block of a document when an item without
    // text follows it, and an empty one takes its font from the block before it.
    return line[0] != QLatin1Char('#') && !line.contains(QLatin1Char('|'));
}

// The marker of a list item that starts at the line's first column: the bullet ('-', '*',
// '+') or the delimiter after the number ('.', ')'); nothing for other lines. Items of one list
// share it.
QChar topLevelListMarker(QStringView line)
{
    int end = 0;
    if (QLatin1String("-*+").contains(line[0])) {
        end = 1;
    } else {
        while (end < line.size() && end < 10 && line[end].isDigit())
            ++end;
        if (end == 0 || end >= line.size()
            || (line[end] != QLatin1Char('.') && line[end] != QLatin1Char(')')))
            return QChar();
        ++end;
    }
    if (end < line.size() && line[end] != QLatin1Char(' ') && line[end] != QLatin1Char('\t'))
        return QChar();
    return line[end - 1];
}

// Whether a list item is one whose conversion may depend on where it stands (first in its list
// or not): its first line holds another marker ("- 2. x"), or a later line of it is a heading's
// underline, a break, a heading, a fence, a quote or a table row.
bool isPlainItemLine(QStringView line, bool firstLine)
{
    if (firstLine) {
        const int start = MarkdownLine::contentStart(line);
        const QStringView markers = line.left(start).trimmed();
        return !markers.contains(QLatin1Char(' ')) && !markers.contains(QLatin1Char('\t'));
    }
    const QStringView text = line.trimmed();
    if (text.isEmpty())
        return true;
    const bool underline =
        std::all_of(text.begin(), text.end(), [&](QChar c) { return c == text[0]; })
        && (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('='));
    QChar fenceChar;
    return !underline && !isRule(text) && !QLatin1String("#>|").contains(text[0])
        && fenceLength(text, &fenceChar) == 0;
}

// Whether a line that is not a list item ends the list before it: after a blank line any text
// at the first column does; without one, only what interrupts a paragraph (the rest continues
// the last item's text).
bool endsList(QStringView line, bool afterBlank)
{
    if (line[0].isSpace())
        return false;
    return afterBlank || QLatin1String("#>`~|").contains(line[0]) || isRule(line);
}

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
        appendBlocks(html, tail, tailContinuesList());
    html.chop(1); // the line break after the last block
    html += HtmlClose;
    return html;
}

// Converts the unfinished end, the text after the last finished piece, again.
void StreamingMarkdownRenderer::updateTail(const QString& markdown)
{
    const int start = pieces.isEmpty() ? 0 : pieces.constLast().end;
    tail = blocksOf(MarkdownRenderer::documentHtml(markdown.mid(start)), &head);
}

bool StreamingMarkdownRenderer::tailContinuesList() const
{
    return !pieces.isEmpty() && pieces.constLast().listCutAfter;
}

// Appends the blocks of a piece and a line break. A piece that starts inside a list converts
// to a list of its own: its items join the list that the HTML so far ends with.
void StreamingMarkdownRenderer::appendBlocks(QString& html, const QString& blocks,
                                             bool continuesList)
{
    if (continuesList) {
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
        const bool continues = index > 0 && pieces.at(index - 1).listCutAfter;
        appendBlocks(finishedHtml, pieces.at(index).blocks, continues);
    }
}

// Walks the lines after the last finished piece and closes a piece at every safe cut whose
// deciding line is complete.
void StreamingMarkdownRenderer::findPieces(const QString& markdown)
{
    int pieceStart = pieces.isEmpty() ? 0 : pieces.constLast().end;
    QChar fenceChar;
    int fenceOpen = 0; // length of the open fence, 0 outside code
    bool previousBlank = false;
    bool blockHasPipe = false; // the lines since the last blank line hold a '|'
    bool endsWithTable = false; // the block before the blank lines may be a table
    bool cutsEnded = false;
    // The marker of the list the text is in at the top level, and its item that a cut may
    // precede once the item is complete: that is when the next item starts, and the item must
    // not be the list's first.
    QChar listMarker;
    int itemStart = -1;
    bool itemPlain = true;
    if (tailContinuesList()) {
        listMarker = topLevelListMarker(QStringView(markdown).mid(pieceStart));
        itemStart = pieceStart;
    }
    int lineStart = pieceStart;
    while (lineStart < markdown.size()) {
        const int newline = markdown.indexOf(QLatin1Char('\n'), lineStart);
        const QStringView line = QStringView(markdown).mid(
            lineStart, newline < 0 ? markdown.size() - lineStart : newline - lineStart);
        if (line.contains(QLatin1String("]:"))) {
            wholeOnly = true;
            return;
        }
        if (newline < 0)
            break; // an unfinished line decides no cut yet
        const bool blank = fenceOpen == 0 && isBlank(line);
        if (fenceOpen > 0) {
            if (closesFence(line, fenceChar, fenceOpen))
                fenceOpen = 0;
            itemPlain = false;
        } else if (blank) {
            if (!previousBlank)
                endsWithTable = blockHasPipe;
            blockHasPipe = false;
        } else {
            cutsEnded = cutsEnded || carriesFormatOn(line);
            const QChar marker = topLevelListMarker(line);
            if (!marker.isNull() && marker == listMarker) {
                if (itemStart > pieceStart && itemPlain && !cutsEnded
                    && closePiece(markdown, pieceStart, itemStart, newline + 1, true))
                    pieceStart = itemStart;
                itemStart = lineStart;
                itemPlain = isPlainItemLine(line, true);
            } else if (previousBlank && !endsWithTable && lineStart > pieceStart && !cutsEnded
                       && canStartPiece(line)
                       && closePiece(markdown, pieceStart, lineStart, newline + 1, false)) {
                pieceStart = lineStart;
            }
            if (!marker.isNull() && marker != listMarker) {
                listMarker = marker; // the first item of a new list
                itemStart = -1;
            } else if (marker.isNull() && endsList(line, previousBlank)) {
                listMarker = QChar();
                itemStart = -1;
            } else if (marker.isNull()) {
                itemPlain = itemPlain && isPlainItemLine(line, false);
            }
            fenceOpen = fenceLength(line, &fenceChar);
            blockHasPipe = blockHasPipe || line.contains(QLatin1Char('|'));
        }
        previousBlank = blank;
        lineStart = newline + 1;
    }
}

// A piece that converts to nothing (an empty code fence) still changes how Qt formats the
// blocks after it, so it is not closed on its own but grows into the next one.
bool StreamingMarkdownRenderer::closePiece(const QString& markdown, int start, int end,
                                           int decidedAt, bool inList)
{
    QString pieceHead;
    const QString blocks =
        blocksOf(MarkdownRenderer::documentHtml(markdown.mid(start, end - start)), &pieceHead);
    if (blocks.isEmpty())
        return false;
    const bool continues = tailContinuesList();
    pieces.append({end, decidedAt, blocks, inList});
    if (finishedHtml.isEmpty())
        finishedHtml = pieceHead;
    appendBlocks(finishedHtml, blocks, continues);
    return true;
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
