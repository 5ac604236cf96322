#pragma once

#include <cstdint>

// Turns the press and release events of one key into physical presses. A held key repeats: with
// the X server's detectable auto-repeat the repeats are presses without releases in between;
// without it each repeat is a release immediately followed by a press with the same timestamp.
// Both kinds count as the one press that started them.
class KeyRepeatFilter
{
public:
    // True when this press starts a physical press.
    bool press(std::uint32_t time);
    void release(std::uint32_t time);

private:
    bool down = false;
    bool released = false;
    std::uint32_t releaseTime = 0;
};
