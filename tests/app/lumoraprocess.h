#pragma once

#include <QProcess>
#include <QString>

// The built program, started in the caller's environment (a TestEnvironment's folders),
// headless or on the caller's X display. Whatever still runs when the object goes is killed.
class LumoraProcess
{
public:
    enum class Display {
        Headless,
        X11, // the DISPLAY of the test (an Xvfb of its own)
    };

    LumoraProcess() = default;
    ~LumoraProcess();

    LumoraProcess(const LumoraProcess&) = delete;
    LumoraProcess& operator=(const LumoraProcess&) = delete;

    bool start(Display display = Display::Headless);
    qint64 processId() const;
    // Waits until the program's output (stdout and stderr) contains text.
    bool waitForOutput(const QString& text, int timeoutMs = 20000);
    // The exit code; -1 when the program still ran at the deadline (it is killed then), -2
    // when it crashed.
    int waitForExit(int timeoutMs = 20000);
    // Ends the program the way a crash would, without any clean-up of its own.
    void crash();

    QString output();

private:
    void collect();

    QProcess process;
    QString collected;
};
