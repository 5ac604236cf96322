#include "chat/richtextsegments.h"

#include "chat/htmlblocks.h"
#include "chat/textprefix.h"

#include <algorithm>
#include <utility>

namespace {

const QString Text = QStringLiteral("text");
const QString Code = QStringLiteral("code");
const QString Table = QStringLiteral("table");

// Whether a piece ends at a line break was decided from the text up to the line break and the
// tag that follows ("\n<table", "\n<li ").
constexpr int CutLookahead = 8;

// Walks the blocks of one answer and collects its pieces.
class Cutter
{
public:
    // previous: the piece that stood at the start of the cut before the text changed, which
    // stays as it was in html[0, common).
    Cutter(const QString& html, QVector<RichTextSegments::Piece>& pieces,
           const RichTextSegments::Piece* previous = nullptr, int common = 0)
        : html(html)
        , pieces(pieces)
        , head(html.left(HtmlBlocks::bodyStart(html)))
        , end(HtmlBlocks::bodyEnd(html))
        , previous(previous)
        , common(common)
    { }

    void run(int from, const QString& openList, int listStart)
    {
        current = from;
        continuedList = openList;
        continuedItems = listStart;
        int at = from;
        if (!openList.isEmpty())
            at = textList(at, 1, continuedItems);
        while (at < end) {
            if (HtmlBlocks::isCodeStart(html, at))
                at = code(at);
            else if (HtmlBlocks::startsWithAt(html, at, QLatin1String("<table")))
                at = table(at);
            else if (HtmlBlocks::startsWithAt(html, at, QLatin1String("<ul"))
                     || HtmlBlocks::startsWithAt(html, at, QLatin1String("<ol")))
                at = textList(at, 0, 0);
            else
                at = textBlock(HtmlBlocks::blockEnd(html, at, end));
        }
        closeText(end, QString(), 0);
    }

private:
    // Closes the text piece that runs up to stop; closeList/items: it ends inside a list.
    void closeText(int stop, const QString& closeList, int items)
    {
        if (stop > current) {
            RichTextSegments::Piece piece;
            piece.start = current;
            piece.end = stop;
            piece.kind = Text;
            piece.listStart = continuedItems;
            piece.source = head + continuedList + html.midRef(current, stop - current)
                + (closeList.isEmpty() ? QString() : closingTagOf(closeList))
                + HtmlBlocks::htmlEnd();
            piece.openList = closeList;
            piece.itemsBefore = items;
            pieces.append(piece);
        }
        current = stop + 1;
        continuedList = closeList;
        continuedItems = items;
    }

    static QString closingTagOf(const QString& openTag)
    {
        return openTag.startsWith(QLatin1String("<ol")) ? QStringLiteral("</ol>")
                                                        : QStringLiteral("</ul>");
    }

    int textBlock(int blockEnd)
    {
        if (blockEnd < end && blockEnd - current >= RichTextSegments::PieceSize)
            closeText(blockEnd, QString(), 0);
        return blockEnd + 1;
    }

    // A list, or the rest of one when depth is 1: a long list is cut between its items.
    int textList(int at, int depth, int itemsBefore)
    {
        QVector<int> itemBreaks;
        const int listEnd = HtmlBlocks::listEnd(html, at, end, depth, &itemBreaks);
        const QString openTag =
            depth == 0 ? html.mid(at, html.indexOf(QLatin1Char('>'), at) + 1 - at) : continuedList;
        int items = itemsBefore + 1; // an item starts at at
        for (int itemBreak : qAsConst(itemBreaks)) {
            if (itemBreak - current >= RichTextSegments::PieceSize)
                closeText(itemBreak, openTag, items);
            ++items;
        }
        return textBlock(listEnd);
    }

    // A code block: its first line is marked as code, the lines after it are "<pre " lines.
    int code(int at)
    {
        closeText(at - 1, QString(), 0);
        RichTextSegments::Piece piece;
        piece.start = at;
        piece.kind = Code;
        piece.language = HtmlBlocks::codeLanguage(html, at);
        int from = at;
        if (const RichTextSegments::Piece* grown = resumable(at, Code)) {
            from = grown->resumeAt;
            piece.source = grown->source.left(grown->resumeCode);
        }
        int lastLine = from;
        int stop = HtmlBlocks::blockEnd(html, from, end);
        while (stop + 1 < end && HtmlBlocks::startsWithAt(html, stop + 1, QLatin1String("<pre "))
               && !HtmlBlocks::isCodeStart(html, stop + 1)) {
            lastLine = stop + 1;
            stop = HtmlBlocks::blockEnd(html, lastLine, end);
        }
        piece.source += HtmlBlocks::codeText(html, from, lastLine);
        piece.resumeAt = lastLine;
        piece.resumeCode = piece.source.size();
        piece.source += HtmlBlocks::codeText(html, lastLine, stop);
        return closeBlock(std::move(piece), stop);
    }

