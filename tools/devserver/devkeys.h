#pragma once

namespace DevKeys {
inline constexpr const char* modeKeys[4] = {"lumora-dev-mode-0", "lumora-dev-mode-1",
                                            "lumora-dev-mode-2", "lumora-dev-mode-3"};
}
