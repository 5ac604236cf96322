#pragma once

#include "lumoraprocess.h"
#include "support/devserverprocess.h"
#include "support/standinclient.h"
#include "support/testenvironment.h"

#include <memory>

// The program as a user has it on an X desktop: started hidden on the test's X server against
// the stand-in services, with simulated keyboards plugged in through lumora-devicectl.
class AiKeyFixture
{
public:
    // Prepares the folders and the stand-in and starts the program; false (with the reason in
    // error()) when something is missing.
    bool start();
    // Keyboards from lumora-devicectl (the default), or the system's (LUMORA_SYSFS_ROOT).
    void setSimulatedKeyboards(bool simulated) { simulatedKeyboards = simulated; }
    void stop();

    // lumora-devicectl with the arguments; true when it succeeded. Its output in *output.
    bool devicectl(const QStringList& arguments, QString* output = nullptr);
    // Plugs a keyboard and waits until the program has started it.
    bool plugKeyboard(const QString& name, const QString& sn);

    LumoraProcess& app() { return *process; }
    StandInClient& standIn() { return *client; }
    const TestEnvironment& environment() const { return *env; }
    QString error() const { return failure; }

    // getCount requests that named this serial.
    int countRequestsFor(const QString& sn);
    // Lines of the program's output that contain text.
    int outputLines(const QString& text);
    // Waits until the first conversation holds a question and an answer that ends with
    // answerEnd, and the answer was reported for counting under sn; its file name, or an empty
    // string after timeoutMs.
    QString waitForStoredAnswer(const QString& answerEnd, const QString& sn, int timeoutMs);

private:
    bool launch();

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<DevServerProcess> server;
    std::unique_ptr<StandInClient> client;
    std::unique_ptr<LumoraProcess> process;
    QString failure;
    bool simulatedKeyboards = true;
};
