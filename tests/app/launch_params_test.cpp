#include "app/launch_params.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/code_page.h"

using namespace quill;
using namespace quill::app;
using namespace quill::platform;

namespace {

LaunchParams Parse(const std::string& text, bool* ok = nullptr) {
    LaunchParams p;
    bool result = ParseLaunchParams(text, p);
    if (ok) *ok = result;
    return p;
}

TEST(LaunchParamsTest, ReadsEveryKeyOfTheDebugStringAndDerivesValues) {
    bool ok = false;
    LaunchParams p = Parse(DebugLaunchString(), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(p.HOST, "127.0.0.1");
    EXPECT_EQ(p.PORT, 8087);
    EXPECT_EQ(p.COMMENTCOLOR, 0u + 102u * 256u + 204u * 65536u);
    EXPECT_EQ(p.ECM_PORT, 2104);
    EXPECT_EQ(p.authorName, "Kim Minsu-Piping");
    EXPECT_EQ(p.docId, "10011");
    EXPECT_EQ(p.targetDocId, "01");
    EXPECT_FALSE(p.isOpener);
    EXPECT_FALSE(p.gatherMode);
    EXPECT_EQ(p.APPR, "N");
}

TEST(LaunchParamsTest, SeparatorsCaseAndWhiteSpace) {
    bool ok = false;
    LaunchParams p = Parse("&&HOST=a&&port=81& UserId = u1 &", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(p.HOST, "a");
    EXPECT_EQ(p.PORT, 81);
    EXPECT_EQ(p.USERID, "u1");

    // A blank piece ends the read: later keys keep their defaults.
    p = Parse("HOST=a& &PORT=81", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(p.HOST, "a");
    EXPECT_EQ(p.PORT, 0);

    // A later occurrence wins; unknown keys and keyless pieces are skipped.
    p = Parse("HOST=a&FOO=1&=x&HOST=b", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(p.HOST, "b");
}

TEST(LaunchParamsTest, EmptyValueRejectsWholeStringButKeepsEarlierFields) {
    bool ok = true;
    LaunchParams p = Parse("HOST=a&PORT=81&USERID=", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(p.HOST, "a");
    EXPECT_EQ(p.PORT, 81);
    Parse("", &ok);
    EXPECT_FALSE(ok);
    Parse("&&&", &ok);
    EXPECT_FALSE(ok);
    Parse("HOST", &ok);  // no '=': empty key, value "HOST" -> skipped, accepted
    EXPECT_TRUE(ok);
}

TEST(LaunchParamsTest, NumbersReadLikeAtoi) {
    EXPECT_EQ(Parse("PORT=8080abc").PORT, 8080);
    EXPECT_EQ(Parse("PORT=abc").PORT, 0);
    EXPECT_EQ(Parse("PORT=-12").PORT, -12);
    EXPECT_EQ(Parse("PORT=+7x").PORT, 7);
}

TEST(LaunchParamsTest, AtoiLikeWrapsOverflowToThirtyTwoBitsWithoutUndefinedBehaviour) {
    EXPECT_EQ(AtoiLike("2147483647"), 2147483647);
    EXPECT_EQ(AtoiLike("-2147483648"), INT32_MIN);
    EXPECT_EQ(AtoiLike("2147483648"), INT32_MIN);
    EXPECT_EQ(AtoiLike("4294967295"), -1);
    EXPECT_EQ(AtoiLike("4294967296"), 0);
    // 99999999999999999999 modulo 2^32, read as a signed 32-bit number.
    EXPECT_EQ(AtoiLike("99999999999999999999"), 1661992959);
    EXPECT_EQ(AtoiLike("-99999999999999999999"), -1661992959);
    EXPECT_EQ(AtoiLike(" \t\n+42 7"), 42);
    EXPECT_EQ(AtoiLike("- 1"), 0);
    EXPECT_EQ(AtoiLike(""), 0);
}

TEST(LaunchParamsTest, CommentColourForms) {
    EXPECT_EQ(ParseCommentColor("RGB(255,128,1)"), 255u + 128u * 256u + 1u * 65536u);
    EXPECT_EQ(ParseCommentColor("RGB(255.128.1)"), 255u);
    EXPECT_EQ(ParseCommentColor("rgb(255,128,1)"), 0u);
    EXPECT_EQ(ParseCommentColor("RGB(256,257,258)"), 0u + 1u * 256u + 2u * 65536u);
    EXPECT_EQ(ParseCommentColor("RGB(12"), 12u);
    EXPECT_EQ(ParseCommentColor("RGB("), 0u);
    EXPECT_EQ(Parse("COMMENTCOLOR=RGB(1,2,3)").COMMENTCOLOR, 1u + 2u * 256u + 3u * 65536u);
}

TEST(LaunchParamsTest, OpenerRules) {
    EXPECT_FALSE(Parse("USERID=a&OPENERID=a&PATCPCLSCD=03").isOpener);
    EXPECT_TRUE(Parse("USERID=a&OPENERID=a&PATCPCLSCD=02").isOpener);
    EXPECT_TRUE(Parse("USERID=a&OPENERID=a&PATCPCLSCD=01").isOpener);
    EXPECT_FALSE(Parse("USERID=a&OPENERID=b&OWNER=y").isOpener);
    EXPECT_TRUE(Parse("USERID=a&OPENERID=b&OWNER=Y").isOpener);
    LaunchParams p = Parse("USERID=a&OPENERID=a&PATCPCLSCD=02&TGTSQURVWMNO=5");
    EXPECT_TRUE(p.patcpClass02);
    EXPECT_FALSE(p.patcpClass03);
    EXPECT_TRUE(p.gatherMode);
    EXPECT_FALSE(Parse("USERID=a&OPENERID=a&TGTSQURVWMNO=0").gatherMode);
    EXPECT_TRUE(Parse("STSCD=03").feedbackMode);
}

TEST(LaunchParamsTest, DocIdConcatenatesTheNumbers) {
    EXPECT_EQ(Parse("SQURVWMNO=12&RVWFILESEQ=3").docId, "123");
    EXPECT_EQ(Parse("SQURVWMNO=1&RVWFILESEQ=23").docId, "123");
    EXPECT_EQ(Parse("TGTSQURVWMNO=7&RVWFILESEQ=2").targetDocId, "72");
}

TEST(LaunchParamsTest, KoreanValuesUnderCp949) {
    platform::SetSystemCodePageForTesting("CP949");
    // "김민수" and "배관" in CP949; a trail byte 0x61 must not be upper-cased in a key.
    const std::string name = "\xb1\xe8\xb9\xce\xbc\xf6";
    const std::string dept = "\xb9\xe8\xb0\xfc";
    bool ok = false;
    LaunchParams p = Parse(" userknm = " + name + " &SITEUSENM=" + dept +
                               "&\x81"
                               "a=1",
                           &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(p.USERKNM, name);
    EXPECT_EQ(p.authorName, name + "-" + dept);
    platform::SetSystemCodePageForTesting("");
}

}  // namespace
