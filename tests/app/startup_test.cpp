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

TEST_F(StartupTest, InstallDirComesTrimmedFromTheRegistryStore) {
    setenv("QUILLMARK_REGISTRY_ROOT", (dir / "reg").c_str(), 1);
    EXPECT_EQ(ReadInstallDir(), "");
    platform::RegistryStore store;
    ASSERT_TRUE(store.WriteValue(platform::kQuillmarkKey, "OTHER", "x"));
    ASSERT_TRUE(store.WriteValue(platform::kQuillmarkKey, "INSTALL_DIR", "  /opt/quill \n"));
    EXPECT_EQ(ReadInstallDir(), "/opt/quill");
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
