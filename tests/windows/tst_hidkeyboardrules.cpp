#include "platform/hidkeyboardrules.h"
#include "wintest.h"

#include <windows.h>

#include <hidusage.h>

using Rules = HidKeyboardRules;

// The rules repeat a few values of the HID headers so that they build everywhere.
LUMORA_WIN_TEST(hidConstantsAreTheSystemsOwn)
{
    CHECK(Rules::GenericDesktopPage == HID_USAGE_PAGE_GENERIC);
    CHECK(Rules::KeyboardUsage == HID_USAGE_GENERIC_KEYBOARD);
    CHECK(Rules::KeyboardPage == HID_USAGE_PAGE_KEYBOARD);
    CHECK(Rules::F20Usage == 0x6F); // Keyboard F20 in the HID usage tables
    CHECK(Rules::isKeyboardCollection(HID_USAGE_PAGE_GENERIC, HID_USAGE_GENERIC_KEYBOARD));
    CHECK(!Rules::isKeyboardCollection(HID_USAGE_PAGE_GENERIC, HID_USAGE_GENERIC_MOUSE));
}

LUMORA_WIN_TEST(aiKeyAmongTheButtons)
{
    CHECK(Rules::hasAiKey({{HID_USAGE_PAGE_KEYBOARD, 0x00, 0xFF}}));
    CHECK(Rules::hasAiKey({{HID_USAGE_PAGE_LED, 0, 5}, {HID_USAGE_PAGE_KEYBOARD, 0x6F, 0x6F}}));
    CHECK(!Rules::hasAiKey({{HID_USAGE_PAGE_KEYBOARD, 0x00, 0x65}})); // a plain 101-key set
    CHECK(!Rules::hasAiKey({{HID_USAGE_PAGE_CONSUMER, 0x00, 0xFF}}));
    CHECK(!Rules::hasAiKey({}));
}

// Device paths as Windows writes them for a USB keyboard and for the two Bluetooth services.
LUMORA_WIN_TEST(connectionFromTheDevicePath)
{
    CHECK(Rules::connectType(L"\\\\?\\HID#VID_1D57&PID_FA60&MI_00#7&1c1b2a3&0&0000#"
                             L"{4d1e55b2-f16f-11cf-88cb-001111000030}")
          == "wired");
    CHECK(Rules::connectType(L"\\\\?\\HID#{00001124-0000-1000-8000-00805F9B34FB}_VID&000205AC"
                             L"#8&2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}")
          == "ble");
    CHECK(Rules::connectType(L"\\\\?\\HID#{00001812-0000-1000-8000-00805f9b34fb}_Dev_VID&02"
                             L"#9&1a&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}")
          == "ble");
}

LUMORA_WIN_TEST(collectionsOfOneKeyboard)
{
    CHECK(Rules::physicalKey(0x1D57, 0xFA60, L"SN01", L"\\\\?\\HID#A") == L"7511:64096:SN01");
    CHECK(Rules::physicalKey(0x1D57, 0xFA60, L"", L"\\\\?\\HID#VID_1D57")
          == L"\\\\?\\hid#vid_1d57");
    CHECK(Rules::idText(0x1D57) == "0x1d57");
    CHECK(Rules::idText(0x0005) == "0x0005");
}
