#include "chat/textkeymoves.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>
#include <iterator>

namespace {

struct KeyMove
{
    QKeySequence::StandardKey key;
    TextKeyMoves::Move move;
};

const KeyMove KeyMoves[] = {
    {QKeySequence::SelectNextChar, {QTextCursor::Right, true}},
    {QKeySequence::SelectPreviousChar, {QTextCursor::Left, true}},
    {QKeySequence::SelectNextWord, {QTextCursor::NextWord, true}},
    {QKeySequence::SelectPreviousWord, {QTextCursor::PreviousWord, true}},
    {QKeySequence::SelectNextLine, {QTextCursor::Down, true}},
    {QKeySequence::SelectPreviousLine, {QTextCursor::Up, true}},
    {QKeySequence::SelectStartOfLine, {QTextCursor::StartOfLine, true}},
    {QKeySequence::SelectEndOfLine, {QTextCursor::EndOfLine, true}},
    {QKeySequence::SelectStartOfBlock, {QTextCursor::StartOfBlock, true}},
    {QKeySequence::SelectEndOfBlock, {QTextCursor::EndOfBlock, true}},
    {QKeySequence::SelectStartOfDocument, {QTextCursor::Start, true}},
    {QKeySequence::SelectEndOfDocument, {QTextCursor::End, true}},
    {QKeySequence::MoveToNextChar, {QTextCursor::Right, false}},
    {QKeySequence::MoveToPreviousChar, {QTextCursor::Left, false}},
    {QKeySequence::MoveToNextWord, {QTextCursor::NextWord, false}},
    {QKeySequence::MoveToPreviousWord, {QTextCursor::PreviousWord, false}},
    {QKeySequence::MoveToNextLine, {QTextCursor::Down, false}},
    {QKeySequence::MoveToPreviousLine, {QTextCursor::Up, false}},
    {QKeySequence::MoveToStartOfLine, {QTextCursor::StartOfLine, false}},
    {QKeySequence::MoveToEndOfLine, {QTextCursor::EndOfLine, false}},
    {QKeySequence::MoveToStartOfDocument, {QTextCursor::Start, false}},
    {QKeySequence::MoveToEndOfDocument, {QTextCursor::End, false}},
};

} // namespace

std::optional<TextKeyMoves::Move> TextKeyMoves::forKey(const QKeyEvent* event)
{
    const auto found = std::find_if(std::begin(KeyMoves), std::end(KeyMoves),
                                    [&](const KeyMove& m) { return event->matches(m.key); });
    if (found == std::end(KeyMoves))
        return std::nullopt;
    return found->move;
}

bool TextKeyMoves::isForward(QTextCursor::MoveOperation op)
{
    return op == QTextCursor::Right || op == QTextCursor::NextCharacter
        || op == QTextCursor::NextWord || op == QTextCursor::Down;
}

bool TextKeyMoves::isBackward(QTextCursor::MoveOperation op)
{
    return op == QTextCursor::Left || op == QTextCursor::PreviousCharacter
        || op == QTextCursor::PreviousWord || op == QTextCursor::Up;
}
