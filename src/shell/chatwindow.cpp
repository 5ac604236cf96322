#include "shell/chatwindow.h"

#include "core/logging.h"
#include "shell/chatplacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

namespace {

constexpr int ChatWindowRadius = 0;
constexpr int ChatWindowShadowWeight = 3;

} // namespace

const QSize ChatWindow::CollapsedSize(576, 66);

ChatWindow::ChatWindow(QWindow* parent)
    : MApplicationQuickView(ChatWindowRadius, ChatWindowShadowWeight, parent)
    , drag(this)
    , remembered(QPoint(), CollapsedSize)
    , intended(remembered)
{
    setUpWindow();
}

ChatWindow::~ChatWindow() = default;

void ChatWindow::setUpWindow()
{
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint
             | Qt::WindowMaximizeButtonHint | Qt::NoDropShadowWindowHint);
    setBaseSize(CollapsedSize);
    remembered = ChatPlacement::firstPlace(QGuiApplication::primaryScreen()->availableGeometry(),
                                           CollapsedSize, OpenChatHeight);
    intended = remembered;
    setGeometry(remembered);
    qCDebug(lcShell) << "x:y" << remembered.y();
    // The views draw their own rounded frame; the corners must let the desktop through, which
    // needs a surface with an alpha channel. Not fully transparent, so the window still takes
    // the mouse where nothing is drawn.
    QSurfaceFormat surface = format();
    surface.setAlphaBufferSize(8);
    setFormat(surface);
    setColor(QColor(5, 5, 5, 5));
    setMinimumSize(CollapsedSize);
    setMaximumSize(CollapsedSize);
    // The window's size is the views' decision (setXandY); the root item follows it.
    setResizeMode(QQuickView::SizeRootObjectToView);
}

bool ChatWindow::dialog() const
{
    return dialogOpen;
}

void ChatWindow::setDialog(bool value)
{
    if (dialogOpen == value)
        return;
    dialogOpen = value;
    emit dialogChanged();
}

bool ChatWindow::history() const
{
    return historyOpen;
}

void ChatWindow::setHistory(bool value)
{
    if (historyOpen == value)
        return;
    historyOpen = value;
    emit historyChanged();
}

bool ChatWindow::topScreen() const
{
    return pinned;
}

void ChatWindow::setTopScreen(bool value)
{
    if (pinned == value)
        return;
    pinned = value;
    setFlags(value ? flags() | Qt::WindowStaysOnTopHint : flags() & ~Qt::WindowStaysOnTopHint);
    emit topScreenChanged();
}

void ChatWindow::setXandY(int x, int y, int width, int height)
{
    qCDebug(lcShell) << "y" << y;
    const QRect before = intended;
    intended = QRect(x, y, width, height);
    remembered = ChatPlacement::fit(intended, availableFor(intended));
    loosenSizeHints(remembered.size());
    setGeometry(remembered);
    pinSize(remembered.size());
    if (intended.topLeft() != before.topLeft())
        emit placeChanged();
}

int ChatWindow::placeX() const
{
    return intended.x();
}

int ChatWindow::placeY() const
{
    return intended.y();
}

// The screen under the input bar (the bottom of the window), else the window's own.
QRect ChatWindow::availableFor(const QRect& place) const
{
    const QPoint bar(place.center().x(), place.bottom() - CollapsedSize.height() / 2);
    QScreen* under = QGuiApplication::screenAt(bar);
    if (!under)
        under = screen() ? screen() : QGuiApplication::primaryScreen();
    return under ? under->availableGeometry() : QRect();
}

void ChatWindow::bringUp()
{
    // A screen that went away (or a place off every screen) brings the bar back to the first
    // place on the primary screen.
    if (!QGuiApplication::screenAt(remembered.center())) {
        const QRect first =
            ChatPlacement::firstPlace(QGuiApplication::primaryScreen()->availableGeometry(),
                                      remembered.size(), OpenChatHeight);
        setXandY(first.x(), first.y(), first.width(), first.height());
    }
    // Briefly on top, so that the window comes up over whatever has the focus; the pin
    // (topScreen) keeps its value but not the hint.
    setFlags(flags() | Qt::WindowStaysOnTopHint);
    if (windowStates() & Qt::WindowMinimized)
        showNormal();
    else
        show();
    setFlags(flags() & ~Qt::WindowStaysOnTopHint);
    raise();
    requestActivate();
}

