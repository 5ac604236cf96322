#pragma once

#include <QPoint>

// Where the chat window may be grabbed to drag it: the round assistant icon and the top row of
// the chat panel. The zones follow the chat view's layout in its three states (input bar only,
// chat panel open, history panel open with the chat panel shifted right by 84).
class DragZones
{
public:
    struct ViewState
    {
        int windowWidth = 0;
        bool dialog = false; // the chat panel is open and the history panel closed
        bool history = false; // the history panel is open
    };

    // point is window-local; every bound is inclusive.
    static bool contains(const QPoint& point, const ViewState& state);
};