    // A table: "<table", then its rows one line each, then "</table>".
    int table(int at)
    {
        closeText(at - 1, QString(), 0);
        RichTextSegments::Piece piece;
        piece.start = at;
        piece.kind = Table;
        const RichTextSegments::Piece* grown = resumable(at, Table);
        const int from = grown ? grown->resumeAt : at;
        const int stop = HtmlBlocks::blockEnd(html, from, end, grown != nullptr);
        const int lastRow = html.lastIndexOf(QLatin1String("\n<tr"), stop - 1) + 1;
        piece.resumeAt = std::max(from, lastRow);
        piece.source = head + html.midRef(at, stop - at) + HtmlBlocks::htmlEnd();
        return closeBlock(std::move(piece), stop);
    }

    int closeBlock(RichTextSegments::Piece piece, int stop)
    {
        piece.end = stop;
        pieces.append(std::move(piece));
        current = stop + 1;
        return stop + 1;
    }

    // The piece that stood at at before, when it was a block of this kind that has only grown
    // since: up to its last line the text is the same.
    const RichTextSegments::Piece* resumable(int at, const QString& kind) const
    {
        if (!previous || previous->start != at || previous->kind != kind || previous->resumeAt <= at
            || previous->resumeAt + CutLookahead > common)
            return nullptr;
        return previous;
    }

    const QString& html;
    QVector<RichTextSegments::Piece>& pieces;
    const QString head;
    const int end;
    const RichTextSegments::Piece* previous;
    const int common;
    int current = 0;
    QString continuedList;
    int continuedItems = 0;
};

// Whether html ends with a table (closing lists may follow it) whose last cell is empty: Qt's
// import then still holds the block it made for that cell when the table ends, and uses it for
// the next block instead of the empty one it adds after every table.
bool endsWithEmptyCell(const QString& html)
{
    QStringView body = QStringView(html).left(HtmlBlocks::bodyEnd(html));
    while (body.endsWith(QLatin1String("</ol>")) || body.endsWith(QLatin1String("</ul>"))
           || body.endsWith(QLatin1String("</li>")))
        body.chop(5);
    return body.endsWith(QLatin1String("<td></td></tr></table>"));
}

// Whether the first block of piece may take over a block left over before it: anything but a
// table and an empty paragraph (a paragraph, heading, line of code or list item written with
// Qt's "-qt-paragraph-type:empty"), which the import always starts anew.
bool takesLeftOverBlock(const RichTextSegments::Piece& piece)
{
    if (piece.kind == Code)
        return !piece.source.isEmpty() && !piece.source.startsWith(QLatin1Char('\n'));
    if (piece.kind != Text || !HtmlBlocks::isBlockDocument(piece.source))
        return false;
    int at = HtmlBlocks::bodyStart(piece.source);
    while (HtmlBlocks::startsWithAt(piece.source, at, QLatin1String("<ul"))
           || HtmlBlocks::startsWithAt(piece.source, at, QLatin1String("<ol")))
        at = piece.source.indexOf(QLatin1Char('>'), at) + 1;
    const int tagEnd = piece.source.indexOf(QLatin1Char('>'), at);
    return tagEnd > at
        && !QStringView(piece.source)
                .mid(at, tagEnd - at)
                .contains(QLatin1String("-qt-paragraph-type:empty"));
}

} // namespace

bool RichTextSegments::Piece::operator==(const Piece& other) const
{
    return kind == other.kind && source == other.source && language == other.language
        && listStart == other.listStart;
}

RichTextSegments::RichTextSegments(QObject* parent)
    : QAbstractListModel(parent)
{ }

QString RichTextSegments::html() const
{
    return text;
}

void RichTextSegments::setHtml(const QString& html)
{
    if (text == html)
        return;
    int common = 0;
    const int kept = keptPieces(html, &common);
    QVector<Piece> next = cut(html, kept, common);
    text = html;
    publish(std::move(next), kept);
    emit htmlChanged();
}

