#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "net/http_form.h"
#include "support/loopback_http_server.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::net;

namespace {

using testsupport::LoopbackHttpServer;
using testsupport::TempDir;

std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& s = server_.server();
        // Several megabytes with zero bytes in them, sent in pieces.
        s.Get("/doc.pdf", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(document_.size(), "application/pdf",
                                     [this](size_t offset, size_t length, httplib::DataSink& sink) {
                                         sink.write(document_.data() + offset,
                                                    std::min<size_t>(length, 100000));
                                         return true;
                                     });
        });
        s.Get("/missing.pdf",
              [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
        // Announces more than it sends, then drops the connection.
        s.Get("/cut.pdf", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(100000, "application/pdf",
                                     [](size_t offset, size_t, httplib::DataSink& sink) {
                                         if (offset > 0) return false;
                                         sink.write("%PDF-1.7 partial", 16);
                                         return true;
                                     });
        });
        // Sends a little, then nothing at all.
        server_.ServeStallingDocument("/stall.pdf");
        // Slow but moving: pieces spaced closer than the stall limit, longer in all.
        s.Get("/slow.pdf", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(
                8 * 1000, "application/pdf", [](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset > 0) std::this_thread::sleep_for(std::chrono::milliseconds(300));
                    sink.write(std::string(1000, 'x').data(), 1000);
                    return true;
                });
        });
        server_.Start();
    }

    std::string document_ = Pattern(5 * 1024 * 1024 + 123);
    LoopbackHttpServer server_;
    TempDir dir_;
};

TEST_F(DownloadTest, WritesTheReplyBytesToTheFile) {
    CHttpForm form("127.0.0.1", server_.port());
    auto path = dir_ / "doc";
    EXPECT_EQ(form.DownloadFile("/doc.pdf", path.string()), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(path), document_);
}

TEST_F(DownloadTest, RefusedOrFailedDownloadsLeaveNoFile) {
    auto path = dir_ / "doc";
    CHttpForm notFound("127.0.0.1", server_.port());
    EXPECT_EQ(notFound.DownloadFile("/missing.pdf", path.string()), 0);
    EXPECT_EQ(notFound.ErrorCode(), 404);
    EXPECT_FALSE(std::filesystem::exists(path));

    CHttpForm refused("127.0.0.1", testsupport::UnusedLoopbackPort());
    EXPECT_EQ(refused.DownloadFile("/doc.pdf", path.string()), -1);
    EXPECT_EQ(refused.ErrorCode(), 7);
    EXPECT_FALSE(std::filesystem::exists(path));

    CHttpForm cut("127.0.0.1", server_.port());
    EXPECT_EQ(cut.DownloadFile("/cut.pdf", path.string()), -1);
    EXPECT_EQ(cut.ErrorCode(), 18);  // libcurl: partial file
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(DownloadTest, FileThatCannotBeCreatedIsErrorMinusSix) {
    CHttpForm form("127.0.0.1", server_.port());
    std::string path = (dir_ / "no-such-folder" / "doc").string();
    EXPECT_EQ(form.DownloadFile("/doc.pdf", path), -1);
    EXPECT_EQ(form.ErrorCode(), -6);
    EXPECT_EQ(form.ErrorText(), "ERROR: Cannot Open File(" + path + ")");
}

TEST_F(DownloadTest, StalledTransferFailsInsteadOfHanging) {
    CHttpForm form("127.0.0.1", server_.port());
    form.SetTimeouts({/*connectSeconds=*/2, /*stallSeconds=*/1});
    auto path = dir_ / "doc";
    // libcurl averages the speed over a few seconds, so this takes several seconds.
    EXPECT_EQ(form.DownloadFile("/stall.pdf", path.string()), -1);
    EXPECT_EQ(form.ErrorCode(), 28);  // libcurl: operation timed out
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(DownloadTest, SlowButMovingTransferCompletes) {
    CHttpForm form("127.0.0.1", server_.port());
    form.SetTimeouts({/*connectSeconds=*/2, /*stallSeconds=*/1});
    auto path = dir_ / "doc";
    EXPECT_EQ(form.DownloadFile("/slow.pdf", path.string()), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(path), std::string(8000, 'x'));
}

}  // namespace
