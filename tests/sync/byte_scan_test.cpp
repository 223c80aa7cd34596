#include "sync/fdf/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace quill;
using namespace quill::sync;

TEST(ByteScan, WordAtATimeSearchesAgreeWithAByteLoop) {
    std::mt19937 rng(7);
    const std::string alphabet = std::string("ab</>\x80\xFF\x3E\x3C\x3D\x2F\x00\x3F", 13);
    for (int round = 0; round < 2000; ++round) {
        std::string text(rng() % 40, ' ');
        for (char& c : text) c = alphabet[rng() % alphabet.size()];
        const size_t from = text.empty() ? 0 : rng() % (text.size() + 1);
        size_t bracket = from, token = from, slash = from;
        while (bracket < text.size() && text[bracket] != '<' && text[bracket] != '>') ++bracket;
        while (token < text.size() && text[token] != '<' && text[token] != '>' &&
               text[token] != '/') {
            ++token;
        }
        while (slash < text.size() && text[slash] != '/') ++slash;
        EXPECT_EQ(bytescan::FindBracket(text.data(), from, text.size()), bracket) << text;
        EXPECT_EQ(bytescan::FindTokenEnd(text.data(), from, text.size()), token) << text;
        EXPECT_EQ(bytescan::FindByte(text.data(), from, text.size(), '/'), slash) << text;
    }
}
