#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The built program, started headless in the caller's environment (a TestEnvironment's
// folders). Whatever still runs when the object goes is killed.
class LumoraProcess
{
public:
    LumoraProcess() = default;
    ~LumoraProcess();

    LumoraProcess(const LumoraProcess&) = delete;
    LumoraProcess& operator=(const LumoraProcess&) = delete;

    // Variables set on top of the headless defaults, e.g. QT_QPA_PLATFORM "xcb" for a run on
    // a real X server. Call before start().
    void setVariable(const QString& name, const QString& value);

    // Another program than the built one (an installed copy), and arguments. Call before start().
    void setProgram(const QString& path, const QStringList& arguments = {});

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
    QProcessEnvironment extra;
    QString program = QStringLiteral(LUMORA_PATH);
    QStringList arguments;
};
