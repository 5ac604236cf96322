#include "chat/piecestext.h"

#include "chat/piecedocuments.h"
#include "chat/richtextpiece.h"
#include "chat/richtextsegments.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>

PiecesText::PiecesText(const QVector<RichTextPiece*>& pieces, int fromPiece, int fromPosition,
                       int toPiece, int toPosition)
    : pieces(pieces)
    , fromPiece(fromPiece)
    , fromPosition(fromPosition)
    , toPiece(std::min(toPiece, int(pieces.size()) - 1))
    , toPosition(toPosition)
{ }

int PiecesText::emptyBlocksBefore(const QVector<RichTextPiece*>& pieces, int index)
{
    RichTextSegments::Piece around[2];
    for (int side = 0; side < 2; ++side) {
        const int at = index - 1 + side;
        if (at >= 0 && at < pieces.size()) {
            around[side].kind = pieces.at(at)->kind();
            around[side].source = pieces.at(at)->source();
        }
    }
    return RichTextSegments::emptyBlocksBetween(index > 0 ? &around[0] : nullptr,
                                                index < pieces.size() ? &around[1] : nullptr);
}

// The blocks that start before piece index (after the last one when index is the count).
int PiecesText::blocksBefore(int index) const
{
    if (index > fromPiece && index <= toPiece)
        return 1 + emptyBlocksBefore(pieces, index);
    const bool atStart = index == 0 && fromPosition == 0;
    const bool atEnd = index == pieces.size() && index - 1 == toPiece
        && toPosition >= pieces.at(toPiece)->content().length();
    return atStart || atEnd ? emptyBlocksBefore(pieces, index) : 0;
}

int PiecesText::startIn(int index) const
{
    return index == fromPiece ? fromPosition : 0;
}

int PiecesText::endIn(int index) const
{
    return index == toPiece ? toPosition : pieces.at(index)->content().length();
}

QString PiecesText::plain() const
{
    QString text;
    for (int index = fromPiece; index <= toPiece; ++index) {
        text += QString(blocksBefore(index), QLatin1Char('\n'));
        text += pieces.at(index)->content().plainText(startIn(index), endIn(index));
    }
    return text + QString(blocksBefore(toPiece + 1), QLatin1Char('\n'));
}

// A table's fragment goes after the block it is put in, and brings the block after it.
QString PiecesText::html() const
{
    QTextDocument combined;
    QTextCursor out(&combined);
    bool tableAbove = false;
    for (int index = fromPiece; index <= toPiece + 1; ++index) {
        const bool table = index <= toPiece && pieces.at(index)->kind() == QLatin1String("table");
        for (int block = blocksBefore(index); block > int(tableAbove) + int(table); --block)
            out.insertBlock();
        if (index > toPiece)
            break;
        out.insertFragment(pieces.at(index)->content().fragment(startIn(index), endIn(index)));
        tableAbove = table;
    }
    return combined.toHtml();
}
