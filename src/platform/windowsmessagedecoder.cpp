#include "platform/windowsmessagedecoder.h"

bool WindowsMessageDecoder::isAiKeyPress(std::uint32_t deviceType, std::uint16_t makeCode,
                                         std::uint16_t flags, KeyState& state)
{
    if (deviceType != RimTypeKeyboard || makeCode != AiKeyMakeCode)
        return false;
    if (flags & KeyBreakFlag) {
        state.aiKeyDown = false;
        return false;
    }
    if (state.aiKeyDown)
        return false; // auto-repeat of a key that is still held
    state.aiKeyDown = true;
    return true;
}

bool WindowsMessageDecoder::isMinimiseRestoreToggle(std::uintptr_t wParam)
{
    const std::uintptr_t command = wParam & SysCommandMask;
    return command == ScMinimize || command == ScRestore;
}
