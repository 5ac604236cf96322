#include "platform/win/rawinputrecord.h"

#include <windows.h>

bool RawInputRecord::isAiKeyPress(const void* record, std::size_t size,
                                  WindowsMessageDecoder::KeyState& state)
{
    if (record == nullptr || size < sizeof(RAWINPUTHEADER))
        return false;
    const auto* input = static_cast<const RAWINPUT*>(record);
    if (input->header.dwType != RIM_TYPEKEYBOARD
        || size < sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD))
        return false;
    return WindowsMessageDecoder::isAiKeyPress(input->header.dwType, input->data.keyboard.MakeCode,
                                               input->data.keyboard.Flags, state);
}
