#include "platform/threadcputime.h"

#include <ctime>

std::int64_t ThreadCpuTime::nanoseconds()
{
    timespec now {};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0)
        return -1;
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}
