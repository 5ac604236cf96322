// Idle cost of the device discovery thread: first with two simulated keyboards plugged and
// opened, then on the system's own keyboards (the real sysfs, or LUMORA_SYSFS_ROOT); nothing
// changes for the measured time (60 s each unless --seconds N is given). Prints the CPU time the
// discovery thread and the whole process used, in percent of one core.
#include "device/devicehandler.h"
#include "device/deviceinfo.h"
#include "device/vendor/devicelibrary.h"
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

#ifdef Q_OS_LINUX
// CPU time of the handler's thread and of the whole process over the given time at rest.
void measure(const char* label, DeviceHandler& handler, clockid_t threadClock, int seconds)
{
    timespec threadBefore {};
    timespec threadAfter {};
    timespec processBefore {};
    timespec processAfter {};
    clock_gettime(threadClock, &threadBefore);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &processBefore);
    QElapsedTimer wall;
    wall.start();
    spin(seconds * 1000);
    clock_gettime(threadClock, &threadAfter);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &processAfter);
    const auto ms = [](const timespec& from, const timespec& to) {
        return (to.tv_sec - from.tv_sec) * 1e3 + (to.tv_nsec - from.tv_nsec) / 1e6;
    };
    const double threadMs = ms(threadBefore, threadAfter);
    const double processMs = ms(processBefore, processAfter);
    const double elapsed = double(wall.elapsed());
    std::printf("discovery thread, idle %s over %.1f s: %.1f ms CPU = %.3f %% of one core; the "
                "whole process %.3f %% (target <= 0.1 %%)\n",
                label, elapsed / 1000.0, threadMs, 100.0 * threadMs / elapsed,
                100.0 * processMs / elapsed);
    Q_UNUSED(handler)
}

// Starts a handler and learns its thread's CPU clock.
bool startHandler(DeviceHandler& handler, clockid_t* threadClock)
{
    bool haveClock = false;
    QObject::connect(
        &handler, &QThread::started, &handler,
        [&] { haveClock = pthread_getcpuclockid(pthread_self(), threadClock) == 0; },
        Qt::DirectConnection);
    handler.start();
    QElapsedTimer started;
    started.start();
    while (!haveClock && started.elapsed() < 10000)
        spin(20);
    return haveClock;
}
#endif

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
#ifdef Q_OS_LINUX
    const int seconds = secondsFromArguments(QCoreApplication::arguments());
    {
        DeviceLibrary::setSimulated(true);
        plugKeyboards();
        DeviceHandler handler;
        clockid_t threadClock {};
        const bool haveClock = startHandler(handler, &threadClock);
        QElapsedTimer settle;
        settle.start();
        while (!allOpen(handler, 2) && settle.elapsed() < 10000)
            spin(20);
        if (!allOpen(handler, 2) || !haveClock) {
            std::printf("discovery idle: the keyboards did not come up\n");
            return 1;
        }
        spin(1500); // the battery reports after the start, and a retry of the first query
        measure("with 2 simulated keyboards", handler, threadClock, seconds);
    }
    {
        // The system's keyboards (LUMORA_SYSFS_ROOT, else the real sysfs): what a user runs.
        DeviceLibrary::setSimulated(false);
        DeviceHandler handler;
        clockid_t threadClock {};
        if (!startHandler(handler, &threadClock)) {
            std::printf("discovery idle: the system's handler did not start\n");
            return 1;
        }
        spin(1500);
        measure("on the system's keyboards", handler, threadClock, seconds);
    }
#else
    std::printf("discovery idle: measured on Linux only\n");
#endif
    return 0;
}
