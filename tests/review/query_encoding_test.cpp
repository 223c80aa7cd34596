#include "review/query_encoding.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

using namespace quill;
using namespace quill::review;
using namespace quill::platform;

namespace {

TEST(QueryEncodingTest, PercentEncodeKeepsOnlyAsciiLettersAndDigits) {
    EXPECT_EQ(PercentEncode("Az09 +&=.-_~/\x7f\xff"), "Az09%20%2B%26%3D%2E%2D%5F%7E%2F%7F%FF");
    EXPECT_EQ(PercentEncode(std::string("a\0b", 3)), "a%00b");
    EXPECT_EQ(PercentEncode(""), "");
}

TEST(QueryEncodingTest, EncodesCp949TextAsUtf8) {
    platform::SetSystemCodePageForTesting("CP949");
    // "검토 OK" in CP949.
    EXPECT_EQ(EncodeQueryText("\xb0\xcb\xc5\xe4 OK"), "%EA%B2%80%ED%86%A0%20OK");
    platform::SetSystemCodePageForTesting("");
}

TEST(QueryEncodingTest, EncodesLongTextsWhole) {
    platform::SetSystemCodePageForTesting("CP949");
    // Far beyond 2048 characters and 1024 UTF-8 bytes.
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "\xb0\xa1";  // "가"
    text += "END";
    std::string encoded = EncodeQueryText(text);
    EXPECT_EQ(encoded.size(), 3000u * 9 + 3);
    EXPECT_EQ(encoded.substr(encoded.size() - 12), "%EA%B0%80END");
    platform::SetSystemCodePageForTesting("");
}

}  // namespace
