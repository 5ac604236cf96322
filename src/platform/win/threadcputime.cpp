#include "platform/threadcputime.h"

#include <windows.h>

namespace {

std::int64_t hundredsOfNanoseconds(const FILETIME& time)
{
    return std::int64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

} // namespace

std::int64_t ThreadCpuTime::nanoseconds()
{
    FILETIME creation {}, exit {}, kernel {}, user {};
    if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user))
        return -1;
    return (hundredsOfNanoseconds(kernel) + hundredsOfNanoseconds(user)) * 100;
}
