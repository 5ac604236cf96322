#pragma once

#include <QRect>
#include <QSize>

// Where the chat window goes on the screen. The views give it one shape per state and move it
// so that the input bar keeps its place; this keeps the whole window on the screen it is on.
class ChatPlacement
{
public:
    // The intended geometry moved the least needed to lie within available. A window larger
    // than available keeps its top-left corner inside (the panel's toolbar stays reachable).
    static QRect fit(const QRect& intended, const QRect& available);

    // The collapsed bar's first place: centred, but low enough that the open chat (openHeight
    // high, growing upwards from the bar) fits above it, so opening it never moves the bar.
    static QRect firstPlace(const QRect& available, const QSize& collapsed, int openHeight);
};
