#include "platform/code_page.h"

#include <gtest/gtest.h>

using namespace quill;
using namespace quill::platform;

namespace {

class CodePageTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }
};

TEST_F(CodePageTest, Cp949RoundTripsKoreanThroughUtf8AndUtf16) {
    platform::SetSystemCodePageForTesting("CP949");
    const std::string utf8 = "\xea\xb5\xac\xeb\xa6\x84";  // "구름"
    std::string ansi = platform::Utf8ToAnsi(utf8);
    EXPECT_EQ(ansi, "\xb1\xb8\xb8\xa7");
    EXPECT_EQ(platform::AnsiToUtf8(ansi), utf8);
    EXPECT_EQ(platform::AnsiToUtf16(ansi), u"\uad6c\ub984");
    EXPECT_EQ(platform::Utf16ToAnsi(u"\uad6c\ub984"), ansi);
}

TEST_F(CodePageTest, UpperCaseLeavesTrailBytesOfDoubleByteCharactersAlone) {
    platform::SetSystemCodePageForTesting("CP949");
    // 0x81 0x61 is one CP949 character whose trail byte looks like 'a'.
    EXPECT_EQ(platform::UpperMultiByte("ab\x81"
                                       "a"),
              "AB\x81"
              "a");
    EXPECT_EQ(platform::LowerMultiByte("AB\x81"
                                       "A"),
              "ab\x81"
              "A");
}

TEST_F(CodePageTest, TrimRemovesOnlyWholeWhiteSpaceCharacters) {
    platform::SetSystemCodePageForTesting("CP949");
    EXPECT_EQ(platform::TrimMultiByte(" \t\xb1\xb8 x \r\n"), "\xb1\xb8 x");
    EXPECT_EQ(platform::TrimMultiByte("   "), "");
    EXPECT_EQ(platform::TrimMultiByte(""), "");
}

TEST_F(CodePageTest, TruncatedMultiByteInputNeverReadsPastTheEnd) {
    platform::SetSystemCodePageForTesting("CP949");
    EXPECT_EQ(platform::CharLength("\xb1", 0), 1u);
    EXPECT_EQ(platform::UpperMultiByte("a\xb1"), "A\xb1");
    EXPECT_EQ(platform::AnsiToUtf8("a\xb1"), "a?");
}

}  // namespace
