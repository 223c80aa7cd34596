// The parameter string built from launch values, read back by the client's own parser.
#include "launcher/launch_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/launch_params.h"
#include "platform/code_page.h"

using namespace quill;
using namespace quill::launcher;

namespace {

// "김민수" and "배관" in CP949.
const std::string kKoreanName = "\xB1\xE8\xB9\xCE\xBC\xF6";
const std::string kKoreanDiscipline = "\xB9\xE8\xB0\xFC";

LaunchValues EveryValue() {
    LaunchValues v;
    v.SERVER = "review.example";
    v.PORT = 8087;
    v.ECM_HOST = "ecm.example";
    v.ECM_PORT = 2104;
    v.ECM_SERVER_ID = "QECM01";
    v.KESTRON = "PRD";
    v.FST_REG_USER_ID = "u100";
    v.INCHRG_USER_ID = "u200";
    v.SQURVW_MNO = 1001;
    v.PATCP_SEQ = 2;
    v.REPATCP_SEQ = 3;
    v.RVW_FILE_SEQ = 4;
    v.FILE_ID = "el-5";
    v.USER_COLOR = "RGB(1,2,3)";
    v.PATCP_CLS_CD = "01";
    v.PROG_CLS_CD = "10";
    v.SQUAD_DOC_NO = "DWG-6";
    v.SQUAD_DOC_NM = "Plot Plan";
    v.NEXT_PLAN_YMD_CD = "IFC";
    v.NEXT_REVISN_NO = "B";
    v.SITE_USE_NM = kKoreanDiscipline;
    v.USER_KNM = kKoreanName;
    v.SITE_CD = "S01";
    v.SQUAD_SQ_NUM = 7;
    v.OWNER_YN = "Y";
    v.TGT_SQURVW_MNO = -8;
    v.STS_CD = "03";
    v.APPR_YN = "N";
    return v;
}

class LaunchStringTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetSystemCodePageForTesting("CP949"); }
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }
};

TEST_F(LaunchStringTest, WritesEveryKeyInTheClientsOrderByteForByte) {
    EXPECT_EQ(FormatLaunchString(EveryValue()),
              "HOST=review.example&PORT=8087&USERID=u100&OPENERID=u200&SQURVWMNO=1001&PATCPSEQ=2"
              "&REPATCPSEQ=3&RVWFILESEQ=4&ELEMENTID=el-5&COMMENTCOLOR=RGB(1,2,3)&PATCPCLSCD=01"
              "&PROGCLSCD=10&SQUADDOCNO=DWG-6&SQUADDOCNM=Plot Plan&NEXTPLANYMDCD=IFC"
              "&NEXTREVISNNO=B&SITEUSENM=" +
                  kKoreanDiscipline + "&USERKNM=" + kKoreanName +
                  "&SITECD=S01&OWNER=Y&ECM_HOST=ecm.example&ECM_PORT=2104&ECM_SERVER_ID=QECM01"
                  "&KESTRON=PRD&SQUADSQNUM=7&TGTSQURVWMNO=-8&STSCD=03&APPR=N");
}

