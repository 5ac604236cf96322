#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The program's own command line: --version and --help answer and end the process before any
// window, instance check or network request; anything else it does not know ends it with a
// message and exit code 2. Qt's own GUI options (-platform, -style, ...) pass through to the
// application object.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    // Exit code of a command line that cannot be understood.
    static constexpr int UsageError = 2;

    struct Outcome
    {
        bool run = true; // start the application
        int exitCode = 0; // when not run
        QString text; // printed when not run
        bool toStandardError = false;
        bool simulatedDevices = false; // --device-simulator: the demo's and the tests' keyboards
    };

    // Reads arguments (the program path first). Needs a QCoreApplication for the help text.
    static Outcome parse(const QStringList& arguments);

    // Parses argv in a short-lived QCoreApplication (no display needed) with the translation
    // of the system language, prints what the outcome says, and returns it. A process without
    // arguments needs no parse, so the usual start does not pay for it.
    static Outcome handle(int argc, char* argv[]);

    static QString versionText();
};
