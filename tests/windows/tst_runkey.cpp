#include "platform/win/runkeyvalue.h"
#include "wintest.h"

#include <windows.h>

namespace {

// A value name of this process alone, so parallel runs do not meet.
std::wstring testName(const wchar_t* stem)
{
    return std::wstring(stem) + std::to_wstring(GetCurrentProcessId());
}

// What the registry holds, read past the writer's own reader.
bool rawValue(const std::wstring& name, std::wstring* data, DWORD* type)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, RunKeyValue::KeyPath, name.c_str(), RRF_RT_ANY, type,
                     buffer, &size)
        != ERROR_SUCCESS)
        return false;
    *data = buffer;
    return true;
}

} // namespace

LUMORA_WIN_TEST(commandIsQuotedWithBackslashes)
{
    CHECK(RunKeyValue::command(L"C:/Program Files/Lumora/lumora.exe")
          == L"\"C:\\Program Files\\Lumora\\lumora.exe\"");
    CHECK(RunKeyValue::command(L"D:\\x.exe") == L"\"D:\\x.exe\"");
}

LUMORA_WIN_TEST(writeReadReplaceRemove)
{
    const std::wstring name = testName(L"LumoraWineTest");
    const std::wstring first = RunKeyValue::command(L"C:/Program Files/Lumora/lumora.exe");
    REQUIRE(RunKeyValue::write(name, first));
    std::wstring data;
    DWORD type = 0;
    REQUIRE(rawValue(name, &data, &type));
    CHECK(type == REG_SZ);
    CHECK(data == first);
    CHECK(RunKeyValue::read(name, &data) && data == first);

    const std::wstring second = RunKeyValue::command(L"C:/Lumora/lumora.exe");
    CHECK(RunKeyValue::write(name, second));
    CHECK(RunKeyValue::read(name, &data) && data == second);

    CHECK(RunKeyValue::remove(name));
    CHECK(!RunKeyValue::read(name, &data));
    CHECK(!rawValue(name, &data, &type));
    CHECK(RunKeyValue::remove(name)); // nothing left to remove is fine
}

LUMORA_WIN_TEST(namesAndPathsBeyondAscii)
{
    const std::wstring name = testName(L"Lumora\u52a9\u624b");
    const std::wstring command = RunKeyValue::command(L"C:/Users/\u5f20\u4e09/Lumora/lumora.exe");
    REQUIRE(RunKeyValue::write(name, command));
    std::wstring data;
    CHECK(RunKeyValue::read(name, &data) && data == command);
    CHECK(RunKeyValue::remove(name));
}

LUMORA_WIN_TEST(otherValueTypesAreNotOurs)
{
    const std::wstring name = testName(L"LumoraWineNumber");
    HKEY key = nullptr;
    REQUIRE(RegCreateKeyExW(HKEY_CURRENT_USER, RunKeyValue::KeyPath, 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr)
            == ERROR_SUCCESS);
    const DWORD number = 7;
    CHECK(RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                         sizeof(number))
          == ERROR_SUCCESS);
    RegCloseKey(key);
    std::wstring data;
    CHECK(!RunKeyValue::read(name, &data));
    CHECK(RunKeyValue::remove(name));
}
