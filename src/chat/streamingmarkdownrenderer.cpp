#include "chat/streamingmarkdownrenderer.h"

#include "chat/htmlblocks.h"
#include "chat/markdownline.h"
#include "chat/markdownrenderer.h"
#include "chat/markdowntextappend.h"
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

// The closing tags after the text of a paragraph or a list item (not a table cell's paragraph).
bool endsParagraph(QStringView closingTags)
{
    return closingTags == QLatin1String("</p>") || closingTags == QLatin1String("</li></ul>")
        || closingTags == QLatin1String("</li></ol>");
}

} // namespace

void StreamingMarkdownRenderer::reset()
{
    source.clear();
    pieces.clear();
    head.clear();
    finishedHtml.clear();
    tail.clear();
    tailStart = 0;
    wholeOnly = false;
}

QString StreamingMarkdownRenderer::render(const QString& markdown)
{
    if (markdown.isEmpty()) {
        reset();
        return QString();
    }
    const int previousLength = source.size();
    const int common = TextPrefix::commonLength(source, markdown);
    if (common < previousLength)
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
    updateTail(markdown, common == previousLength ? previousLength : -1);
    if (finishedHtml.isEmpty())
        finishedHtml = head;
    if (!tail.isEmpty())
        return finishedHtml + tail + HtmlClose;
    if (finishedHtml.size() == head.size()) // nothing at all: the empty document's paragraph
        return head + emptyDocumentBlocks() + HtmlClose;
    return finishedHtml.left(finishedHtml.size() - 1) + HtmlClose;
}

// Converts the unfinished end again, unless the text only grew from extendedFrom on by words
// that the end's HTML can take as they are.
void StreamingMarkdownRenderer::updateTail(const QString& markdown, int extendedFrom)
{
    const int start = pieces.isEmpty() ? 0 : pieces.constLast().end;
    if (start == tailStart && extendedFrom > start
        && extendTail(QStringView(markdown).mid(start), extendedFrom - start))
        return;
    tail = blocksOf(MarkdownRenderer::documentHtml(markdown.mid(start)), &head);
    tailStart = start;
}

// Words added to a paragraph or list item that the unfinished end closes with go straight into
// its HTML (a table's cells and code keep their own rules and are converted again).
bool StreamingMarkdownRenderer::extendTail(QStringView markdown, int from)
{
    const int closing = HtmlBlocks::closingTagsStart(tail);
    if (closing == 0 || tail.at(closing - 1) == QLatin1Char('>')
        || !endsParagraph(QStringView(tail).mid(closing)))
        return false;
    const std::optional<QString> added =
        MarkdownTextAppend::addedText(markdown, from, QStringView(tail).left(closing));
    if (!added)
        return false;
    tail.insert(closing, *added);
    return true;
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
    for (const Piece& piece : qAsConst(pieces))
        finishedHtml += piece.blocks + QLatin1Char('\n');
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
        } else if (blank) {
            if (!previousBlank)
                endsWithTable = blockHasPipe;
            blockHasPipe = false;
        } else {
            cutsEnded = cutsEnded || carriesFormatOn(line);
            if (previousBlank && !endsWithTable && !cutsEnded && lineStart > pieceStart
                && canStartPiece(line)
                && closePiece(markdown, pieceStart, lineStart, newline + 1)) {
                pieceStart = lineStart;
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
                                           int decidedAt)
{
    QString pieceHead;
    const QString blocks =
        blocksOf(MarkdownRenderer::documentHtml(markdown.mid(start, end - start)), &pieceHead);
    if (blocks.isEmpty())
        return false;
    pieces.append({end, decidedAt, blocks});
    if (finishedHtml.isEmpty())
        finishedHtml = pieceHead;
    finishedHtml += blocks + QLatin1Char('\n');
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
