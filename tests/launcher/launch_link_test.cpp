// Reading "quillmark:" links: the values they carry and the links that are refused.
#include "launcher/launch_link.h"

#include <gtest/gtest.h>

#include <string>

#include "app/launch_params.h"
#include "launcher/launch_string.h"

using namespace quill;
using namespace quill::launcher;

namespace {

TEST(LaunchLinkTest, ReadsNamedValuesWithEscapesInAnyFormOfTheAddress) {
    for (const char* prefix :
         {"quillmark:?", "QuillMark:?", "quillmark://launch/?", "quillmark:"}) {
        SCOPED_TRACE(prefix);
        LaunchLinkResult r = ReadLaunchLink(
            std::string(prefix) +
            "SERVER=r.example&PORT=8087&SQUAD_DOC_NM=Plot%20Plan%2FA&USER_COLOR=RGB(1%2C2%2C3)"
            "&TGT_SQURVW_MNO=-4&APPR_YN=Y&AQUAD_KIND_CD=9&extra=1#frag");
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.values.SERVER, "r.example");
        EXPECT_EQ(r.values.PORT, 8087);
        EXPECT_EQ(r.values.SQUAD_DOC_NM, "Plot Plan/A");
        EXPECT_EQ(r.values.USER_COLOR, "RGB(1,2,3)");
        EXPECT_EQ(r.values.TGT_SQURVW_MNO, -4);
        EXPECT_EQ(r.values.APPR_YN, "Y");
        EXPECT_EQ(r.values.ECM_PORT, 0);
        EXPECT_EQ(r.ignoredNames, 2u);  // unknown names are skipped, not refused
    }
    EXPECT_TRUE(ReadLaunchLink("quillmark://launch").ok);
    EXPECT_TRUE(ReadLaunchLink("quillmark:?PORT=").ok);  // an empty number reads as missing
}

TEST(LaunchLinkTest, RefusesOtherSchemesAndHostileInput) {
    for (const std::string& link : {
             std::string("http://x/?SERVER=a"),
             std::string("quillmarks:?SERVER=a"),
             std::string("quillmark"),
             std::string(" quillmark:?SERVER=a"),
             std::string("quillmark:?SERVER=%"),
             std::string("quillmark:?SERVER=%4"),
             std::string("quillmark:?SERVER=%zz"),
             std::string("quillmark:?SERVER%2=a"),
             std::string("quillmark:?SERVER=a%00b"),
             std::string("quillmark:?SERVER=a%0d"),
             std::string("quillmark:?SERVER=a%0Ab"),
             std::string("quillmark:?SERVER=a\nb"),
             std::string("quillmark:?SERVER=a\0b", 21),
             std::string("quillmark:?SE%0ARVER=a"),
             std::string("quillmark:?SERVER=a&SERVER=b"),
             std::string("quillmark:?PORT=80x"),
             std::string("quillmark:?PORT=99999999999"),
             std::string("quillmark:?PORT=2147483648"),
             "quillmark:?SERVER=" + std::string(kMaxLinkBytes, 'a'),
         }) {
        SCOPED_TRACE(link);
        LaunchLinkResult r = ReadLaunchLink(link);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.empty());
    }
    EXPECT_EQ(ReadLaunchLink("quillmark:?PORT=-2147483648").values.PORT, INT32_MIN);
}

TEST(LaunchLinkTest, AnEscapedAmpersandCannotSetAnotherKeyOfTheClient) {
    LaunchLinkResult r = ReadLaunchLink("quillmark:?SERVER=good&SQUAD_DOC_NM=X%26HOST%3Devil");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.values.SQUAD_DOC_NM, "X&HOST=evil");
    const std::string text = FormatLaunchString(r.values);
    EXPECT_NE(text.find("&SQUADDOCNM=X+HOST=evil&"), std::string::npos);
    app::LaunchParams p;
    app::ParseLaunchParams(text, p);
    EXPECT_EQ(p.HOST, "good");
}

TEST(LaunchLinkTest, TextValuesGoThroughTheConverterNumbersAndNamesDoNot) {
    LaunchLinkResult r = ReadLaunchLink("quillmark:?USER_KNM=%EA%B9%80&PORT=1",
                                        [](const std::string& utf8) { return "<" + utf8 + ">"; });
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.values.USER_KNM, "<\xEA\xB9\x80>");
    EXPECT_EQ(r.values.PORT, 1);
    EXPECT_EQ(r.values.SERVER, "");  // not given: not converted either
}

}  // namespace
