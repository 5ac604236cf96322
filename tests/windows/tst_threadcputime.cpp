#include "platform/threadcputime.h"
#include "wintest.h"

#include <chrono>

// Windows counts a thread's time in clock ticks. Working until the count has grown by 100 ms
// ends (within a deadline, however busy the machine), and the count never grows faster than
// the time that passed (plus a tick).
LUMORA_WIN_TEST(threadCpuTimeCountsTheThreadsWork)
{
    using namespace std::chrono;
    const std::int64_t before = ThreadCpuTime::nanoseconds();
    CHECK(before >= 0);
    const auto start = steady_clock::now();
    std::int64_t used = 0;
    volatile unsigned sink = 0;
    while (used < 100000000 && steady_clock::now() - start < seconds(20)) {
        for (int spin = 0; spin < 100000; ++spin)
            sink = sink + 1;
        used = ThreadCpuTime::nanoseconds() - before;
    }
    const std::int64_t wall = duration_cast<nanoseconds>(steady_clock::now() - start).count();
    CHECK(used >= 100000000);
    CHECK(used <= wall + 16000000);
}
