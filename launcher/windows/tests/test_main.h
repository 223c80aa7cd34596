// A small test runner for the Windows programs: named cases, checks that count, and a closing
// "N passed, N failed" line.
#pragma once

#include <string>

namespace quillstart::test {

using TestFunction = void (*)();

struct TestRegistration {
    TestRegistration(const char* group, const char* name, TestFunction function);
};

void Fail(const char* file, int line, const std::string& what);

// Groups of cases: "unit" needs nothing, "registered" needs the library registered, "unregistered"
// checks what unregistration leaves.
#define QS_TEST(group, name)                                                                    \
    static void group##_##name();                                                               \
    static ::quillstart::test::TestRegistration group##_##name##_registration(#group, #name,    \
                                                                              &group##_##name); \
    static void group##_##name()

#define QS_CHECK(condition)                                                         \
    do {                                                                            \
        if (!(condition)) ::quillstart::test::Fail(__FILE__, __LINE__, #condition); \
    } while (0)

#define QS_CHECK_EQ(a, b)                                                              \
    do {                                                                               \
        if (!((a) == (b))) ::quillstart::test::Fail(__FILE__, __LINE__, #a " == " #b); \
    } while (0)

}  // namespace quillstart::test
