#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/network_probe.h"
#include "platform/process_start.h"
#include "platform/prompter.h"
#include "platform/registry_store.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::platform;

namespace {

TEST(RegistryStoreTest, ValuesRoundTripWithAwkwardBytesAndKeyCaseFolds) {
    testsupport::TempDir dir;
    platform::RegistryStore store(dir.str());
    EXPECT_FALSE(store.ReadKey(platform::kQuillmarkKey).has_value());
    ASSERT_TRUE(store.WriteValue(platform::kCurrentToolKey, "CLOUDY", "a=b\\c\nd\r"));
    ASSERT_TRUE(store.WriteValue(platform::kCurrentToolKey, "na=me", ""));
    platform::RegistryStore again(dir.str());
    EXPECT_EQ(again.ReadValue("software\\orvane\\quillmark\\currenttool\\", "CLOUDY"),
              "a=b\\c\nd\r");
    EXPECT_EQ(again.ReadValue(platform::kCurrentToolKey, "na=me"), "");
    EXPECT_FALSE(again.ReadValue(platform::kCurrentToolKey, "missing").has_value());
    // Key segments can never climb out of the root.
    EXPECT_EQ(store.KeyFile("..\\..\\etc\\"), (dir.path() / "ETC" / "values.reg").string());
}

TEST(NetworkProbeTest, ConnectsToAListenerAndFailsOnAClosedPort) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(fd, 4), 0);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/x";
    EXPECT_TRUE(platform::ProbeConnection(url, 1000));
    close(fd);
    EXPECT_FALSE(platform::ProbeConnection(url, 1000));
    EXPECT_FALSE(platform::ProbeConnection("http:///", 100));
}

TEST(ProcessStartTest, PassesArgumentsWithoutAShell) {
    testsupport::TempDir dir;
    const std::string target = (dir / "out; rm -rf x").string();
    pid_t pid = platform::StartProgram("/usr/bin/touch", {target});
    ASSERT_GT(pid, 0);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(platform::StartProgram("/nonexistent/program", {}), -1);
}

TEST(PrompterTest, LogFilePrompterWritesOneLinePerPromptAndAnswersInOrder) {
    testsupport::TempDir dir;
    platform::LogFilePrompter prompts((dir / "p.log").string(), "yes,cancel");
    prompts.Error("Line one\nline two");
    EXPECT_EQ(prompts.YesNo("Q1?"), platform::PromptAnswer::Yes);
    EXPECT_EQ(prompts.YesNoCancel("Q2?"), platform::PromptAnswer::Cancel);
    EXPECT_EQ(prompts.YesNo("Q3?"), platform::PromptAnswer::No);
    prompts.Info("i");
    prompts.Plain("p");
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "p.log"),
              "error\tLine one\\nline "
              "two\nquestion\tQ1?\nquestion\tQ2?\nquestion\tQ3?\ninfo\ti\nplain\tp\n");
}

}  // namespace
