// The result document's name and path from the launch values.
#include <gtest/gtest.h>

#include "app/launch_params.h"
#include "platform/code_page.h"
#include "session/consolidation_document.h"
#include "session/consolidation_flow.h"

using namespace quill;
using namespace quill::session;

namespace {

class ResultDocumentName : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetSystemCodePageForTesting("CP949");
        params.SQUADDOCNO = "A/B";
        params.SQUADDOCNM = " ?P?lant? ";
        params.NEXTPLANYMDCD = "20261231";
        params.NEXTREVISNNO = "1/2";
        params.SQUADSQNUM = -1;
    }
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }
    app::LaunchParams params;
};

TEST_F(ResultDocumentName, PartsAreMadeFitForOneFileOfTheWorkingFolder) {
    ResultDocument document = MakeResultDocument(params, "/work/folder");
    EXPECT_EQ(document.name, "A_B_Plant_20261231_1_2_SC_-1.pdf");
    EXPECT_EQ(document.path, "/work/folder/A_B_Plant_20261231_1_2_SC_-1.pdf");
    // The document name is cleaned in the launch values themselves, and only once.
    EXPECT_EQ(params.SQUADDOCNM, "Plant");
    EXPECT_EQ(MakeResultDocument(params, "/work/folder").name, document.name);
    EXPECT_EQ(params.SQUADDOCNM, "Plant");
}

TEST_F(ResultDocumentName, ControlBytesAndBackslashesNeverLeaveTheFolder) {
    params.SQUADDOCNO = "..\\x\ty";
    params.SQUADDOCNM = "a\nb/../c";
    params.NEXTPLANYMDCD = "\x7F";
    ResultDocument document = MakeResultDocument(params, "/w");
    EXPECT_EQ(document.name, ".._x_y_a_b_.._c___1_2_SC_-1.pdf");
    EXPECT_EQ(document.path.find('/', 3), std::string::npos);
}

TEST_F(ResultDocumentName, KoreanNamesAreUtf8OnDiskAndUntouchedForTheServer) {
    params.SQUADDOCNO = "10011";
    params.SQUADDOCNM = "\xB1\xE8?";  // a Korean syllable in code page 949
    ResultDocument document = MakeResultDocument(params, "/w");
    EXPECT_EQ(document.name, "10011_\xB1\xE8_20261231_1_2_SC_-1.pdf");
    EXPECT_EQ(document.path, "/w/10011_\xEA\xB9\x80_20261231_1_2_SC_-1.pdf");
}

TEST(ConvertResultMessageText, IsTheKoreanTextWithTheValuesAsTheyAre) {
    EXPECT_EQ(ConvertResultMessage("QC1-%s", "a%d.pdf"),
              "\xC6\xC4\xC0\xCF \xBE\xC6\xC0\xCC\xB5\xF0 QC1-%s\nPDF\xC6\xC4\xC0\xCF a%d.pdf\n"
              "\xBE\xF7\xB5\xA5\xC0\xCC\xC6\xAE \xBF\xC0\xB7\xF9.");
}

}  // namespace
