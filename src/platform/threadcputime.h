#pragma once

#include <cstdint>

// The processor time the calling thread has used so far (user and kernel), in nanoseconds, or -1
// where the system cannot tell. Linux counts it exactly; Windows in its clock ticks (about
// 15.6 ms), so only differences over many ticks mean much there. Needs no Qt.
class ThreadCpuTime
{
public:
    static std::int64_t nanoseconds();
};