TEST_F(LaunchStringTest, TheClientReadsBackEveryFieldFromItsOwnValue) {
    const LaunchValues v = EveryValue();
    app::LaunchParams p;
    ASSERT_TRUE(app::ParseLaunchParams(FormatLaunchString(v), p));
    EXPECT_EQ(p.HOST, v.SERVER);
    EXPECT_EQ(p.PORT, v.PORT);
    EXPECT_EQ(p.USERID, v.FST_REG_USER_ID);
    EXPECT_EQ(p.OPENERID, v.INCHRG_USER_ID);
    EXPECT_EQ(p.SQURVWMNO, v.SQURVW_MNO);
    EXPECT_EQ(p.PATCPSEQ, v.PATCP_SEQ);
    EXPECT_EQ(p.REPATCPSEQ, v.REPATCP_SEQ);
    EXPECT_EQ(p.RVWFILESEQ, v.RVW_FILE_SEQ);
    EXPECT_EQ(p.ELEMENTID, v.FILE_ID);
    // The colour text passes unchanged and the client reads its colour form.
    EXPECT_EQ(p.COMMENTCOLOR, 1u + 2u * 256u + 3u * 65536u);
    EXPECT_EQ(p.PATCPCLSCD, v.PATCP_CLS_CD);
    EXPECT_EQ(p.PROGCLSCD, v.PROG_CLS_CD);
    EXPECT_EQ(p.SQUADDOCNO, v.SQUAD_DOC_NO);
    EXPECT_EQ(p.SQUADDOCNM, v.SQUAD_DOC_NM);
    EXPECT_EQ(p.NEXTPLANYMDCD, v.NEXT_PLAN_YMD_CD);
    EXPECT_EQ(p.NEXTREVISNNO, v.NEXT_REVISN_NO);
    EXPECT_EQ(p.SITEUSENM, kKoreanDiscipline);
    EXPECT_EQ(p.USERKNM, kKoreanName);
    EXPECT_EQ(p.SITECD, v.SITE_CD);
    EXPECT_EQ(p.OWNER, v.OWNER_YN);
    EXPECT_EQ(p.ECM_HOST, v.ECM_HOST);
    EXPECT_EQ(p.ECM_PORT, v.ECM_PORT);
    EXPECT_EQ(p.ECM_SERVER_ID, v.ECM_SERVER_ID);
    EXPECT_EQ(p.KESTRON, v.KESTRON);
    EXPECT_EQ(p.SQUADSQNUM, v.SQUAD_SQ_NUM);
    EXPECT_EQ(p.TGTSQURVWMNO, v.TGT_SQURVW_MNO);
    EXPECT_EQ(p.STSCD, v.STS_CD);
    EXPECT_EQ(p.APPR, v.APPR_YN);
    EXPECT_EQ(p.authorName, kKoreanName + "-" + kKoreanDiscipline);
}

TEST_F(LaunchStringTest, NoValuesGiveEmptyTextAndZeroNumbersWhichTheClientRejects) {
    const std::string text = FormatLaunchString(LaunchValues{});
    EXPECT_EQ(text,
              "HOST=&PORT=0&USERID=&OPENERID=&SQURVWMNO=0&PATCPSEQ=0&REPATCPSEQ=0&RVWFILESEQ=0"
              "&ELEMENTID=&COMMENTCOLOR=&PATCPCLSCD=&PROGCLSCD=&SQUADDOCNO=&SQUADDOCNM="
              "&NEXTPLANYMDCD=&NEXTREVISNNO=&SITEUSENM=&USERKNM=&SITECD=&OWNER=&ECM_HOST="
              "&ECM_PORT=0&ECM_SERVER_ID=&KESTRON=&SQUADSQNUM=0&TGTSQURVWMNO=0&STSCD=&APPR=");
    app::LaunchParams p;
    EXPECT_FALSE(app::ParseLaunchParams(text, p));
}

TEST_F(LaunchStringTest, AnAmpersandInAValueCannotSetAnotherKey) {
    LaunchValues v = EveryValue();
    v.SQUAD_DOC_NM = "X&HOST=evil&&PORT=1";
    v.APPR_YN = "N&USERID=admin";
    std::vector<std::string> logged;
    const std::string text =
        FormatLaunchString(v, [&logged](const std::string& m) { logged.push_back(m); });
    app::LaunchParams p;
    ASSERT_TRUE(app::ParseLaunchParams(text, p));
    EXPECT_EQ(p.HOST, "review.example");
    EXPECT_EQ(p.PORT, 8087);
    EXPECT_EQ(p.USERID, "u100");
    EXPECT_EQ(p.SQUADDOCNM, "X+HOST=evil++PORT=1");
    EXPECT_EQ(p.APPR, "N+USERID=admin");
    EXPECT_EQ(logged.size(), 2u);

    // Values without '&' go in as they stand, '=' and blanks included; nothing is logged.
    logged.clear();
    v = EveryValue();
    v.SQUAD_DOC_NM = "A = B, (C)";
    EXPECT_NE(FormatLaunchString(v, [&logged](const std::string& m) { logged.push_back(m); })
                  .find("&SQUADDOCNM=A = B, (C)&"),
              std::string::npos);
    EXPECT_TRUE(logged.empty());
}

TEST_F(LaunchStringTest, AValueEndsAtANul) {
    bool changed = false;
    EXPECT_EQ(LaunchStringValue(std::string("abc\0&HOST=x", 11), changed), "abc");
    EXPECT_TRUE(changed);
    EXPECT_EQ(LaunchStringValue("plain", changed), "plain");
    EXPECT_FALSE(changed);
}

}  // namespace
