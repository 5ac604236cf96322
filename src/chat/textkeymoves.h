#pragma once

#include <QTextCursor>

#include <optional>

class QKeyEvent;

// The keys that move the cursor through a read-only text as in an editor (arrows, Home, End,
// with Ctrl for words and the whole text), as cursor moves; with Shift they select.
class TextKeyMoves
{
public:
    struct Move
    {
        QTextCursor::MoveOperation op;
        bool select; // the selection's end moves; otherwise the selection collapses
    };

    static std::optional<Move> forKey(const QKeyEvent* event);
    static bool isForward(QTextCursor::MoveOperation op);
    static bool isBackward(QTextCursor::MoveOperation op);
};
