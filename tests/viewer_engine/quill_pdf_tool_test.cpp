// The quill-pdf command-line tool: its commands, and errors on stderr with a non-zero exit.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "viewer_engine/engine_fixture.h"

namespace {

class QuillPdfToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        tool = std::string(QUILL_BINARY_DIR) + "/src/quill-pdf";
        if (!std::filesystem::exists(tool)) GTEST_SKIP() << "quill-pdf is not built: " << tool;
    }
    int Run(const std::string& args, std::string* out, bool joinStderr = true) {
        return enginetest::RunCommand("'" + tool + "' " + args, out, joinStderr);
    }
    testsupport::TempDir dir;
    std::string tool;
};

TEST_F(QuillPdfToolTest, SampleExportImportAndInfo) {
    const std::string d = dir.str();
    std::string out;
    ASSERT_EQ(Run("make-drawing " + d + "/d.pdf 2", &out), 0) << out;
    ASSERT_EQ(Run("sample " + d + "/d.pdf " + d + "/s.pdf", &out), 0) << out;
    ASSERT_EQ(Run("export-fdf " + d + "/s.pdf " + d + "/s.fdf", &out), 0) << out;
    ASSERT_EQ(Run("import-fdf " + d + "/d.pdf " + d + "/s.fdf " + d + "/i.pdf", &out), 0) << out;
    ASSERT_EQ(Run("info " + d + "/i.pdf", &out), 0) << out;
    EXPECT_NE(out.find("pages: 2"), std::string::npos) << out;
    EXPECT_NE(out.find("annotations 17"), std::string::npos) << out;
    EXPECT_NE(out.find("File Attachment"), std::string::npos) << out;
    ASSERT_EQ(enginetest::RunCommand("qpdf --check " + d + "/i.pdf", &out), 0) << out;
}

TEST_F(QuillPdfToolTest, ResolutionSheetOfExportedCommentsAndSavedDecisions) {
    const std::string d = dir.str();
    std::string out;
    ASSERT_EQ(Run("make-drawing " + d + "/d.pdf 2", &out), 0) << out;
    ASSERT_EQ(Run("sample " + d + "/d.pdf " + d + "/s.pdf", &out), 0) << out;
    ASSERT_EQ(Run("export-fdf " + d + "/s.pdf " + d + "/s.fdf", &out), 0) << out;
    ASSERT_EQ(Run("info " + d + "/s.pdf", &out), 0) << out;
    // The first comment of page 1 by its name.
    const size_t at = out.find("  0: Polygon ");
    ASSERT_NE(at, std::string::npos) << out;
    const std::string name = out.substr(at + 13, 36);
    testsupport::WriteFileBytes(dir / "decisions.json", "{\"cmntReview\":[{\"cmntId\":\"" + name +
                                                            "\",\"review\":\"N\"}]}");

    ASSERT_EQ(Run("resolution-sheet " + d + "/d.pdf " + d + "/s.fdf " + d + "/decisions.json " + d +
                      "/sheet.csv",
                  &out),
              0)
        << out;
    EXPECT_NE(out.find("17 comments"), std::string::npos) << out;
    const std::string csv = testsupport::ReadFileBytes(dir / "sheet.csv");
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBFNo.,Page,Discipline,Author,", 0), 0u);
    EXPECT_NE(csv.find("\r\n1,1,pdf-SAMPLE,quill-pdf-SAMPLE,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",Sample cloudy,,Do Not Apply,,,\"page 1 ("), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n17,"), std::string::npos) << csv;

    // No decisions at all, and a decisions file that is no "REVIEW" reply.
    EXPECT_EQ(Run("resolution-sheet " + d + "/d.pdf " + d + "/s.fdf - " + d + "/none.csv", &out), 0)
        << out;
    EXPECT_EQ(Run("resolution-sheet " + d + "/d.pdf " + d + "/s.fdf " + d + "/s.fdf " + d +
                      "/bad.csv 2>&1 >/dev/null",
                  &out, false),
              1);
    EXPECT_NE(out.find("neither a cmntReview nor a cmntOutcome reply"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.csv"));
}

TEST_F(QuillPdfToolTest, ErrorsGoToStderrWithANonZeroExit) {
    const std::string d = dir.str();
    std::string out;
    // Only standard error is read, and the message is there.
    EXPECT_EQ(Run("info " + d + "/missing.pdf 2>&1 >/dev/null", &out, false), 1);
    EXPECT_NE(out.find("cannot open"), std::string::npos);
    testsupport::WriteFileBytes(dir / "bad.fdf", "%FDF-1.2\n2 0 obj\n<</Page 0");
    ASSERT_EQ(Run("make-drawing " + d + "/d.pdf", &out), 0);
    EXPECT_EQ(Run("import-fdf " + d + "/d.pdf " + d + "/bad.fdf " + d + "/o.pdf", &out), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "o.pdf"));
    EXPECT_EQ(Run("frobnicate", &out), 2);
    EXPECT_NE(out.find("usage"), std::string::npos);
}

}  // namespace
