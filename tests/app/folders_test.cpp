#include "app/app_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/launch_params.h"
#include "app/logs.h"
#include "platform/clock.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::app;
using namespace quill::platform;

namespace fs = std::filesystem;

namespace {

class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClockForTesting([] { return platform::LocalTime{2024, 3, 5, 9, 5, 7, 42}; });
        appData = dir / "appdata";
        work = appData / "Quillmark";
        fs::create_directories(work);
    }
    void TearDown() override {
        platform::SetClockForTesting(nullptr);
        ConfigureLogs("", "");
    }
    testsupport::TempDir dir;
    fs::path appData, work;
};

TEST_F(FoldersTest, PrepareNamesEveryFileAndEmptiesTheWorkingFolder) {
    testsupport::WriteFileBytes(work / "old.fdf", "x");
    LaunchParams p;
    ParseLaunchParams("SQURVWMNO=12&RVWFILESEQ=3&USERID=kim", p);
    AppFolders f;
    ASSERT_TRUE(PrepareFolders(p, (dir / "install").string(), f, appData.string()) == false);
    fs::create_directories(dir / "install");
    ASSERT_TRUE(PrepareFolders(p, (dir / "install").string(), f, appData.string()));
    EXPECT_EQ(f.workingFolder, work.string());
    EXPECT_EQ(f.documentFile, (work / "202403050905070042").string());
    EXPECT_EQ(f.diagnosticLog, (dir / "install" / "pdf_quillmark_20240305.log").string());
    EXPECT_EQ(f.requestLog, (dir / "install" / "Backup" / "20240305" / "12.3" / "kim.sc").string());
    EXPECT_TRUE(fs::is_directory(dir / "install" / "Backup" / "20240305" / "12.3"));
    EXPECT_FALSE(fs::exists(work / "old.fdf"));
    WriteLog("Test", "line");
    EXPECT_TRUE(fs::exists(f.diagnosticLog));
}

TEST_F(FoldersTest, AUserIdNamesTheRequestLogButNeverAPathOutsideItsFolder) {
    fs::create_directories(dir / "install");
    for (const char* id : {"../../x", "/etc/passwd", "a/b", ".hidden", "..", "a\\b", "kim\nlee"}) {
        LaunchParams p;
        p.SQURVWMNO = 12;
        p.RVWFILESEQ = 3;
        p.USERID = id;
        AppFolders f;
        ASSERT_TRUE(PrepareFolders(p, (dir / "install").string(), f, appData.string())) << id;
        const fs::path log(f.requestLog);
        EXPECT_EQ(log.parent_path(), dir / "install" / "Backup" / "20240305" / "12.3") << id;
        EXPECT_EQ(log.filename().string().find('/'), std::string::npos) << id;
        EXPECT_NE(log.filename().string()[0], '.') << id;
    }
    EXPECT_EQ(SafePathPart("../../x"), "_._.._x");
    EXPECT_EQ(SafePathPart("kim.lee-2_a"), "kim.lee-2_a");
    EXPECT_EQ(SafePathPart("\xB1\xE8"), "\xB1\xE8");  // a Korean name in the system code page
}

TEST_F(FoldersTest, EmptyFolderRemovesNestedAndReadOnlyEntriesButNeverFollowsLinks) {
    fs::create_directories(work / "a" / "b");
    testsupport::WriteFileBytes(work / "a" / "b" / "deep.txt", "x");
    testsupport::WriteFileBytes(work / "ro.txt", "x");
    fs::permissions(work / "ro.txt", fs::perms::owner_read, fs::perm_options::replace);
    fs::create_directories(dir / "outside");
    testsupport::WriteFileBytes(dir / "outside" / "precious.txt", "keep");
    fs::create_directory_symlink(dir / "outside", work / "link");
    fs::create_symlink(dir / "outside" / "precious.txt", work / "filelink");

    EXPECT_TRUE(EmptyFolder(work.string(), false, appData.string()));
    EXPECT_TRUE(fs::is_directory(work));
    EXPECT_TRUE(fs::is_empty(work));
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "outside" / "precious.txt"), "keep");
}

TEST_F(FoldersTest, EmptyFolderRefusesAnythingButTheWorkingFolder) {
    testsupport::WriteFileBytes(dir / "outside.txt", "keep");
    EXPECT_FALSE(EmptyFolder(dir.str(), false, appData.string()));
    EXPECT_FALSE(EmptyFolder(appData.string(), false, appData.string()));
    EXPECT_FALSE(EmptyFolder((work / ".." / "..").string(), false, appData.string()));
    EXPECT_FALSE(EmptyFolder("/", false, appData.string()));
    EXPECT_FALSE(EmptyFolder("", false, appData.string()));
    EXPECT_TRUE(fs::exists(dir / "outside.txt"));

    // The working folder itself being a link to elsewhere is refused too.
    fs::path other = dir / "appdata2";
    fs::create_directories(dir / "target");
    testsupport::WriteFileBytes(dir / "target" / "t.txt", "keep");
    fs::create_directories(other);
    fs::create_directory_symlink(dir / "target", other / "Quillmark");
    EXPECT_FALSE(EmptyFolder((other / "Quillmark").string(), false, other.string()));
    EXPECT_TRUE(fs::exists(dir / "target" / "t.txt"));
}

TEST_F(FoldersTest, TimestampedNamesUseTheLocalClock) {
    EXPECT_EQ(TimestampedFileName("/w", ".fdf"), "/w/202403050905070042.fdf");
}

}  // namespace
