#include "wintest.h"

#include <cstring>

// Runs every case (or those whose name contains the first argument) and ends with the
// summary line CTest and the test command read.
int wmain(int argc, wchar_t* argv[])
{
    std::string filter;
    if (argc > 1)
        for (const wchar_t* c = argv[1]; *c; ++c)
            filter += char(*c);
    int passed = 0;
    int failed = 0;
    for (const wintest::Case& testCase : wintest::cases()) {
        if (!filter.empty() && !std::strstr(testCase.name, filter.c_str()))
            continue;
        const int before = wintest::failures();
        try {
            testCase.run();
        } catch (const wintest::Stop&) { }
        const bool ok = wintest::failures() == before;
        std::printf("%s %s\n", ok ? "PASS" : "FAIL", testCase.name);
        ok ? ++passed : ++failed;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
