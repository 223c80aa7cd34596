// Runs the real Quillmark program headless and reads its prompts from the prompt log.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace {

// A loopback listener that the start-up probe can connect to.
class Listener {
public:
    Listener() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(fd_, 8);
        socklen_t len = sizeof addr;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }
    ~Listener() { close(fd_); }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

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
    Listener listener;
    EXPECT_NE(RunClient(dir, "", "http://127.0.0.1:" + std::to_string(listener.port()) + "/"), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "prompts.log"),
              "error\tSystem authority error.\\n(Please request to IT Operation Team.)\n");
}

TEST(QuillmarkProcessTest, UnreachableNetworkEndsWithTheNetworkMessage) {
    testsupport::TempDir dir;
    int port = 0;
    {
        Listener closed;  // take a free port, then close it so nothing listens there
        port = closed.port();
    }
    EXPECT_NE(RunClient(dir, "debug", "http://127.0.0.1:" + std::to_string(port) + "/"), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "prompts.log"),
              "error\tNetwork connection error.\n");
}

}  // namespace
