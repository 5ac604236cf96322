#include "platform/systemkeyboards.h"

#include "platform/hidkeyboardrules.h"

#include <QSet>

#include <windows.h>

#include <hidsdi.h>
#include <setupapi.h>

#include <vector>

namespace {

// A HID collection opened for queries only: Windows keeps keyboards for itself, but the
// attributes, the strings and the report description can be read without access rights.
class HidHandle
{
public:
    explicit HidHandle(const std::wstring& path)
        : handle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr))
    { }
    ~HidHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    HidHandle(const HidHandle&) = delete;
    HidHandle& operator=(const HidHandle&) = delete;

    bool isValid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle; }

private:
    HANDLE handle;
};

// HID strings are at most 126 wide characters; the buffer is counted in bytes.
std::wstring hidString(HANDLE handle, BOOLEAN(NTAPI* read)(HANDLE, PVOID, ULONG))
{
    wchar_t buffer[128] = {};
    if (!read(handle, buffer, sizeof(buffer) - sizeof(wchar_t)))
        return {};
    return buffer;
}

std::vector<HidKeyboardRules::ButtonRange> inputButtons(PHIDP_PREPARSED_DATA data,
                                                        const HIDP_CAPS& caps)
{
    std::vector<HIDP_BUTTON_CAPS> buttons(caps.NumberInputButtonCaps);
    USHORT count = caps.NumberInputButtonCaps;
    std::vector<HidKeyboardRules::ButtonRange> ranges;
    if (count == 0
        || HidP_GetButtonCaps(HidP_Input, buttons.data(), &count, data) != HIDP_STATUS_SUCCESS)
        return ranges;
    for (USHORT i = 0; i < count; ++i) {
        const HIDP_BUTTON_CAPS& button = buttons[i];
        HidKeyboardRules::ButtonRange range;
        range.usagePage = button.UsagePage;
        range.usageMin = button.IsRange ? button.Range.UsageMin : button.NotRange.Usage;
        range.usageMax = button.IsRange ? button.Range.UsageMax : button.NotRange.Usage;
        ranges.push_back(range);
    }
    return ranges;
}

bool isAiKeyboard(HANDLE handle)
{
    PHIDP_PREPARSED_DATA data = nullptr;
    if (!HidD_GetPreparsedData(handle, &data))
        return false;
    HIDP_CAPS caps = {};
    const bool keyboard = HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS
        && HidKeyboardRules::isKeyboardCollection(caps.UsagePage, caps.Usage)
        && HidKeyboardRules::hasAiKey(inputButtons(data, caps));
    HidD_FreePreparsedData(data);
    return keyboard;
}

std::optional<SystemKeyboards::Keyboard> describe(const std::wstring& path, std::wstring* key)
{
    const HidHandle handle(path);
    HIDD_ATTRIBUTES attributes = {};
    attributes.Size = sizeof(attributes);
    if (!handle.isValid() || !HidD_GetAttributes(handle.get(), &attributes)
        || !isAiKeyboard(handle.get()))
        return std::nullopt;
    const std::wstring serial = hidString(handle.get(), HidD_GetSerialNumberString);
    SystemKeyboards::Keyboard keyboard;
    keyboard.path = QString::fromStdWString(path);
    keyboard.reportPath = keyboard.path;
    keyboard.name = QString::fromStdWString(hidString(handle.get(), HidD_GetProductString));
    keyboard.vid = QString::fromStdString(HidKeyboardRules::idText(attributes.VendorID));
    keyboard.pid = QString::fromStdString(HidKeyboardRules::idText(attributes.ProductID));
    keyboard.serial = QString::fromStdWString(serial);
    keyboard.connectType = QString::fromStdString(HidKeyboardRules::connectType(path));
    *key = HidKeyboardRules::physicalKey(attributes.VendorID, attributes.ProductID, serial, path);
    return keyboard;
}

// The device paths of every present HID collection.
std::vector<std::wstring> hidPaths()
{
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    std::vector<std::wstring> paths;
    const HDEVINFO set =
        SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return paths;
    SP_DEVICE_INTERFACE_DATA interfaceData = {};
    interfaceData.cbSize = sizeof(interfaceData);
    for (DWORD index = 0;
         SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &interfaceData); ++index) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            continue;
        std::vector<BYTE> buffer(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, size, nullptr, nullptr))
            paths.emplace_back(detail->DevicePath);
    }
    SetupDiDestroyDeviceInfoList(set);
    return paths;
}

} // namespace

QString SystemKeyboards::sysfsRoot()
{
    return {};
}

QList<SystemKeyboards::Keyboard> SystemKeyboards::list()
{
    QList<Keyboard> keyboards;
    QSet<QString> seen;
    for (const std::wstring& path : hidPaths()) {
        std::wstring key;
        const std::optional<Keyboard> keyboard = describe(path, &key);
        if (!keyboard || seen.contains(QString::fromStdWString(key)))
            continue;
        seen.insert(QString::fromStdWString(key));
        keyboards.append(*keyboard);
    }
    return keyboards;
}

std::optional<SystemKeyboards::Keyboard> SystemKeyboards::find(const QString& path)
{
    std::wstring key;
    return describe(path.toStdWString(), &key);
}
