#include "platform/win/devicecount.h"

#include <windows.h>

#include <setupapi.h>

int DeviceCount::present()
{
    const HDEVINFO set = SetupDiGetClassDevsW(
        nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    SP_DEVINFO_DATA info;
    // The structure's own size: a fixed 28 is right for 32-bit builds only, and on x64 every
    // call would fail, so no device would ever be counted.
    info.cbSize = sizeof(SP_DEVINFO_DATA);
    while (SetupDiEnumDeviceInfo(set, DWORD(count), &info))
        ++count;
    SetupDiDestroyDeviceInfoList(set);
    return count;
}
