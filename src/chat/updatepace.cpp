#include "chat/updatepace.h"

#include <algorithm>
#include <cmath>

namespace {

// Long enough to hold a dozen updates, and many clock ticks where the system counts the
// thread's time in ticks (Windows); short enough to follow an answer that changes shape.
constexpr qint64 WindowNs = 2000000000;

} // namespace

void UpdatePace::reset()
{
    marks.clear();
}

int UpdatePace::intervalAfterUpdate(qint64 cpuNs, qint64 wallNs)
{
    if (cpuNs < 0) {
        marks.clear();
        return MinIntervalMs;
    }
    marks.push_back({cpuNs, wallNs});
    while (marks.size() > 2 && wallNs - marks.front().wallNs > WindowNs)
        marks.pop_front();
    if (marks.size() < 2)
        return MinIntervalMs;
    const double costNs = double(cpuNs - marks.front().cpuNs) / double(marks.size() - 1);
    const long intervalMs = std::lround(costNs / Share / 1e6);
    return int(std::clamp(intervalMs, long(MinIntervalMs), long(MaxIntervalMs)));
}

bool UpdatePace::isDueEarly(int waitingChars, qint64 wallNs) const
{
    return waitingChars >= MaxWaitingChars && !marks.empty()
        && wallNs - marks.back().wallNs >= qint64(MinIntervalMs) * 1000000;
}
