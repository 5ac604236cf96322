#pragma once

#include "shell/dragzones.h"

#include <QPoint>

class QMouseEvent;
class QQuickWindow;

// Drags a frameless window by the zones of its content. A press in a zone arms the drag; the
// window only starts to follow once the mouse has travelled the platform's drag distance, and
// at that moment the QML item that took the press is told to let go, so that a drag started on
// a button never ends in a click. From then on the window keeps the pressed point under the
// mouse.
class WindowDrag
{
public:
    explicit WindowDrag(QQuickWindow* window);

    void press(const QMouseEvent* event, const DragZones::ViewState& state);
    // The state is read again on every move: a panel that opened or closed since the press may
    // have taken the zone away.
    void move(const QMouseEvent* event, const DragZones::ViewState& state);
    void release();

    bool isDragging() const;
    bool isMoving() const;
    QPoint pressPoint() const;

private:
    void startMoving();

    QQuickWindow* window;
    QPoint pressed; // window-local, rounded
    QPoint pressedOnScreen;
    bool dragging = false;
    bool moving = false;
};
