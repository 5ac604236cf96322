#include "platform/keyrepeatfilter.h"

bool KeyRepeatFilter::press(std::uint32_t time)
{
    const bool repeat = down || (released && time == releaseTime);
    down = true;
    released = false;
    return !repeat;
}

void KeyRepeatFilter::release(std::uint32_t time)
{
    down = false;
    released = true;
    releaseTime = time;
}
