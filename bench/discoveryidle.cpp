// Idle cost of the device discovery thread: two simulated keyboards plugged and opened, then
// nothing changes for the measured time (60 s unless --seconds N is given). Prints the CPU
// time the discovery thread used, in percent of one core.
#include "device/devicehandler.h"
#include "device/deviceinfo.h"
#include "device/vendor/devicesimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <time.h>
#endif

namespace {

int secondsFromArguments(const QStringList& arguments)
{
    const int at = arguments.indexOf(QStringLiteral("--seconds"));
    const int seconds = at >= 0 ? arguments.value(at + 1).toInt() : 0;
    return seconds > 0 ? seconds : 60;
}

void plugKeyboards()
{
    const char* const serials[] = {"BENCH-0001", "BENCH-0002"};
    const char* const names[] = {"Z19 AI", "Z46 AI"};
    for (int i = 0; i < 2; ++i) {
        SimulatedKeyboard keyboard;
        keyboard.name = QString::fromLatin1(names[i]);
        keyboard.sn = QString::fromLatin1(serials[i]);
        DeviceSimulator::instance().plug(keyboard);
    }
}

bool allOpen(const DeviceHandler& handler, int count)
{
    const auto wrappers = handler.deviceInfos();
    if (wrappers.size() != count)
        return false;
    for (const auto& wrapper : wrappers) {
        if (!wrapper || !wrapper->deviceDataInfo().isOpen)
            return false;
    }
    return true;
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
#ifdef Q_OS_LINUX
    const int seconds = secondsFromArguments(QCoreApplication::arguments());
    plugKeyboards();
    DeviceHandler handler;
    clockid_t threadClock {};
    bool haveClock = false;
    QObject::connect(
        &handler, &QThread::started, &handler,
        [&] { haveClock = pthread_getcpuclockid(pthread_self(), &threadClock) == 0; },
        Qt::DirectConnection);
    handler.start();
    QElapsedTimer settle;
    settle.start();
    while (!allOpen(handler, 2) && settle.elapsed() < 10000)
        spin(20);
    if (!allOpen(handler, 2) || !haveClock) {
        std::printf("discovery idle: the keyboards did not come up\n");
        return 1;
    }
    spin(500); // let the battery reports after the start settle

    timespec before {};
    timespec after {};
    clock_gettime(threadClock, &before);
    QElapsedTimer wall;
    wall.start();
    spin(seconds * 1000);
    clock_gettime(threadClock, &after);
    const double cpuMs =
        (after.tv_sec - before.tv_sec) * 1e3 + (after.tv_nsec - before.tv_nsec) / 1e6;
    const double percent = 100.0 * cpuMs / double(wall.elapsed());
    std::printf(
        "discovery thread, idle with 2 simulated keyboards over %.1f s: %.1f ms CPU = %.3f %% "
        "of one core (target <= 0.5 %%)\n",
        wall.elapsed() / 1000.0, cpuMs, percent);
#else
    std::printf("discovery idle: measured on Linux only\n");
#endif
    return 0;
}
