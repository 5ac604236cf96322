#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// A very small test harness for the Windows test program (no Qt, no test framework on
// MinGW): each LUMORA_WIN_TEST registers a case; CHECK records a failure and goes on,
// REQUIRE ends the case.
namespace wintest {

struct Case
{
    const char* name;
    std::function<void()> run;
};

inline std::vector<Case>& cases()
{
    static std::vector<Case> all;
    return all;
}

inline int& failures()
{
    static int count = 0;
    return count;
}

struct Registration
{
    Registration(const char* name, std::function<void()> run)
    {
        cases().push_back({name, std::move(run)});
    }
};

struct Stop
{
};

inline bool check(bool ok, const char* expression, const char* file, int line)
{
    if (!ok) {
        std::printf("    FAIL %s:%d: %s\n", file, line, expression);
        ++failures();
    }
    return ok;
}

} // namespace wintest

#define LUMORA_WIN_CONCAT2(a, b) a##b
#define LUMORA_WIN_CONCAT(a, b) LUMORA_WIN_CONCAT2(a, b)
#define LUMORA_WIN_TEST(name)                                                                      \
    static void name();                                                                            \
    static const wintest::Registration LUMORA_WIN_CONCAT(registration_, name)(#name, name);        \
    static void name()
#define CHECK(expression) wintest::check(bool(expression), #expression, __FILE__, __LINE__)
#define REQUIRE(expression)                                                                        \
    do {                                                                                           \
        if (!CHECK(expression))                                                                    \
            throw wintest::Stop();                                                                 \
    } while (false)
