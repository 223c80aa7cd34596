// The quillstart program and the client started from a launch, run for real.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "launcher/install_dir.h"
#include "launcher/launch_string.h"
#include "launcher/link_launch.h"
#include "platform/registry_store.h"
#include "support/loopback_listener.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::launcher;

namespace {

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::vector<std::string> SplitAtNul(const std::string& bytes) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : bytes) {
        if (c == '\0') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    return parts;
}

// An installation whose client is the recorder; quillstart finds it through the registry store.
class QuillstartProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "install");
        std::filesystem::copy_file(QUILL_ARGV_RECORDER, dir_ / "install" / kClientProgram);
    }

    void RegisterInstallDir(const std::string& folder) {
        platform::RegistryStore store((dir_ / "reg").string());
        ASSERT_TRUE(store.WriteValue(kInstallKey, kInstallDirName, folder));
    }

    int RunQuillstart(const std::string& link) {
        const std::string command =
            "env QUILLMARK_REGISTRY_ROOT=" + Quoted((dir_ / "reg").string()) +
            " QUILL_RECORDER_OUT=" + Quoted((dir_ / "argv").string()) + " " +
            Quoted(QUILLSTART_PROGRAM) + " " + Quoted(link) + " 2>" +
            Quoted((dir_ / "err").string());
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The arguments the recorder was started with; empty when it has not run within the bound.
    std::vector<std::string> RecordedArgs(std::chrono::milliseconds bound) {
        const auto until = std::chrono::steady_clock::now() + bound;
        while (!std::filesystem::exists(dir_ / "argv")) {
            if (std::chrono::steady_clock::now() > until) return {};
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return SplitAtNul(testsupport::ReadFileBytes(dir_ / "argv"));
    }

    testsupport::TempDir dir_;
};

TEST_F(QuillstartProcessTest, StartsTheClientWithTheStringAsItsOneArgumentAndNoShell) {
    RegisterInstallDir((dir_ / "install").string());
    // Shell syntax in a value reaches the client as plain text: no shell ever reads it.
    const std::string link =
        "quillmark:?SERVER=r.example&PORT=8087&SQUAD_DOC_NM=%24(touch%20pwned)%3B%20%60id%60%20%"
        "22q%22"
        "&USER_KNM=%EA%B9%80%EB%AF%BC%EC%88%98&FILE_ID=a%26HOST%3Devil";
    EXPECT_EQ(RunQuillstart(link), kLinkLaunched) << testsupport::ReadFileBytes(dir_ / "err");
    const std::vector<std::string> args = RecordedArgs(std::chrono::seconds(10));
    ASSERT_EQ(args.size(), 1u);
    LaunchValues expected;
    expected.SERVER = "r.example";
    expected.PORT = 8087;
    expected.SQUAD_DOC_NM = "$(touch pwned); `id` \"q\"";
    expected.USER_KNM = "\xB1\xE8\xB9\xCE\xBC\xF6";  // the client's code page, CP949 by default
    expected.FILE_ID = "a+HOST=evil";
    EXPECT_EQ(args[0], FormatLaunchString(expected));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "pwned"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "install" / "pwned"));
}

TEST_F(QuillstartProcessTest, StartsNothingForARefusedLinkOrWithoutAnInstallation) {
    RegisterInstallDir((dir_ / "install").string());
    EXPECT_EQ(RunQuillstart("http://r.example/?SERVER=a"), kLinkRefused);
    EXPECT_EQ(RunQuillstart("quillmark:?SERVER=a%0Ab"), kLinkRefused);
    EXPECT_EQ(RunQuillstart("quillmark:?SERVER=a%2"), kLinkRefused);

    std::filesystem::remove_all(dir_ / "reg");
    EXPECT_EQ(RunQuillstart("quillmark:?SERVER=a"), kLinkNoInstallDir);
    RegisterInstallDir(std::string(300, 'x'));
    EXPECT_EQ(RunQuillstart("quillmark:?SERVER=a"), kLinkNoInstallDir);
    RegisterInstallDir((dir_ / "nowhere").string());
    EXPECT_EQ(RunQuillstart("quillmark:?SERVER=a"), kLinkStartFailed);
    EXPECT_TRUE(RecordedArgs(std::chrono::milliseconds(300)).empty());
}

TEST(ClientWithLaunchStringTest, APageWithoutParametersEndsTheClientWithTheAuthorityMessage) {
    testsupport::TempDir dir;
    testsupport::LoopbackListener listener;  // the start-up probe finds a network
    const std::string command =
        "env QT_QPA_PLATFORM=offscreen QUILLMARK_PROMPT_LOG=" +
        Quoted((dir / "prompts.log").string()) +
        " QUILLMARK_PROBE_URL=http://127.0.0.1:" + std::to_string(listener.port()) +
        "/ QUILLMARK_REGISTRY_ROOT=" + Quoted((dir / "reg").string()) +
        " XDG_DATA_HOME=" + Quoted((dir / "data").string()) +
        " XDG_RUNTIME_DIR=" + Quoted(dir.str()) + " " + Quoted(QUILL_BINARY_DIR "/src/Quillmark") +
        " " + Quoted(FormatLaunchString(LaunchValues{})) + " >/dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "prompts.log"),
              "error\tSystem authority error.\\n(Please request to IT Operation Team.)\n");
}

}  // namespace
