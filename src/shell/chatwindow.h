#pragma once

#include "platform/nativewindowevents.h"
#include "shell/dragzones.h"
#include "shell/mapplicationquickview.h"
#include "shell/windowdrag.h"

#include <QRect>

// The chat window as a window: a frameless bar that floats over the desktop like a tool. It
// drags only by the zones of its content, keeps the size the views gave it while it moves,
// tucks itself away when the focus leaves (unless pinned), turns the taskbar's minimise and
// restore into a toggle, and ends the application when it is closed. The views decide its
// shape through setXandY(); the controller part lives in ViewHandler, which derives from this.
class ChatWindow : public MApplicationQuickView
{
    Q_OBJECT
    Q_PROPERTY(bool dialog READ dialog WRITE setDialog NOTIFY dialogChanged)
    Q_PROPERTY(bool history READ history WRITE setHistory NOTIFY historyChanged)
    Q_PROPERTY(bool topScreen READ topScreen WRITE setTopScreen NOTIFY topScreenChanged)
    // Where the views placed the window, before it was kept on its screen: the views move the
    // window from here, so the input bar comes back to its place when the panel closes.
    Q_PROPERTY(int placeX READ placeX NOTIFY placeChanged)
    Q_PROPERTY(int placeY READ placeY NOTIFY placeChanged)

public:
    // The collapsed bar: the input line with the assistant beside it.
    static const QSize CollapsedSize;
    // The window with the chat panel open above the bar (MainView.qml: input bar 42, gap 5,
    // panel 594).
    static constexpr int OpenChatHeight = 641;

    explicit ChatWindow(QWindow* parent = nullptr);
    ~ChatWindow() override;

    bool dialog() const;
    Q_INVOKABLE void setDialog(bool value);
    bool history() const;
    Q_INVOKABLE void setHistory(bool value);
    bool topScreen() const;
    Q_INVOKABLE void setTopScreen(bool value);

    // The window goes there, moved the least needed to stay on its screen (the screen under
    // the input bar); the size becomes the window's size from now on, whatever the size hints
    // held before.
    Q_INVOKABLE void setXandY(int x, int y, int width, int height);
    int placeX() const;
    int placeY() const;

    // Brings the window up for the AI key: shown over whatever has the focus, raised, and
    // activated so that the input has the keyboard focus at once (on X11 with the time of the
    // key event, which a window manager's focus-stealing prevention accepts).
    void bringUp();
    Q_INVOKABLE void changeWindow();

    const WindowDrag& windowDrag() const;
    // While a dialog of ours is open above the window (the export's save dialog), the focus
    // it takes does not tuck the window away.
    void setOwnDialogOpen(bool open);

signals:
    void dialogChanged();
    void historyChanged();
    void topScreenChanged();
    void placeChanged();
    // The AI key, picked out of the desktop's raw keyboard input (Windows). It names no
    // keyboard; the controller finds the AI keyboard's serial.
    void desktopAiKeyPressed();

protected:
    void moveEvent(QMoveEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;
    void closeEvent(QCloseEvent* event) override;

    // Called by closeEvent() once every window is hidden, before the event loop ends: the
    // controllers that own windows or reach the views let go of them here.
    virtual void releaseBeforeQuit();

private:
    void setUpWindow();
    void loosenSizeHints(const QSize& size);
    void pinSize(const QSize& size);
    QRect availableFor(const QRect& place) const;
    void toggleMinimised();
    DragZones::ViewState dragState() const;

    NativeWindowEvents nativeEvents;
    WindowDrag drag;
    QRect remembered; // the geometry last given to the window
    QRect intended; // what the views asked for; differs from remembered near a screen's edge
    bool dialogOpen = false;
    bool historyOpen = false;
    bool pinned = false;
    bool ownDialogOpen = false;
};
