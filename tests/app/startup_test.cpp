#include "app/startup.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/annot_subject_table.h"
#include "app/launch_params.h"
#include "app/logs.h"
#include "platform/code_page.h"
#include "platform/prompter.h"
#include "platform/registry_store.h"
#include "platform/single_instance.h"
#include "support/loopback_listener.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::app;
using namespace quill::platform;

namespace fs = std::filesystem;

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto scripted = std::make_unique<platform::ScriptedPrompter>();
        prompts = scripted.get();
        platform::InstallPrompter(std::move(scripted));
        hooks.probeNetwork = [] { return true; };
        hooks.readInstallDir = [this] { return (dir / "install").string(); };
        fs::create_directories(dir / "install");
        hooks.localAppData = (dir / "appdata").string();
        hooks.lockFolder = dir.str();
        hooks.runMainWindow = [this] {
            ++windowsRun;
            return 0;
        };
    }
    void TearDown() override {
        platform::InstallPrompter(nullptr);
        ConfigureLogs("", "");
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& e : prompts->entries()) out.push_back(e.text);
        return out;
    }
    testsupport::TempDir dir;
    platform::ScriptedPrompter* prompts = nullptr;
    StartupHooks hooks;
    int windowsRun = 0;
};

TEST_F(StartupTest, EachFailingStepShowsItsMessageAndRunsNoWindow) {
    hooks.probeNetwork = [] { return false; };
    EXPECT_NE(RunStartup("debug", hooks), 0);
    hooks.probeNetwork = [] { return true; };
    EXPECT_NE(RunStartup("", hooks), 0);
    EXPECT_NE(RunStartup("HOST=x&PORT=", hooks), 0);
    hooks.localAppData = "/proc/forbidden";
    EXPECT_NE(RunStartup("debug", hooks), 0);
    EXPECT_EQ(windowsRun, 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kMsgNetworkError, kMsgAuthorityError,
                                                    kMsgAuthorityError, kMsgFolderError}));
}

TEST_F(StartupTest, DebugWordUsesTheBuiltInStringButCapitalDebugIsParsed) {
    EXPECT_EQ(RunStartup("debug", hooks), 0);
    EXPECT_EQ(windowsRun, 1);
    EXPECT_EQ(AppLaunchParams().HOST, "127.0.0.1");
    EXPECT_EQ(AppAnnotSubjectTable().at("ellipse"), 4);
    // "Debug" is a parameter string: no '=' so an empty key, accepted with defaults.
    EXPECT_EQ(RunStartup("Debug", hooks), 0);
    EXPECT_EQ(AppLaunchParams().HOST, "");
}

TEST_F(StartupTest, SecondStartForTheSameReviewIsRefusedUntilTheFirstDies) {
    const std::string params = "SQURVWMNO=1&RVWFILESEQ=12&PATCPSEQ=3&REPATCPSEQ=0&USERID=u";
    // The first client is a child process holding the lock.
    int toChild[2], fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    pid_t child = fork();
    if (child == 0) {
        platform::SingleInstanceLock lock(InstanceName(1, 12, 3, 0), dir.str());
        char ok = lock.Acquire() ? 'y' : 'n';
        if (write(fromChild[1], &ok, 1) != 1) _exit(3);
        char c;
        if (read(toChild[0], &c, 1) < 0) _exit(3);
        _exit(0);
    }
    char held = 0;
    ASSERT_EQ(read(fromChild[0], &held, 1), 1);
    ASSERT_EQ(held, 'y');
    close(fromChild[0]);
    close(fromChild[1]);
    // Same four numbers run together ("11230") from other values: refused as well.
    EXPECT_NE(RunStartup("SQURVWMNO=11&RVWFILESEQ=2&PATCPSEQ=3&REPATCPSEQ=0&USERID=u", hooks), 0);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), kMsgAlreadyRunning);
    EXPECT_EQ(prompts->entries().back().kind, platform::PromptKind::Info);
    // A different participant runs side by side.
    EXPECT_EQ(RunStartup("SQURVWMNO=1&RVWFILESEQ=12&PATCPSEQ=4&REPATCPSEQ=0&USERID=u", hooks), 0);

    kill(child, SIGKILL);  // dies without releasing anything itself
    int status = 0;
    waitpid(child, &status, 0);
    close(toChild[0]);
    close(toChild[1]);
    EXPECT_EQ(RunStartup(params, hooks), 0);
}

