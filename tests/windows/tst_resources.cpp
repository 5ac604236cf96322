#include "wintest.h"

#include <windows.h>

#include <string>
#include <vector>

// The program carries the app's resource script, so these are lumora.exe's resources as
// Windows reads them.

namespace {

std::wstring ownPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::string resourceText(LPCWSTR name, LPCWSTR type)
{
    const HRSRC found = FindResourceW(nullptr, name, type);
    if (!found)
        return {};
    const HGLOBAL loaded = LoadResource(nullptr, found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(nullptr, found)) : std::string();
}

std::wstring versionString(const std::vector<BYTE>& info, const wchar_t* key)
{
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return {};
    return std::wstring(value, length > 0 ? length - 1 : 0);
}

std::wstring widen(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

} // namespace

LUMORA_WIN_TEST(versionResourceNamesProductAndVersion)
{
    const std::wstring path = ownPath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    REQUIRE(size > 0);
    std::vector<BYTE> info(size);
    REQUIRE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    CHECK(fixed->dwSignature == VS_FFI_SIGNATURE);
    const std::wstring expected = widen(LUMORA_EXPECTED_VERSION);
    const std::wstring fixedVersion = std::to_wstring(HIWORD(fixed->dwProductVersionMS)) + L"."
        + std::to_wstring(LOWORD(fixed->dwProductVersionMS)) + L"."
        + std::to_wstring(HIWORD(fixed->dwProductVersionLS));
    CHECK(fixedVersion == expected);
    CHECK(versionString(info, L"ProductVersion") == expected);
    CHECK(versionString(info, L"FileVersion") == expected);
    CHECK(versionString(info, L"ProductName") == L"Lumora");
    CHECK(versionString(info, L"CompanyName") == L"Orvik");
}

LUMORA_WIN_TEST(iconHasEveryFrame)
{
    const std::string group = resourceText(L"IDI_ICON1", MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    REQUIRE(group.size() >= 6);
    // GRPICONDIR: reserved, type 1 (icon), then the number of frames.
    const auto* header = reinterpret_cast<const WORD*>(group.data());
    CHECK(header[1] == 1);
    CHECK(header[2] >= 6); // 16, 24, 32, 48, 64 and 256 pixels
    CHECK(LoadIconW(GetModuleHandleW(nullptr), L"IDI_ICON1") != nullptr);
}

LUMORA_WIN_TEST(manifestAsksForPerMonitorDpiAndUtf8)
{
    const std::string manifest = resourceText(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    REQUIRE(!manifest.empty());
    CHECK(manifest.find(">PerMonitorV2<") != std::string::npos);
    CHECK(manifest.find(">true/pm<") != std::string::npos);
    CHECK(manifest.find(">UTF-8<") != std::string::npos);
    CHECK(manifest.find("level=\"asInvoker\"") != std::string::npos);
}

// The loader applies the manifest: the process is DPI aware per monitor from its start, and the
// narrow APIs speak UTF-8.
LUMORA_WIN_TEST(loaderAppliesTheManifest)
{
    const DPI_AWARENESS awareness =
        GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext());
    CHECK(awareness == DPI_AWARENESS_PER_MONITOR_AWARE);
    CHECK(GetACP() == CP_UTF8);
}
