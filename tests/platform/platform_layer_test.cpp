#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/folders.h"
#include "platform/network_probe.h"
#include "platform/process_start.h"
#include "platform/prompter.h"
#include "platform/registry_store.h"
#include "platform/single_instance.h"
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

TEST(RegistryStoreTest, SharedKeysStaySharedAndNoPlantedFileIsWrittenThrough) {
    namespace fs = std::filesystem;
    testsupport::TempDir dir;
    platform::RegistryStore store(dir.str());
    // The installation opens the tool key to every user; a tool key the client adds under it
    // is open too, and its values file is readable by all.
    const fs::path tools = dir.path() / "SOFTWARE" / "ORVANE" / "QUILLMARK" / "CURRENTTOOL";
    fs::create_directories(tools);
    fs::permissions(tools, fs::perms::all, fs::perm_options::replace);
    ASSERT_TRUE(
        store.WriteValue(std::string(platform::kCurrentToolKey) + "ELLIPSE\\", "Thickness", "3"));
    EXPECT_EQ(fs::status(tools / "ELLIPSE").permissions(), fs::perms::all);
    EXPECT_EQ(fs::status(tools / "ELLIPSE" / "values.reg").permissions() & fs::perms::others_read,
              fs::perms::others_read);
    // Keys elsewhere keep the process's own permissions.
    ASSERT_TRUE(store.WriteValue(platform::kQuillmarkKey, "CODEPAGE", "CP949"));
    EXPECT_EQ(fs::status(tools.parent_path()).permissions() & fs::perms::others_write,
              fs::perms::none);
    // A file planted under the name the store once used for its temporary file is not
    // written through, and no temporary file stays behind.
    const fs::path key = tools / "ELLIPSE";
    const fs::path victim = dir.path() / "victim";
    { std::ofstream(victim) << "keep"; }
    fs::create_symlink(victim, key / ("values.reg.tmp" + std::to_string(getpid())));
    ASSERT_TRUE(
        store.WriteValue(std::string(platform::kCurrentToolKey) + "ELLIPSE\\", "BorderStyle", "2"));
    std::ifstream kept(victim);
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "keep");
    int files = 0;
    for (const auto& entry : fs::directory_iterator(key))
        files += entry.is_regular_file() && !entry.is_symlink() ? 1 : 0;
    EXPECT_EQ(files, 1);
    EXPECT_EQ(store.ReadValue(std::string(platform::kCurrentToolKey) + "ELLIPSE\\", "Thickness"),
              "3");
    // A key that cannot be made (a file stands where its folder would go) is a failure.
    { std::ofstream(dir.path() / "BLOCKED") << "x"; }
    EXPECT_FALSE(store.WriteValue("BLOCKED\\INNER\\", "a", "b"));
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

TEST(NetworkProbeTest, TheAddressComesFromTheSwitchElseTheRegistryElseNowhere) {
    testsupport::TempDir dir;
    setenv("QUILLMARK_REGISTRY_ROOT", dir.str().c_str(), 1);
    unsetenv("QUILLMARK_PROBE_URL");
    EXPECT_EQ(platform::ProbeAddress(), "");
    platform::RegistryStore store;
    ASSERT_TRUE(
        store.WriteValue(platform::kQuillmarkKey, platform::kProbeUrlValue, "http://gw.local/"));
    EXPECT_EQ(platform::ProbeAddress(), "http://gw.local/");
    setenv("QUILLMARK_PROBE_URL", "http://127.0.0.1:1/", 1);
    EXPECT_EQ(platform::ProbeAddress(), "http://127.0.0.1:1/");
    unsetenv("QUILLMARK_PROBE_URL");
    unsetenv("QUILLMARK_REGISTRY_ROOT");
}

// Runs fn with XDG_RUNTIME_DIR unset and the temporary folder at tmp.
template <typename Fn>
void WithoutRuntimeFolder(const std::filesystem::path& tmp, Fn fn) {
    const char* run = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedRun = run ? run : "";
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string savedTmp = tmpdir ? tmpdir : "";
    unsetenv("XDG_RUNTIME_DIR");
    setenv("TMPDIR", tmp.c_str(), 1);
    fn();
    if (run) setenv("XDG_RUNTIME_DIR", savedRun.c_str(), 1);
    if (tmpdir)
        setenv("TMPDIR", savedTmp.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

TEST(SingleInstanceTest, WithoutARuntimeFolderTheLockLivesInAFolderOnlyTheUserCanUse) {
    namespace fs = std::filesystem;
    testsupport::TempDir dir;
    const fs::path own = dir / ("quillmark-" + std::to_string(getuid()));
    WithoutRuntimeFolder(dir.path(), [&] {
        EXPECT_EQ(platform::RuntimeFolder(), own.string());
        struct stat st {};
        ASSERT_EQ(lstat(own.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(st.st_uid, getuid());
        platform::SingleInstanceLock lock("1230");
        EXPECT_EQ(lock.path(), (own / "quillmark-1230.lock").string());
        EXPECT_EQ(lock.TryAcquire(), platform::SingleInstanceLock::State::Acquired);
        platform::SingleInstanceLock second("1230");
        EXPECT_EQ(second.TryAcquire(), platform::SingleInstanceLock::State::HeldElsewhere);
    });

    // A name taken first by something else (here a link to a folder of someone else's
    // choosing) is never used: the lock cannot be made, which is no "already running".
    testsupport::TempDir squatted;
    fs::create_directories(squatted / "elsewhere");
    fs::create_directory_symlink(squatted / "elsewhere",
                                 squatted / ("quillmark-" + std::to_string(getuid())));
    WithoutRuntimeFolder(squatted.path(), [&] {
        EXPECT_EQ(platform::RuntimeFolder(), "");
        platform::SingleInstanceLock lock("1230");
        EXPECT_EQ(lock.TryAcquire(), platform::SingleInstanceLock::State::Failed);
        EXPECT_FALSE(lock.held());
    });
    EXPECT_TRUE(fs::is_empty(squatted / "elsewhere"));
}

TEST(SingleInstanceTest, ALockFileThatCannotBeOpenedIsAFailureNotARunningClient) {
    testsupport::TempDir dir;
    platform::SingleInstanceLock missing("1230", (dir / "missing").string());
    EXPECT_EQ(missing.TryAcquire(), platform::SingleInstanceLock::State::Failed);
    // A link planted where the lock file goes is not followed.
    std::filesystem::create_symlink(dir / "target", dir / "quillmark-1230.lock");
    platform::SingleInstanceLock planted("1230", dir.str());
    EXPECT_EQ(planted.TryAcquire(), platform::SingleInstanceLock::State::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir / "target"));
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
