#include "chat/outofviewdelay.h"

#include <QQuickItem>
#include <QQuickWindow>

#include <algorithm>

OutOfViewDelay::OutOfViewDelay(QQuickItem* view)
    : QObject(view)
    , view(view)
{
    timer.setSingleShot(true);
    timer.setInterval(CatchUpMs);
    connect(&timer, &QTimer::timeout, this, &OutOfViewDelay::flush);
}

bool OutOfViewDelay::hold(const QString& newText, QQuickItem* changed)
{
    if (!isBelowView(changed)) {
        clear();
        return false;
    }
    text = newText;
    changedItem = changed;
    if (!holding) {
        holding = true;
        timer.start();
        // Scrolling, like any change on screen, makes a frame: after each one the held text is
        // let through if its place has come into view.
        frameWatch = connect(view->window(), &QQuickWindow::afterAnimating, this,
                             &OutOfViewDelay::checkAfterFrame);
    }
    return true;
}

bool OutOfViewDelay::isHolding() const
{
    return holding;
}

const QString& OutOfViewDelay::heldText() const
{
    return text;
}

void OutOfViewDelay::clear()
{
    if (!holding)
        return;
    holding = false;
    timer.stop();
    disconnect(frameWatch);
    text.clear();
}

// Whether item's top lies below the window, or below an ancestor that clips its children (the
// list the view scrolls in).
bool OutOfViewDelay::isBelowView(QQuickItem* item) const
{
    QQuickWindow* window = view->window();
    if (!item || !window || !view->isVisible())
        return false;
    const qreal top = item->mapToScene(QPointF(0, 0)).y();
    qreal bottom = window->height();
    for (QQuickItem* clipper = item->parentItem(); clipper; clipper = clipper->parentItem()) {
        if (clipper->clip())
            bottom = std::min(bottom, clipper->mapToScene(QPointF(0, clipper->height())).y());
    }
    return top >= bottom;
}

void OutOfViewDelay::setCatchUpInterval(int ms)
{
    timer.setInterval(ms);
}

void OutOfViewDelay::flush()
{
    if (!holding)
        return;
    const QString due = text;
    clear();
    emit released(due);
}

void OutOfViewDelay::checkAfterFrame()
{
    if (holding && !isBelowView(changedItem))
        flush();
}