// The leading pieces that stay: both texts are block documents with the same head, and each of
// these pieces, with what decided its end, lies before the first difference.
int RichTextSegments::keptPieces(const QString& newHtml, int* sameUpTo) const
{
    if (pieces.isEmpty() || !HtmlBlocks::isBlockDocument(text)
        || !HtmlBlocks::isBlockDocument(newHtml))
        return 0;
    const int common = TextPrefix::commonLength(text, newHtml);
    if (common < HtmlBlocks::bodyStart(newHtml))
        return 0;
    if (sameUpTo)
        *sameUpTo = common;
    int kept = 0;
    while (kept < pieces.size() && pieces.at(kept).end + CutLookahead <= common)
        ++kept;
    return kept;
}

// The pieces of newHtml after the first kept ones; newHtml is the same as the text so far up
// to common.
QVector<RichTextSegments::Piece> RichTextSegments::cut(const QString& newHtml, int kept,
                                                       int common) const
{
    QVector<Piece> next;
    if (newHtml.isEmpty())
        return next;
    if (!HtmlBlocks::isBlockDocument(newHtml)) {
        Piece whole;
        whole.end = newHtml.size();
        whole.kind = Text;
        whole.source = newHtml;
        next.append(whole);
        return next;
    }
    Cutter cutter(newHtml, next, kept < pieces.size() ? &pieces.at(kept) : nullptr, common);
    if (kept == 0) {
        cutter.run(HtmlBlocks::bodyStart(newHtml), QString(), 0);
    } else {
        const Piece& last = pieces.at(kept - 1);
        cutter.run(last.end + 1, last.openList, last.itemsBefore);
    }
    return next;
}

// Replaces the pieces from kept on with next, telling views only what changed.
void RichTextSegments::publish(QVector<Piece> next, int kept)
{
    const int oldCount = pieces.size();
    const int newCount = kept + next.size();
    const int common = std::min(oldCount, newCount);
    int firstChanged = -1;
    int lastChanged = -1;
    for (int row = kept; row < common; ++row) {
        Piece& replacement = next[row - kept];
        if (!(pieces.at(row) == replacement)) {
            firstChanged = firstChanged < 0 ? row : firstChanged;
            lastChanged = row;
        }
        pieces[row] = std::move(replacement);
    }
    if (firstChanged >= 0)
        emit dataChanged(index(firstChanged), index(lastChanged));
    if (newCount > oldCount) {
        beginInsertRows(QModelIndex(), oldCount, newCount - 1);
        for (int row = oldCount; row < newCount; ++row)
            pieces.append(std::move(next[row - kept]));
        endInsertRows();
    } else if (newCount < oldCount) {
        beginRemoveRows(QModelIndex(), newCount, oldCount - 1);
        pieces.resize(newCount);
        endRemoveRows();
    }
    if (newCount != oldCount)
        emit countChanged();
}

int RichTextSegments::count() const
{
    return pieces.size();
}

RichTextSegments::Piece RichTextSegments::pieceAt(int row) const
{
    return row >= 0 && row < pieces.size() ? pieces.at(row) : Piece();
}

// One document puts an empty block before a table that comes first (a document starts with a
// block), and an empty block of its own after every table, which the next block becomes when
// the table ends with an empty cell and that block takes it. A table piece is its table alone;
// a text piece that ends with a table (a list that runs into it) shows the empty block after it,
// which then is one too many.
int RichTextSegments::emptyBlocksBetween(const Piece* above, const Piece* below)
{
    if (!above)
        return below && below->kind == Table ? 1 : 0;
    if (above->kind == Code || !HtmlBlocks::isBlockDocument(above->source))
        return 0;
    const bool taken = below && endsWithEmptyCell(above->source) && takesLeftOverBlock(*below);
    if (above->kind == Table)
        return taken ? 0 : 1;
    return taken ? -1 : 0;
}

int RichTextSegments::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : pieces.size();
}

QVariant RichTextSegments::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const Piece& piece = pieces.at(index.row());
    switch (role) {
    case KindRole:
        return piece.kind;
    case SourceRole:
        return piece.source;
    case LanguageRole:
        return piece.language;
    case ListStartRole:
        return piece.listStart;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> RichTextSegments::roleNames() const
{
    return {{KindRole, "kind"},
            {SourceRole, "source"},
            {LanguageRole, "language"},
            {ListStartRole, "listStart"}};
}
