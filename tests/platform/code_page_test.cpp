#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/registry_store.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::platform;

namespace {

class CodePageTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }
};

TEST_F(CodePageTest, TheWireSpeaksCp949WhateverTheLocaleUnlessConfiguredOtherwise) {
    testsupport::TempDir dir;
    setenv("QUILLMARK_REGISTRY_ROOT", dir.str().c_str(), 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    setenv("LANG", "C.UTF-8", 1);
    unsetenv("QUILLMARK_CODEPAGE");
    platform::SetSystemCodePageForTesting("");
    EXPECT_EQ(platform::SystemCodePage(), "CP949");
    // "구름" typed on a UTF-8 desktop goes out as the Windows clients write it.
    EXPECT_EQ(platform::Utf8ToAnsi("\xea\xb5\xac\xeb\xa6\x84"), "\xb1\xb8\xb8\xa7");

    // The installation may choose another code page, and the switch wins over it.
    platform::RegistryStore store;
    ASSERT_TRUE(store.WriteValue(platform::kQuillmarkKey, platform::kCodePageValue, " UTF-8\n"));
    platform::SetSystemCodePageForTesting("");
    EXPECT_EQ(platform::SystemCodePage(), "UTF-8");
    setenv("QUILLMARK_CODEPAGE", "EUC-KR", 1);
    platform::SetSystemCodePageForTesting("");
    EXPECT_EQ(platform::SystemCodePage(), "EUC-KR");
    unsetenv("QUILLMARK_CODEPAGE");
    unsetenv("QUILLMARK_REGISTRY_ROOT");
}

TEST_F(CodePageTest, TrimUtf8NeverTakesABlankForATrailByte) {
    platform::SetSystemCodePageForTesting("CP949");
    // The UTF-8 bytes of "토" followed by a blank read in CP949 as a character ending in 0x20.
    EXPECT_EQ(platform::TrimUtf8(" \t\xed\x86\xa0 \r\n"), "\xed\x86\xa0");
    EXPECT_EQ(platform::TrimUtf8("  "), "");
}

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