TEST_F(StartupTest, ASecondClientOfAnotherReviewLeavesTheFirstOnesDocumentAlone) {
    // The first client runs in a child process: it downloads its document, waits until the
    // second client has started, then reads the document again (as find, print and SaveAs do).
    int toChild[2], fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    pid_t child = fork();
    if (child == 0) {
        hooks.runMainWindow = [&] {
            const std::string document = AppFoldersInstance().documentFile;
            testsupport::WriteFileBytes(document, "%PDF-first");
            char c = 'r';
            if (write(fromChild[1], &c, 1) != 1 || read(toChild[0], &c, 1) != 1) return 3;
            c = fs::exists(document) && testsupport::ReadFileBytes(document) == "%PDF-first" ? 'y'
                                                                                             : 'n';
            return write(fromChild[1], &c, 1) == 1 ? 0 : 3;
        };
        _exit(RunStartup("SQURVWMNO=1&RVWFILESEQ=1&PATCPSEQ=1&REPATCPSEQ=0&USERID=a", hooks));
    }
    char c = 0;
    ASSERT_EQ(read(fromChild[0], &c, 1), 1);
    ASSERT_EQ(c, 'r');
    EXPECT_EQ(RunStartup("SQURVWMNO=2&RVWFILESEQ=1&PATCPSEQ=1&REPATCPSEQ=0&USERID=b", hooks), 0);
    EXPECT_EQ(AppFoldersInstance().workingFolder,
              (dir / "appdata" / "Quillmark" / "2110").string());
    c = 'g';
    ASSERT_EQ(write(toChild[1], &c, 1), 1);
    ASSERT_EQ(read(fromChild[0], &c, 1), 1);
    EXPECT_EQ(c, 'y') << "the second client deleted the first one's document";
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) close(fd);

    // Once the first client has ended, the next start clears its folder away.
    EXPECT_TRUE(fs::exists(dir / "appdata" / "Quillmark" / "1110"));
    EXPECT_EQ(RunStartup("SQURVWMNO=3&RVWFILESEQ=1&PATCPSEQ=1&REPATCPSEQ=0&USERID=c", hooks), 0);
    EXPECT_FALSE(fs::exists(dir / "appdata" / "Quillmark" / "1110"));
    EXPECT_TRUE(fs::exists(dir / "appdata" / "Quillmark" / "3110"));
}

TEST_F(StartupTest, ALockFileThatCannotBeMadeIsAnErrorOfItsOwn) {
    hooks.lockFolder = (dir / "missing").string();
    EXPECT_NE(RunStartup("debug", hooks), 0);
    EXPECT_EQ(windowsRun, 0);
    ASSERT_EQ(Messages(), std::vector<std::string>{kMsgLockError});
    EXPECT_EQ(prompts->entries().back().kind, platform::PromptKind::Error);
}

TEST_F(StartupTest, WithoutAnInstallationFolderStartUpWritesItsLogsToTheUsersFolder) {
    hooks.readInstallDir = [] { return std::string(); };
    ASSERT_EQ(RunStartup("debug", hooks), 0);
    EXPECT_TRUE(Messages().empty());
    const fs::path own = dir / "appdata" / "Quillmark";
    EXPECT_EQ(AppFoldersInstance().installFolder, own.string());
    // The request log goes under the backup tree there (the main window writes its first
    // record).
    EXPECT_TRUE(fs::exists(fs::path(AppFoldersInstance().requestLog).parent_path()));
    EXPECT_EQ(fs::path(AppFoldersInstance().requestLog).parent_path().parent_path().parent_path(),
              own / "Backup");
}