// Platforms that enforce the size hints would clamp setGeometry() to the old ones, so the
// hints first allow both the old size and the new one. They are pinned to the new size only
// after the geometry request: window managers enforce new hints at once, at the old place
// (openbox grew the bar where it stood, pushed it back onto the screen from there and kept
// that place instead of the requested one).
void ChatWindow::loosenSizeHints(const QSize& size)
{
    setMinimumSize(minimumSize().boundedTo(size));
    setMaximumSize(maximumSize().expandedTo(size));
}

void ChatWindow::pinSize(const QSize& size)
{
    setMinimumSize(size);
    setMaximumSize(size);
}

void ChatWindow::changeWindow()
{
    const Qt::WindowState state = windowState();
    if (state == Qt::WindowMaximized || state == Qt::WindowFullScreen)
        setVisibility(QWindow::AutomaticVisibility);
    else
        setVisibility(QWindow::Maximized);
    emit radiusChanged();
}

const WindowDrag& ChatWindow::windowDrag() const
{
    return drag;
}

bool ChatWindow::nativeEvent(const QByteArray& eventType, void* message, long* result)
{
    switch (nativeEvents.decode(eventType, message)) {
    case NativeWindowEvents::Event::AiKeyPressed:
        emit desktopAiKeyPressed();
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

// The taskbar's minimise and restore commands both arrive here; a frameless window toggles.
void ChatWindow::toggleMinimised()
{
    if (windowStates() & Qt::WindowMinimized)
        showNormal();
    else
        MQuickView::showMinimized();
}

DragZones::ViewState ChatWindow::dragState() const
{
    return {width(), dialogOpen, historyOpen};
}

void ChatWindow::mousePressEvent(QMouseEvent* event)
{
    drag.press(event, dragState());
    MApplicationQuickView::mousePressEvent(event);
}

void ChatWindow::mouseMoveEvent(QMouseEvent* event)
{
    MApplicationQuickView::mouseMoveEvent(event);
    drag.move(event, dragState());
}

void ChatWindow::mouseReleaseEvent(QMouseEvent* event)
{
    drag.release();
    MApplicationQuickView::mouseReleaseEvent(event);
}

// A move never changes the size: the views decide it through setXandY, and some window
// managers hand back an older size with the new position. A move that is not ours (a drag,
// the window manager) is the window's new place.
void ChatWindow::moveEvent(QMoveEvent* event)
{
    MApplicationQuickView::moveEvent(event);
    if (event->pos() != remembered.topLeft()) {
        remembered.moveTopLeft(event->pos());
        intended = remembered;
        emit placeChanged();
    }
    resize(remembered.size());
}

// Gaining the focus brings a minimised window back. An activation that arrives after the
// window was hidden (the window system reports it late) must not show it again.
void ChatWindow::focusInEvent(QFocusEvent* event)
{
    if (!pinned && isVisible())
        showNormal();
    MApplicationQuickView::focusInEvent(event);
}

// Losing the focus tucks an unpinned window away. A window that is already hidden stays so:
// minimising shows a window, so hiding (which also takes the focus) must not lead here.
void ChatWindow::focusOutEvent(QFocusEvent* event)
{
    if (!pinned && !ownDialogOpen && isVisible() && !(windowStates() & Qt::WindowMinimized))
        MQuickView::showMinimized();
    MApplicationQuickView::focusOutEvent(event);
}

void ChatWindow::setOwnDialogOpen(bool open)
{
    ownDialogOpen = open;
}

void ChatWindow::hideEvent(QHideEvent* event)
{
    Q_UNUSED(event)
    hide();
}

// Closing the chat window ends the application: every window goes, then the event loop.
void ChatWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    for (QWindow* window : QGuiApplication::allWindows())
        window->hide();
    releaseBeforeQuit();
    QCoreApplication::quit();
}

void ChatWindow::releaseBeforeQuit() { }
