#pragma once

#include <QString>
#include <QVector>

class RichTextPiece;

// The text of an answer shown in pieces (RichTextView's), from a position in one piece to a
// position in another, with the blocks that one document of the whole answer has: a line break
// between two pieces, and the empty blocks around a table that no piece shows (Qt's, see
// RichTextSegments::emptyBlocksBetween), also at the answer's start and end when the text
// reaches them.
class PiecesText
{
public:
    PiecesText(const QVector<RichTextPiece*>& pieces, int fromPiece, int fromPosition, int toPiece,
               int toPosition);

    // The empty blocks that one document has before piece index (after the last one when index
    // is the count) and that no piece shows.
    static int emptyBlocksBefore(const QVector<RichTextPiece*>& pieces, int index);

    QString plain() const;
    // The same as one rich-text document's HTML, for a rich copy.
    QString html() const;

private:
    int blocksBefore(int index) const;
    int startIn(int index) const;
    int endIn(int index) const;

    QVector<RichTextPiece*> pieces;
    int fromPiece;
    int fromPosition;
    int toPiece;
    int toPosition;
};
