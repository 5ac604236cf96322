#include "platform/win/rawinputrecord.h"
#include "platform/windowsmessagedecoder.h"
#include "wintest.h"

#include <windows.h>

namespace {

using Decoder = WindowsMessageDecoder;

// A keyboard record as GetRawInputData writes it for one key stroke.
RAWINPUT keyboardRecord(USHORT makeCode, USHORT flags)
{
    RAWINPUT record {};
    record.header.dwType = RIM_TYPEKEYBOARD;
    record.header.dwSize = sizeof(RAWINPUT);
    record.data.keyboard.MakeCode = makeCode;
    record.data.keyboard.Flags = flags;
    record.data.keyboard.VKey = VK_F20;
    record.data.keyboard.Message = (flags & RI_KEY_BREAK) ? WM_KEYUP : WM_KEYDOWN;
    return record;
}

bool press(const RAWINPUT& record, Decoder::KeyState& state, size_t size = sizeof(RAWINPUT))
{
    return RawInputRecord::isAiKeyPress(&record, size, state);
}

} // namespace

// The decoder repeats a few values of the Windows headers so that it builds everywhere.
LUMORA_WIN_TEST(decoderConstantsAreTheSystemsOwn)
{
    CHECK(Decoder::RimTypeKeyboard == RIM_TYPEKEYBOARD);
    CHECK(Decoder::KeyBreakFlag == RI_KEY_BREAK);
    CHECK(Decoder::ScMinimize == SC_MINIMIZE);
    CHECK(Decoder::ScRestore == SC_RESTORE);
    CHECK(MapVirtualKeyW(VK_F20, MAPVK_VK_TO_VSC) == Decoder::AiKeyMakeCode);
}

LUMORA_WIN_TEST(systemCommandIgnoresTheLowBits)
{
    CHECK(Decoder::isMinimiseRestoreToggle(SC_MINIMIZE));
    CHECK(Decoder::isMinimiseRestoreToggle(SC_RESTORE | 0x2));
    CHECK(Decoder::isMinimiseRestoreToggle(SC_MINIMIZE | 0xF));
    CHECK(!Decoder::isMinimiseRestoreToggle(SC_MAXIMIZE));
    CHECK(!Decoder::isMinimiseRestoreToggle(SC_CLOSE));
    CHECK(!Decoder::isMinimiseRestoreToggle(SC_MOVE | 0x2)); // a drag by the keyboard
}

LUMORA_WIN_TEST(rawInputCountsOnePressPerStroke)
{
    Decoder::KeyState state;
    const RAWINPUT down = keyboardRecord(Decoder::AiKeyMakeCode, RI_KEY_MAKE);
    const RAWINPUT up = keyboardRecord(Decoder::AiKeyMakeCode, RI_KEY_BREAK);
    CHECK(press(down, state));
    CHECK(!press(down, state)); // auto-repeat while held
    CHECK(!press(down, state));
    CHECK(!press(up, state));
    CHECK(press(down, state)); // the next stroke
}

LUMORA_WIN_TEST(rawInputIgnoresOtherRecords)
{
    Decoder::KeyState state;
    CHECK(!press(keyboardRecord(0x1E, RI_KEY_MAKE), state)); // "A"
    RAWINPUT mouse {};
    mouse.header.dwType = RIM_TYPEMOUSE;
    mouse.header.dwSize = sizeof(RAWINPUT);
    CHECK(!press(mouse, state));
    CHECK(!state.aiKeyDown);
    // A record cut short is no press, and leaves the state alone.
    const RAWINPUT down = keyboardRecord(Decoder::AiKeyMakeCode, RI_KEY_MAKE);
    CHECK(!press(down, state, sizeof(RAWINPUTHEADER)));
    CHECK(!press(down, state, sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD) - 1));
    CHECK(!RawInputRecord::isAiKeyPress(nullptr, 0, state));
    CHECK(press(down, state, sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD)));
}
