// Runs the real Quillmark program headless and reads its prompts from the prompt log.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/loopback_listener.h"
#include "support/temp_dir.h"

namespace {

int RunClient(const testsupport::TempDir& dir, const std::string& arg,
              const std::string& probeUrl) {
    std::string command = "env QT_QPA_PLATFORM=offscreen QUILLMARK_PROMPT_LOG='" +
                          (dir / "prompts.log").string() + "' QUILLMARK_PROBE_URL='" + probeUrl +
                          "' QUILLMARK_REGISTRY_ROOT='" + (dir / "reg").string() +
                          "' XDG_DATA_HOME='" + (dir / "data").string() + "' XDG_RUNTIME_DIR='" +
                          dir.str() + "' '" QUILL_BINARY_DIR "/src/Quillmark' '" + arg +
                          "' >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(QuillmarkProcessTest, EmptyParameterStringEndsWithTheAuthorityMessage) {
    testsupport::TempDir dir;
    testsupport::LoopbackListener listener;
    EXPECT_NE(RunClient(dir, "", "http://127.0.0.1:" + std::to_string(listener.port()) + "/"), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "prompts.log"),
              "error\tSystem authority error.\\n(Please request to IT Operation Team.)\n");
}

TEST(QuillmarkProcessTest, UnreachableNetworkEndsWithTheNetworkMessage) {
    testsupport::TempDir dir;
    const int port = testsupport::LoopbackListener(false).port();  // a free port nothing listens on
    EXPECT_NE(RunClient(dir, "debug", "http://127.0.0.1:" + std::to_string(port) + "/"), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "prompts.log"),
              "error\tNetwork connection error.\n");
}

}  // namespace
