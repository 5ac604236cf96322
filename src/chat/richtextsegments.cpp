#include "chat/richtextsegments.h"

#include "chat/htmlblocks.h"
#include "chat/textprefix.h"

#include <algorithm>
#include <utility>

namespace {

// Whether a piece ends after a unit was decided from the text up to the line break after it
// and the tag that follows ("\n<table").
constexpr int CutLookahead = 8;

} // namespace

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
    const int kept = keptPieces(html);
    const int from = kept > 0 ? pieces.at(kept - 1).end + 1 : 0;
    QVector<Piece> next = cut(html, from);
    text = html;
    publish(std::move(next), kept);
    emit htmlChanged();
}

// The leading pieces that stay: both texts are block documents with the same head, and each of
// these pieces, with what decided its end, lies before the first difference.
int RichTextSegments::keptPieces(const QString& newHtml) const
{
    if (pieces.isEmpty() || !HtmlBlocks::isBlockDocument(text)
        || !HtmlBlocks::isBlockDocument(newHtml))
        return 0;
    const int common = TextPrefix::commonLength(text, newHtml);
    if (common < HtmlBlocks::bodyStart(newHtml))
        return 0;
    int kept = 0;
    while (kept < pieces.size() && pieces.at(kept).end + CutLookahead <= common)
        ++kept;
    return kept;
}

// The pieces of newHtml from the unit that starts at from (0: from the beginning).
QVector<RichTextSegments::Piece> RichTextSegments::cut(const QString& newHtml, int from) const
{
    QVector<Piece> next;
    if (newHtml.isEmpty())
        return next;
    if (!HtmlBlocks::isBlockDocument(newHtml)) {
        next.append({0, int(newHtml.size()), newHtml});
        return next;
    }
    const int bodyStart = HtmlBlocks::bodyStart(newHtml);
    const int end = HtmlBlocks::bodyEnd(newHtml);
    const QString head = newHtml.left(bodyStart);
    auto close = [&](int start, int stop) {
        next.append(
            {start, stop, head + newHtml.midRef(start, stop - start) + HtmlBlocks::htmlEnd()});
    };
    int start = std::max(from, bodyStart);
    for (int unit = start; unit < end;) {
        const int unitEnd = HtmlBlocks::unitEnd(newHtml, unit, end);
        if (unitEnd - start >= PieceSize && unitEnd < end
            && !HtmlBlocks::startsWithAt(newHtml, unitEnd + 1, QLatin1String("<table"))) {
            close(start, unitEnd);
            start = unitEnd + 1;
        }
        unit = unitEnd + 1;
    }
    if (start < end)
        close(start, end);
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
        const Piece& replacement = next.at(row - kept);
        if (pieces.at(row).html != replacement.html) {
            firstChanged = firstChanged < 0 ? row : firstChanged;
            lastChanged = row;
        }
        pieces[row] = replacement;
    }
    unchanged = firstChanged >= 0 ? firstChanged : common;
    if (firstChanged >= 0)
        emit dataChanged(index(firstChanged), index(lastChanged), {HtmlRole});
    if (newCount > oldCount) {
        beginInsertRows(QModelIndex(), oldCount, newCount - 1);
        for (int row = oldCount; row < newCount; ++row)
            pieces.append(next.at(row - kept));
        endInsertRows();
    } else if (newCount < oldCount) {
        beginRemoveRows(QModelIndex(), newCount, oldCount - 1);
        pieces.resize(newCount);
        endRemoveRows();
    }
    if (newCount != oldCount)
        emit countChanged();
}

int RichTextSegments::unchangedCount() const
{
    return unchanged;
}

int RichTextSegments::count() const
{
    return pieces.size();
}

QString RichTextSegments::pieceAt(int row) const
{
    return row >= 0 && row < pieces.size() ? pieces.at(row).html : QString();
}

int RichTextSegments::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : pieces.size();
}

QVariant RichTextSegments::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)
        || role != HtmlRole)
        return QVariant();
    return pieces.at(index.row()).html;
}

QHash<int, QByteArray> RichTextSegments::roleNames() const
{
    return {{HtmlRole, "html"}};
}
