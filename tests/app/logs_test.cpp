#include "app/logs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::app;
using namespace quill::platform;

namespace {

class LogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClockForTesting([] { return platform::LocalTime{2024, 3, 5, 9, 5, 7, 42}; });
    }
    void TearDown() override {
        platform::SetClockForTesting(nullptr);
        ConfigureLogs("", "");
    }
    testsupport::TempDir dir;
};

TEST_F(LogsTest, LineAndRecordFormatsAtAFixedClock) {
    EXPECT_EQ(FormatLogLine("BuildQueues", "BEGIN"),
              "[2024-3-5 9:5:7.0042][DEBUG][BuildQueues] BEGIN\r\n");
    EXPECT_EQ(FormatRequestRecord("http://h/x", "0"), "\r\n[2024-03-05 09:05:07.042]http://h/x, 0");
}

TEST_F(LogsTest, WritersAppendWholeLinesFromManyThreads) {
    ConfigureLogs((dir / "diag.log").string(), (dir / "user.sc").string());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i) {
                WriteLog("T" + std::to_string(t), std::string(100, char('a' + t)));
                WriteRequestLog("url" + std::to_string(t), std::string(50, char('A' + t)));
            }
        });
    for (auto& th : threads) th.join();
    std::string diag = testsupport::ReadFileBytes(dir / "diag.log");
    size_t lines = 0;
    for (size_t pos = 0; (pos = diag.find("\r\n", pos)) != std::string::npos; pos += 2) ++lines;
    EXPECT_EQ(lines, 800u);
    // Every line carries one thread's text only.
    for (int t = 0; t < 4; ++t) {
        std::string expected =
            "[T" + std::to_string(t) + "] " + std::string(100, char('a' + t)) + "\r\n";
        size_t count = 0;
        for (size_t pos = 0; (pos = diag.find(expected, pos)) != std::string::npos;
             pos += expected.size())
            ++count;
        EXPECT_EQ(count, 200u);
    }
    std::string req = testsupport::ReadFileBytes(dir / "user.sc");
    EXPECT_EQ(req.size(), 800u * FormatRequestRecord("url0", std::string(50, 'A')).size());
}

TEST_F(LogsTest, UnwritableLogDropsTheLineWithoutFailing) {
    ConfigureLogs((dir / "missing" / "diag.log").string(), (dir / "missing" / "x.sc").string());
    WriteLog("Tag", "message");
    WriteRequestLog("a", "b");
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(LogsTest, PurgeKeepsThirtyDaysAndDeletesThirtyOne) {
    platform::SetClockForTesting([] { return platform::LocalTime{2024, 1, 2, 10, 0, 0, 0}; });
    for (const char* name :
         {"pdf_quillmark_20231201.log", "pdf_quillmark_20231203.log", "pdf_quillmark_20231202.log",
          "pdf_quillmark_garbage.log", "pdf_quillmark_18000101.log", "pdf_quillmark_20231301.log",
          "keep_20231101.txt"})
        testsupport::WriteFileBytes(dir / name, "x");
    EXPECT_EQ(PurgeOldLogs(dir.str()), 2);  // 32 and 31 days old
    EXPECT_FALSE(std::filesystem::exists(dir / "pdf_quillmark_20231201.log"));
    EXPECT_FALSE(std::filesystem::exists(dir / "pdf_quillmark_20231202.log"));
    EXPECT_TRUE(std::filesystem::exists(dir / "pdf_quillmark_20231203.log"));
    EXPECT_TRUE(std::filesystem::exists(dir / "pdf_quillmark_garbage.log"));
    EXPECT_TRUE(std::filesystem::exists(dir / "pdf_quillmark_18000101.log"));
    EXPECT_TRUE(std::filesystem::exists(dir / "pdf_quillmark_20231301.log"));
    EXPECT_TRUE(std::filesystem::exists(dir / "keep_20231101.txt"));
}

}  // namespace
