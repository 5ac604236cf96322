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

public:
    // The collapsed bar: the input line with the assistant beside it.
    static const QSize CollapsedSize;

    explicit ChatWindow(QWindow* parent = nullptr);
    ~ChatWindow() override;

    bool dialog() const;
    Q_INVOKABLE void setDialog(bool value);
    bool history() const;
    Q_INVOKABLE void setHistory(bool value);
    bool topScreen() const;
    Q_INVOKABLE void setTopScreen(bool value);

    // Negative x or y become 0; the size becomes the window's size from now on, whatever the
    // size hints held before.
    Q_INVOKABLE void setXandY(int x, int y, int width, int height);
    Q_INVOKABLE void changeWindow();

    const WindowDrag& windowDrag() const;

signals:
    void dialogChanged();
    void historyChanged();
    void topScreenChanged();
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
    void pinSize(const QSize& size);
    void toggleMinimised();
    DragZones::ViewState dragState() const;

    NativeWindowEvents nativeEvents;
    WindowDrag drag;
    QRect remembered;
    bool dialogOpen = false;
    bool historyOpen = false;
    bool pinned = false;
};
