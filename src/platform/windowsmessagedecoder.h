#pragma once

#include <cstdint>

// The two Windows messages the chat window acts on, decoded from their plain fields so that the
// rules run (and are tested) on every platform; the Windows glue only copies the fields out of
// the message.
class WindowsMessageDecoder
{
public:
    // Values of the Windows headers, repeated here because the rules must build everywhere.
    static constexpr std::uint32_t RimTypeKeyboard = 1; // RIM_TYPEKEYBOARD
    static constexpr std::uint16_t KeyBreakFlag = 0x01; // RI_KEY_BREAK: the key went up
    static constexpr std::uint16_t AiKeyMakeCode = 0x6B; // scan set 1: F20, the AI key
    static constexpr std::uintptr_t ScMinimize = 0xF020; // SC_MINIMIZE
    static constexpr std::uintptr_t ScRestore = 0xF120; // SC_RESTORE
    static constexpr std::uintptr_t SysCommandMask = 0xFFF0; // the low four bits are the system's

    // What is known about the AI key between records: a held key repeats its make record
    // until the break record comes.
    struct KeyState
    {
        bool aiKeyDown = false;
    };

    // True exactly once per physical press of the AI key: on its first make record. Its
    // release and the auto-repeat records sent while it is held do not count. Records of other
    // devices and other keys leave the state alone.
    static bool isAiKeyPress(std::uint32_t deviceType, std::uint16_t makeCode, std::uint16_t flags,
                             KeyState& state);

    // True for the taskbar's minimise and restore commands, whatever the system put in the
    // low four bits of wParam.
    static bool isMinimiseRestoreToggle(std::uintptr_t wParam);
};
