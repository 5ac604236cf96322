#pragma once

#include <QProcess>
#include <QString>

// The built program, started headless in the caller's environment (a TestEnvironment's
// folders). Whatever still runs when the object goes is killed.
class LumoraProcess
{
public:
    LumoraProcess() = default;
    ~LumoraProcess();

    LumoraProcess(const LumoraProcess&) = delete;
    LumoraProcess& operator=(const LumoraProcess&) = delete;

    // The Qt platform plugin the program runs on ("offscreen" unless set, e.g. "xcb" under
    // Xvfb); set before start().
    void setPlatform(const QString& name);
    bool start();
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
    QString platform = QStringLiteral("offscreen");
};
