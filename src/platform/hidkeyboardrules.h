#pragma once

#include <string>
#include <vector>

// The decisions of the Windows keyboard listing, free of Qt and of the Windows headers so that
// they can be checked on any system: which HID collection is a keyboard with the AI key, how
// it is connected, and which collections belong to one physical keyboard.
class HidKeyboardRules
{
public:
    static constexpr unsigned short GenericDesktopPage = 0x01;
    static constexpr unsigned short KeyboardUsage = 0x06;
    static constexpr unsigned short KeyboardPage = 0x07;
    static constexpr unsigned short F20Usage = 0x6F; // the key the AI key sends

    // One entry of a collection's input button caps: a single usage has min == max.
    struct ButtonRange
    {
        unsigned short usagePage = 0;
        unsigned short usageMin = 0;
        unsigned short usageMax = 0;
    };

    // A top-level collection of the generic desktop page with the keyboard usage.
    static bool isKeyboardCollection(unsigned short usagePage, unsigned short usage);
    // Whether the buttons include F20 of the keyboard page.
    static bool hasAiKey(const std::vector<ButtonRange>& buttons);
    // "ble" for a Bluetooth HID device (classic or low energy), else "wired": a USB receiver
    // cannot be told apart from a cable here.
    static std::string connectType(const std::wstring& devicePath);
    // What the collections of one keyboard share: ids and serial; without a serial, the
    // device path (then each collection counts on its own).
    static std::wstring physicalKey(unsigned short vendorId, unsigned short productId,
                                    const std::wstring& serial, const std::wstring& devicePath);
    // "0x" and four lower-case hex digits, as the ids are shown everywhere else.
    static std::string idText(unsigned short id);
};
