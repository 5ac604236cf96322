#pragma once

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>

// The X desktop of a GUI test that runs under xvfb-run: a tray host (Debian's trayer, an
// XEmbed system tray docked at the bottom right) and xdotool for the mouse.
class XDesktop
{
public:
    XDesktop() = default;
    ~XDesktop();

    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    // True when the tests can run here (a display, trayer and xdotool).
    static bool available();

    bool startTrayHost();
    // The tray host's panel once an icon is docked in it (wider than the empty panel).
    QRect dockedIcons(int timeoutMs = 20000) const;
    static bool click(const QPoint& physical, int button);

private:
    QProcess trayer;
};
