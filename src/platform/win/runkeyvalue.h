#pragma once

#include <string>

// The value under the user's "Run" key that starts a program at log-on, in plain Win32 and
// std::wstring: no Qt, so the Windows test program runs it against a real registry (Wine's).
class RunKeyValue
{
public:
    // Below HKEY_CURRENT_USER.
    static const wchar_t* const KeyPath;

    // The data that starts programPath: the path with backslashes, in quotes, so that a path
    // with spaces ("C:\Program Files\...") is not cut at the first space.
    static std::wstring command(const std::wstring& programPath);

    // The string stored under name; false when there is none (or it is not a string).
    static bool read(const std::wstring& name, std::wstring* data);
    static bool write(const std::wstring& name, const std::wstring& data);
    // True when no value of that name is left.
    static bool remove(const std::wstring& name);
};
