#include "shell/windowdrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStyleHints>

WindowDrag::WindowDrag(QQuickWindow* window)
    : window(window)
{ }

void WindowDrag::press(const QMouseEvent* event, const DragZones::ViewState& state)
{
    pressed = event->localPos().toPoint();
    pressedOnScreen = event->screenPos().toPoint();
    dragging = DragZones::contains(pressed, state);
    moving = false;
}

void WindowDrag::move(const QMouseEvent* event, const DragZones::ViewState& state)
{
    if (dragging && !DragZones::contains(pressed, state))
        dragging = false;
    const Qt::WindowStates windowState = window->windowStates();
    if (!dragging || (windowState & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QPoint onScreen = event->screenPos().toPoint();
    if (!moving) {
        const int distance = QGuiApplication::styleHints()->startDragDistance();
        if ((onScreen - pressedOnScreen).manhattanLength() < distance)
            return;
        startMoving();
    }
    window->setPosition(onScreen - pressed);
}

void WindowDrag::startMoving()
{
    moving = true;
    if (QQuickItem* grabber = window->mouseGrabberItem())
        grabber->ungrabMouse();
}

void WindowDrag::release()
{
    dragging = false;
    moving = false;
}

bool WindowDrag::isDragging() const
{
    return dragging;
}

bool WindowDrag::isMoving() const
{
    return moving;
}

QPoint WindowDrag::pressPoint() const
{
    return pressed;
}
