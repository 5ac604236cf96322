#pragma once

#include <QList>
#include <QRect>
#include <QStringList>

// The X server a process test runs on, driven the way a user would: keys and the mouse
// through xdotool, and the window manager's close request sent to a window.
class X11Desktop
{
public:
    struct Window
    {
        quint32 id = 0;
        QRect geometry;
    };

    // Runs xdotool with the arguments; true when it succeeded.
    static bool xdotool(const QStringList& arguments);
    // The mapped windows of a process (by _NET_WM_PID), with their geometry on the screen.
    static QList<Window> visibleWindows(qint64 pid);
    // The first visible window of the process with this width, or an empty Window.
    static Window visibleWindowOfWidth(qint64 pid, int width);
    // Asks a window to close, as a window manager's close button does (WM_DELETE_WINDOW).
    static bool requestClose(quint32 window);
    // Saves the whole screen as an image file.
    static bool screenshot(const QString& path);
    // Whether a window manager runs on the display (_NET_SUPPORTING_WM_CHECK on the root).
    static bool windowManagerRunning();
    // The window that has the keyboard focus (a window manager's frame counts as its client's
    // parent, so compare with isAncestorOrSelf).
    static quint32 focusedWindow();
    static bool isAncestorOrSelf(quint32 ancestor, quint32 window);

    // A plain window of another program, for taking the focus away; it lives until the
    // object goes.
    class OtherProgram
    {
    public:
        explicit OtherProgram(const QRect& geometry);
        ~OtherProgram();
        OtherProgram(const OtherProgram&) = delete;
        OtherProgram& operator=(const OtherProgram&) = delete;
        quint32 window() const { return id; }

    private:
        void* connection = nullptr;
        quint32 id = 0;
    };
};