// A loopback port with a listener, or (closed) one where nothing listens.
TEST_F(StartupTest, WithoutAConfiguredAddressTheProbeTriesTheReviewServer) {
    unsetenv("QUILLMARK_PROBE_URL");
    setenv("QUILLMARK_REGISTRY_ROOT", (dir / "reg").c_str(), 1);
    hooks.probeNetwork = nullptr;
    testsupport::LoopbackListener server;
    const std::string review = "&SQURVWMNO=5&RVWFILESEQ=1&USERID=u";
    const std::string reachable = "HOST=127.0.0.1&PORT=" + std::to_string(server.port()) + review;
    EXPECT_EQ(ProbeTarget(reachable), "http://127.0.0.1:" + std::to_string(server.port()) + "/");
    EXPECT_EQ(RunStartup(reachable, hooks), 0);
    EXPECT_TRUE(Messages().empty());

    testsupport::LoopbackListener closed(false);
    EXPECT_NE(RunStartup("HOST=127.0.0.1&PORT=" + std::to_string(closed.port()) + review, hooks),
              0);
    EXPECT_EQ(Messages(), std::vector<std::string>{kMsgNetworkError});

    // The installation's address comes first, and the test switch before that.
    platform::RegistryStore store;
    ASSERT_TRUE(store.WriteValue(platform::kQuillmarkKey, platform::kProbeUrlValue,
                                 " http://probe.example:81/ \n"));
    EXPECT_EQ(ProbeTarget(reachable), "http://probe.example:81/");
    setenv("QUILLMARK_PROBE_URL", "http://127.0.0.1:9/", 1);
    EXPECT_EQ(ProbeTarget(reachable), "http://127.0.0.1:9/");
    unsetenv("QUILLMARK_PROBE_URL");
    unsetenv("QUILLMARK_REGISTRY_ROOT");

    EXPECT_EQ(ProbeTarget("HOST=::1&PORT=8087"), "http://[::1]:8087/");
    EXPECT_EQ(ProbeTarget("HOST=review.local"), "http://review.local/");
    // Nothing to probe: the launch string's own check reports the fault.
    EXPECT_EQ(ProbeTarget(""), "");
    EXPECT_NE(RunStartup("", hooks), 0);
    EXPECT_EQ(Messages().back(), kMsgAuthorityError);
}

TEST_F(StartupTest, InstallDirComesTrimmedFromTheRegistryStore) {
    setenv("QUILLMARK_REGISTRY_ROOT", (dir / "reg").c_str(), 1);
    EXPECT_EQ(ReadInstallDir(), "");
    platform::RegistryStore store;
    ASSERT_TRUE(store.WriteValue(platform::kQuillmarkKey, "OTHER", "x"));
    ASSERT_TRUE(store.WriteValue(platform::kQuillmarkKey, "INSTALL_DIR", "  /opt/quill \n"));
    EXPECT_EQ(ReadInstallDir(), "/opt/quill");
    // A path on disk is UTF-8 whatever the wire's code page: its last blank is trimmed even
    // where CP949 would read it as the trail byte of a character.
    platform::SetSystemCodePageForTesting("CP949");
    ASSERT_TRUE(store.WriteValue(platform::kQuillmarkKey, "INSTALL_DIR",
                                 " /opt/\xea\xb2\x80\xed\x86\xa0 "));  // "/opt/검토"
    EXPECT_EQ(ReadInstallDir(), "/opt/\xea\xb2\x80\xed\x86\xa0");
    platform::SetSystemCodePageForTesting("");
    unsetenv("QUILLMARK_REGISTRY_ROOT");
}

TEST(SubjectTableTest, KoreanNamesAreStoredInTheSystemCodePage) {
    platform::SetSystemCodePageForTesting("CP949");
    AnnotSubjectTable table = BuildAnnotSubjectTable();
    EXPECT_EQ(table.at(platform::Utf8ToAnsi("강조")), 14);
    EXPECT_EQ(table.at(platform::Utf8ToAnsi("하이라이트")), 14);
    EXPECT_EQ(table.at("strikeout"), 15);
    EXPECT_EQ(table.count("Cloudy"), 0u);
    EXPECT_EQ(table.size(), 36u);
    platform::SetSystemCodePageForTesting("");
}

}  // namespace
