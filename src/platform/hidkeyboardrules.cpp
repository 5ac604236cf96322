#include "platform/hidkeyboardrules.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace {

std::wstring lowered(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return wchar_t(std::towlower(std::wint_t(c))); });
    return text;
}

} // namespace

bool HidKeyboardRules::isKeyboardCollection(unsigned short usagePage, unsigned short usage)
{
    return usagePage == GenericDesktopPage && usage == KeyboardUsage;
}

bool HidKeyboardRules::hasAiKey(const std::vector<ButtonRange>& buttons)
{
    return std::any_of(buttons.begin(), buttons.end(), [](const ButtonRange& range) {
        return range.usagePage == KeyboardPage && range.usageMin <= F20Usage
            && F20Usage <= range.usageMax;
    });
}

std::string HidKeyboardRules::connectType(const std::wstring& devicePath)
{
    // The HID-over-Bluetooth service (classic) and the HID-over-GATT service (low energy) name
    // the device in its path.
    const std::wstring path = lowered(devicePath);
    const bool bluetooth =
        path.find(L"{00001124-0000-1000-8000-00805f9b34fb}") != std::wstring::npos
        || path.find(L"{00001812-0000-1000-8000-00805f9b34fb}") != std::wstring::npos;
    return bluetooth ? "ble" : "wired";
}

std::wstring HidKeyboardRules::physicalKey(unsigned short vendorId, unsigned short productId,
                                           const std::wstring& serial,
                                           const std::wstring& devicePath)
{
    if (serial.empty())
        return lowered(devicePath);
    return std::to_wstring(vendorId) + L":" + std::to_wstring(productId) + L":" + serial;
}

std::string HidKeyboardRules::idText(unsigned short id)
{
    char text[8];
    std::snprintf(text, sizeof(text), "0x%04x", unsigned(id));
    return text;
}
