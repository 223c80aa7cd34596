#include "test_main.h"

// windows.h comes before every other Windows header.
#include <windows.h>

#include <ole2.h>

#include <cstdio>
#include <vector>

namespace quillstart::test {

namespace {

struct Case {
    std::string group;
    std::string name;
    TestFunction function;
};

std::vector<Case>& Cases() {
    static std::vector<Case> cases;
    return cases;
}

int g_failures = 0;

}  // namespace

TestRegistration::TestRegistration(const char* group, const char* name, TestFunction function) {
    Cases().push_back(Case{group, name, function});
}

void Fail(const char* file, int line, const std::string& what) {
    ++g_failures;
    std::printf("  FAILED %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

}  // namespace quillstart::test

using namespace quillstart::test;

// Usage: quillstart_tests GROUP [NAME]
int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: quillstart_tests unit|registered|unregistered [name]\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) return 2;
    int passed = 0;
    int failed = 0;
    for (const Case& c : Cases()) {
        if (c.group != argv[1] || (argc > 2 && c.name != argv[2])) continue;
        std::printf("[ RUN  ] %s.%s\n", c.group.c_str(), c.name.c_str());
        std::fflush(stdout);
        const int before = g_failures;
        c.function();
        const bool ok = g_failures == before;
        std::printf("[ %s ] %s.%s\n", ok ? " OK " : "FAIL", c.group.c_str(), c.name.c_str());
        std::fflush(stdout);
        (ok ? passed : failed)++;
    }
    OleUninitialize();
    std::printf("%s: %d passed, %d failed\n", argv[1], passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
