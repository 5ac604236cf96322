// ViewHandler's window behaviour: the native events, dragging, focus and closing. Kept apart
// from the controller part in viewhandler.cpp, which builds the object graph.
#include "shell/viewhandler.h"

#include "device/devicelistmanager.h"
#include "device/vendor/basedevice.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QMouseEvent>

bool ViewHandler::nativeEvent(const QByteArray& eventType, void* message, long* result)
{
    switch (nativeEvents.decode(eventType, message)) {
    case NativeWindowEvents::Event::AiKeyPressed:
        onAiKeyPressed();
        break;
    case NativeWindowEvents::Event::MinimiseRestoreToggle:
        toggleMinimised();
        *result = 0;
        return true;
    case NativeWindowEvents::Event::None:
        break;
    }
    return MQuickView::nativeEvent(eventType, message, result);
}

// The AI key as the desktop sees it (raw keyboard input or the F20 grab) names no keyboard; the
// serial is that of the keyboard the device list knows as the AI keyboard.
void ViewHandler::onAiKeyPressed()
{
    qInfo() << "AI key pressed on the desktop";
    const std::optional<QString> sn = aiKeyboardSerial();
    if (!sn) {
        qDebug() << "AI key pressed, but no keyboard with an AI key is connected";
        return;
    }
    slotAiRequest(*sn);
    firstRun.closeGuide();
    showNormal();
}

std::optional<QString> ViewHandler::aiKeyboardSerial() const
{
    BaseDevice* device = devices ? devices->aiDevice() : nullptr;
    if (!device)
        return std::nullopt;
    const QVariantMap dataMap = device->getAiKeyData().value(QStringLiteral("DataMap")).toMap();
    return dataMap.value(QStringLiteral("sn")).toString();
}

// The taskbar's minimise and restore commands both arrive here; a frameless window toggles.
void ViewHandler::toggleMinimised()
{
    if (windowStates() & Qt::WindowMinimized)
        showNormal();
    else
        MQuickView::showMinimized();
}

DragZones::ViewState ViewHandler::dragState() const
{
    return {width(), dialogOpen, historyOpen};
}

void ViewHandler::mousePressEvent(QMouseEvent* event)
{
    drag.press(event, dragState());
    MApplicationQuickView::mousePressEvent(event);
}

void ViewHandler::mouseMoveEvent(QMouseEvent* event)
{
    MApplicationQuickView::mouseMoveEvent(event);
    drag.move(event, dragState());
}

void ViewHandler::mouseReleaseEvent(QMouseEvent* event)
{
    drag.release();
    MApplicationQuickView::mouseReleaseEvent(event);
}

// A move never changes the size: the views decide it through setXandY, and some window
// managers hand back an older size with the new position.
void ViewHandler::moveEvent(QMoveEvent* event)
{
    MApplicationQuickView::moveEvent(event);
    resize(remembered.size());
}

// Gaining the focus brings a minimised window back. An activation that arrives after the
// window was hidden (the window system reports it late) must not show it again.
void ViewHandler::focusInEvent(QFocusEvent* event)
{
    if (!pinned && isVisible())
        showNormal();
    MApplicationQuickView::focusInEvent(event);
}

// Losing the focus tucks an unpinned window away. A window that is already hidden stays so:
// minimising shows a window, so hiding (which also takes the focus) must not lead here.
void ViewHandler::focusOutEvent(QFocusEvent* event)
{
    if (!pinned && isVisible() && !(windowStates() & Qt::WindowMinimized))
        MQuickView::showMinimized();
    MApplicationQuickView::focusOutEvent(event);
}

void ViewHandler::hideEvent(QHideEvent* event)
{
    Q_UNUSED(event)
    hide();
}

// Closing the chat window ends the application: every window goes, then the event loop.
void ViewHandler::closeEvent(QCloseEvent* event)
{
    event->ignore();
    for (QWindow* window : QGuiApplication::allWindows())
        window->hide();
    exitManagerServices();
    dropLanguageManager();
    deleteTray();
    QCoreApplication::quit();
}
