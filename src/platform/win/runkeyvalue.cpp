#include "platform/win/runkeyvalue.h"

#include <windows.h>

#include <algorithm>

const wchar_t* const RunKeyValue::KeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring RunKeyValue::command(const std::wstring& programPath)
{
    std::wstring path = programPath;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"\"" + path + L"\"";
}

bool RunKeyValue::read(const std::wstring& name, std::wstring* data)
{
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, KeyPath, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &size)
        != ERROR_SUCCESS)
        return false;
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = DWORD(buffer.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, KeyPath, name.c_str(), RRF_RT_REG_SZ, nullptr, &buffer[0],
                     &size)
        != ERROR_SUCCESS)
        return false;
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    *data = buffer;
    return true;
}

bool RunKeyValue::write(const std::wstring& name, const std::wstring& data)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr)
        != ERROR_SUCCESS)
        return false;
    const DWORD bytes = DWORD((data.size() + 1) * sizeof(wchar_t));
    const LSTATUS status = RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(data.c_str()), bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool RunKeyValue::remove(const std::wstring& name)
{
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
