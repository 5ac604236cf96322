// Stand-in maintenance tool. "--checkupdates" reports like the installer framework's tool,
// "--updater" pretends to install. LUMORA_MAINTENANCE_SCENARIO picks the behaviour:
//   noupdate (default)  no update available
//   update              an update to LUMORA_MAINTENANCE_VERSION (default 1.0.1); updater succeeds
//   network             network error
//   noremote            the remote repository tree cannot be read
//   garbage             output that is neither a known text nor XML
//   hang                never ends by itself
//   updater-fails       an update is reported; the updater exits with 1
//   updater-crashes     an update is reported; the updater aborts
//   updater-slow        an update is reported; the updater takes LUMORA_MAINTENANCE_UPDATER_MS
//                       (default 2000), writing to its output all the while, and logs
//                       "installed" when it is done (as an installer that outlives the app)
// When LUMORA_MAINTENANCE_LOG names a file, every run appends its argument to it.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

std::string env(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

void logRun(const char* argument)
{
    const std::string log = env("LUMORA_MAINTENANCE_LOG", "");
    if (log.empty())
        return;
    if (FILE* file = std::fopen(log.c_str(), "a")) {
        std::fprintf(file, "%s\n", argument);
        std::fclose(file);
    }
}

[[noreturn]] void hang()
{
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(60));
}

bool reportsUpdate(const std::string& scenario)
{
    return scenario == "update" || scenario == "updater-fails" || scenario == "updater-crashes"
        || scenario == "updater-slow";
}

// Progress lines on both outputs while it works: a tool whose output went to a pipe of an app
// that has ended would die here of SIGPIPE.
void installSlowly()
{
    const int ms = std::atoi(env("LUMORA_MAINTENANCE_UPDATER_MS", "2000").c_str());
    for (int step = 0; step < 20; ++step) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms / 20));
        std::printf("[%d] Installing component %d of 20...\n", 200 + step, step + 1);
        std::fprintf(stderr, "progress %d%%\n", (step + 1) * 5);
        std::fflush(stdout);
    }
    logRun("installed");
}

int checkUpdates(const std::string& scenario)
{
    std::printf("[0] Checking for updates...\n");
    if (scenario == "hang")
        hang();
    if (scenario == "network") {
        std::printf("[120] Network error: the update server could not be reached.\n");
        return 1;
    }
    if (scenario == "noremote") {
        std::printf("[130] Cannot retrieve remote tree from the repository.\n");
        return 1;
    }
    if (scenario == "garbage") {
        std::printf("\x01\x02<<<update version=>>> ~~~ %s\n", "not a report");
        return 0;
    }
    if (reportsUpdate(scenario)) {
        const std::string version = env("LUMORA_MAINTENANCE_VERSION", "1.0.1");
        std::printf("<updates>\n    <update name=\"Lumora\" version=\"%s\" size=\"48211968\"/>\n"
                    "</updates>\n",
                    version.c_str());
        return 0;
    }
    std::printf("[150] There are currently no updates available.\n");
    return 0;
}

int runUpdater(const std::string& scenario)
{
    if (scenario == "hang")
        hang();
    if (scenario == "updater-crashes")
        std::abort();
    if (scenario == "updater-fails") {
        std::fprintf(stderr, "Installation failed.\n");
        return 1;
    }
    if (scenario == "updater-slow")
        installSlowly();
    std::printf("Components updated successfully.\n");
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string scenario = env("LUMORA_MAINTENANCE_SCENARIO", "noupdate");
    const char* argument = argc > 1 ? argv[1] : "";
    logRun(argument);
    int code = 2;
    if (std::strcmp(argument, "--checkupdates") == 0)
        code = checkUpdates(scenario);
    else if (std::strcmp(argument, "--updater") == 0)
        code = runUpdater(scenario);
    else
        std::fprintf(stderr, "usage: LumoraMaintenanceTool --checkupdates | --updater\n");
    std::fflush(stdout);
    return code;
}
