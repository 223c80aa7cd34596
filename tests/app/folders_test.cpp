#include "app/app_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "app/launch_params.h"
#include "app/logs.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/single_instance.h"
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
        // The working folder of review 12, file 3 (participant 0, 0).
        work = appData / "Quillmark" / "12300";
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
    // The folder of all clients holds the others' working folders: never emptied whole.
    EXPECT_FALSE(EmptyFolder((appData / "Quillmark").string(), false, appData.string()));
    EXPECT_FALSE(EmptyFolder((work / "..").string(), false, appData.string()));
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
    // So is a client's working folder that is a link.
    fs::create_directory_symlink(dir / "target", appData / "Quillmark" / "777");
    EXPECT_FALSE(EmptyFolder((appData / "Quillmark" / "777").string(), false, appData.string()));
    EXPECT_TRUE(fs::exists(dir / "target" / "t.txt"));
}

TEST_F(FoldersTest, EachClientEmptiesOnlyItsOwnFolderAndRemovesFinishedClientsFolders) {
    const fs::path all = appData / "Quillmark";
    const fs::path locks = dir / "locks";
    fs::create_directories(locks);
    // A running client of another review: its lock is held (here, by this process).
    platform::SingleInstanceLock running(InstanceName(55, 5, 0, 0), locks.string());
    ASSERT_TRUE(running.Acquire());
    for (const char* sub : {"55500", "66600/sub", ".stale-1-77700", "Backup/20240304/1.1"})
        fs::create_directories(all / sub);
    fs::create_directories(dir / "outside");
    testsupport::WriteFileBytes(all / "55500" / "document", "live");
    // A client that ended (its lock is free), and one whose clean-up was cut short.
    testsupport::WriteFileBytes(all / "66600" / "sub" / "old.fdf", "x");
    testsupport::WriteFileBytes(all / ".stale-1-77700" / "old.fdf", "x");
    // What is not a client's folder stays: logs, the backup tree, a link to elsewhere.
    testsupport::WriteFileBytes(all / "Backup" / "20240304" / "1.1" / "kim.sc", "log");
    testsupport::WriteFileBytes(all / "pdf_quillmark_20240304.log", "log");
    testsupport::WriteFileBytes(dir / "outside" / "precious.txt", "keep");
    fs::create_directory_symlink(dir / "outside", all / "88800");
    testsupport::WriteFileBytes(work / "mine.fdf", "x");

    LaunchParams p;
    ParseLaunchParams("SQURVWMNO=12&RVWFILESEQ=3&USERID=kim", p);
    fs::create_directories(dir / "install");
    AppFolders f;
    ASSERT_TRUE(PrepareFolders(p, (dir / "install").string(), f, appData.string(), locks.string()));
    EXPECT_EQ(f.workingFolder, work.string());
    EXPECT_EQ(f.documentFile, (work / "202403050905070042").string());
    EXPECT_TRUE(fs::is_empty(work));
    EXPECT_EQ(testsupport::ReadFileBytes(all / "55500" / "document"), "live");
    EXPECT_FALSE(fs::exists(all / "66600"));
    EXPECT_FALSE(fs::exists(all / ".stale-1-77700"));
    EXPECT_EQ(testsupport::ReadFileBytes(all / "Backup" / "20240304" / "1.1" / "kim.sc"), "log");
    EXPECT_TRUE(fs::exists(all / "pdf_quillmark_20240304.log"));
    EXPECT_TRUE(fs::is_symlink(all / "88800"));
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "outside" / "precious.txt"), "keep");
    // The finished client's folder is free for its next start; the live one's lock still held.
    platform::SingleInstanceLock again(InstanceName(66, 6, 0, 0), locks.string());
    EXPECT_TRUE(again.Acquire());
    EXPECT_TRUE(running.held());
}

TEST_F(FoldersTest, WithoutAnInstallationFolderLogsStayInTheUsersApplicationData) {
    LaunchParams p;
    ParseLaunchParams("SQURVWMNO=12&RVWFILESEQ=3&USERID=kim", p);
    AppFolders f;
    ASSERT_TRUE(PrepareFolders(p, "", f, appData.string(), (dir / "locks").string()));
    const fs::path all = appData / "Quillmark";
    EXPECT_EQ(f.installFolder, all.string());
    EXPECT_EQ(f.diagnosticLog, (all / "pdf_quillmark_20240305.log").string());
    EXPECT_EQ(f.backupFolder, (all / "Backup").string());
    EXPECT_EQ(f.requestLog, (all / "Backup" / "20240305" / "12.3" / "kim.sc").string());
    EXPECT_TRUE(fs::is_directory(all / "Backup" / "20240305" / "12.3"));
    WriteLog("Test", "line");
    EXPECT_TRUE(fs::exists(f.diagnosticLog));
}

// A machine-wide installation belongs to root: the user's client still starts, with its logs
// and backup tree in the user's own application data.
TEST_F(FoldersTest, AnInstallationTheUserCannotWriteLeavesTheLogsInTheUsersApplicationData) {
    LaunchParams p;
    ParseLaunchParams("SQURVWMNO=12&RVWFILESEQ=3&USERID=kim", p);
    const fs::path all = appData / "Quillmark";
    auto expectLogsInAppData = [&](const AppFolders& f) {
        EXPECT_EQ(f.installFolder, all.string());
        EXPECT_EQ(f.diagnosticLog, (all / "pdf_quillmark_20240305.log").string());
        EXPECT_EQ(f.requestLog, (all / "Backup" / "20240305" / "12.3" / "kim.sc").string());
        EXPECT_TRUE(fs::is_directory(all / "Backup" / "20240305" / "12.3"));
    };
    {
        // Something in the installation that no user can turn into the backup tree.
        fs::create_directories(dir / "blocked");
        testsupport::WriteFileBytes(dir / "blocked" / "Backup", "not a folder");
        AppFolders f;
        ASSERT_TRUE(PrepareFolders(p, (dir / "blocked").string(), f, appData.string(),
                                   (dir / "locks").string()));
        expectLogsInAppData(f);
        WriteLog("Test", "line");
        EXPECT_TRUE(fs::exists(f.diagnosticLog));
    }
    if (geteuid() != 0) {
        // A read-only installation, as the package leaves it (root may write anywhere).
        fs::create_directories(dir / "readonly");
        fs::permissions(dir / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
        AppFolders f;
        EXPECT_TRUE(PrepareFolders(p, (dir / "readonly").string(), f, appData.string(),
                                   (dir / "locks").string()));
        expectLogsInAppData(f);
        fs::permissions(dir / "readonly", fs::perms::owner_all);
    }
}

TEST_F(FoldersTest, AKoreanUserIdNamesTheRequestLogInUtf8) {
    platform::SetSystemCodePageForTesting("CP949");
    LaunchParams p;
    ParseLaunchParams("SQURVWMNO=12&RVWFILESEQ=3&USERID=\xb1\xe8k", p);  // "김k" in CP949
    fs::create_directories(dir / "install");
    AppFolders f;
    const bool prepared = PrepareFolders(p, (dir / "install").string(), f, appData.string());
    platform::SetSystemCodePageForTesting("");
    ASSERT_TRUE(prepared);
    EXPECT_EQ(fs::path(f.requestLog).filename().string(), "\xea\xb9\x80k.sc");
}

TEST_F(FoldersTest, TimestampedNamesUseTheLocalClock) {
    EXPECT_EQ(TimestampedFileName("/w", ".fdf"), "/w/202403050905070042.fdf");
}

}  // namespace
