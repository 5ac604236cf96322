#pragma once

#include <array>
#include <cstring>

// The provider keys the stand-in services share: the maker-service half hands out one
// record per mode 0..3 with these keys, and the knowledge-engine half answers by them.
namespace DevKeys {

constexpr std::array<const char*, 4> botAppKeys = {
    "lumora-dev-mode-0", // normal
    "lumora-dev-mode-1", // deep thinking
    "lumora-dev-mode-2", // online search
    "lumora-dev-mode-3", // deep thinking and online search
};

// Mode of a key; unknown keys answer like mode 0.
inline int modeOfKey(const char* key)
{
    for (std::size_t mode = 0; mode < botAppKeys.size(); ++mode) {
        if (std::strcmp(key, botAppKeys[mode]) == 0)
            return static_cast<int>(mode);
    }
    return 0;
}

constexpr bool isDeepThinking(int mode)
{
    return mode == 1 || mode == 3;
}

constexpr bool isOnlineSearch(int mode)
{
    return mode == 2 || mode == 3;
}

} // namespace DevKeys
