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
