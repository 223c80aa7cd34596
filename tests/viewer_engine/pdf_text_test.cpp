// Text strings and dates as annotations carry them.
#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "viewer/engine/pdf_date.h"
#include "viewer/engine/pdf_object_parser.h"
#include "viewer/engine/pdf_object_writer.h"
#include "viewer/engine/pdf_text_string.h"

using namespace quill;
using namespace quill::platform;
using namespace quill::engine;

namespace {

using namespace quill::engine;

class PdfTextTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }
};

TEST_F(PdfTextTest, KoreanTextTravelsAsUtf16AndComesBackInTheCodePage) {
    platform::SetSystemCodePageForTesting("CP949");
    const std::string ansi = "\xB1\xB8\xB8\xA7-\xB9\xE8\xB0\xFC";  // 구름-배관
    const std::string pdf = AnsiToPdfText(ansi);
    ASSERT_EQ(pdf.substr(0, 2), "\xFE\xFF");
    EXPECT_EQ(pdf.size(), 2u + 2 * 5);
    EXPECT_EQ(PdfTextToAnsi(pdf), ansi);
    // Plain ASCII stays plain.
    EXPECT_EQ(AnsiToPdfText("KIM-PIPING"), "KIM-PIPING");
    // UTF-8 strings with their mark, and PDFDocEncoding, read as well.
    EXPECT_EQ(PdfTextToAnsi("\xEF\xBB\xBF\xEA\xB5\xAC\xEB\xA6\x84"), "\xB1\xB8\xB8\xA7");
    EXPECT_EQ(PdfTextToUtf16("a\x80\x92"), u"a\u2022\u2122");
    EXPECT_EQ(PdfTextToUtf16(std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6)), u"\U0001F600");
}

TEST_F(PdfTextTest, StringsWithEveryByteSurviveWritingAndParsing) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    const std::string written = WritePdfObject(PdfObject::String(all));
    // Nothing a byte scanner could take for structure.
    const std::string inner = written.substr(1, written.size() - 2);
    for (char c : std::string("()<>/P\r\n")) EXPECT_EQ(inner.find(c), std::string::npos) << int(c);
    PdfObjectParser p(written);
    auto back = p.ParseObject();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, all);
}

TEST_F(PdfTextTest, NumbersAreWrittenInTheCLocaleAndReadBackTheSame) {
    EXPECT_EQ(FormatPdfNumber(0.50196, false), "0.502");
    EXPECT_EQ(FormatPdfNumber(-0.00001, false), "0");
    EXPECT_EQ(FormatPdfNumber(12, false), "12");
    EXPECT_EQ(FormatPdfNumber(1234567.125, false), "1234567.125");
    for (const char* text : {"[ 1 2.5 -3.25 0.0001 100000]", "[ .5 -.5 +4]"}) {
        PdfObjectParser p(text);
        auto a = p.ParseObject();
        ASSERT_TRUE(a);
        const std::string once = WritePdfObject(*a);
        PdfObjectParser p2(once);
        EXPECT_EQ(WritePdfObject(*p2.ParseObject()), once);
    }
    PdfObjectParser huge("1e400");  // no PDF syntax, read tolerantly but bounded
    EXPECT_EQ(huge.ParseObject()->number, 1e9);
    PdfObjectParser big("99999999999999999999999");
    EXPECT_EQ(big.ParseObject()->number, 1e9);
}

TEST_F(PdfTextTest, DatesWithAndWithoutOffsets) {
    setenv("TZ", "Asia/Seoul", 1);
    tzset();
    const auto local = ParsePdfDate("D:20261207093000+09'00'");
    ASSERT_TRUE(local);
    EXPECT_EQ(local->hour, 9);
    const auto utc = ParsePdfDate("D:20261207003000Z");
    ASSERT_TRUE(utc);
    EXPECT_EQ(utc->hour, 9);  // 00:30 UTC is 09:30 in Seoul
    EXPECT_EQ(utc->minute, 30);
    EXPECT_EQ(PdfDateFromLocal({2026, 12, 7, 9, 30, 0, 0}), "D:20261207093000+09'00'");
    const auto short_ = ParsePdfDate("D:2026");
    ASSERT_TRUE(short_);
    EXPECT_EQ(short_->month, 1);
    EXPECT_FALSE(ParsePdfDate("D:20261307"));
    EXPECT_FALSE(ParsePdfDate("yesterday"));
    unsetenv("TZ");
    tzset();
}

}  // namespace
