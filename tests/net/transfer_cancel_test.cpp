// Ending a transfer from another thread: a request that the server holds, a stalled download, an
// upload, and the requests that come after the switch.
#include "net/transfer_cancel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "net/http_form.h"
#include "support/loopback_http_server.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::net;

namespace {

using testsupport::LoopbackHttpServer;
using Clock = std::chrono::steady_clock;

class TransferCancelTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& s = server_.server();
        s.Get("/text", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("answered", "text/plain");
        });
        // Answers nothing until the server stops (or half a minute has passed).
        auto hold = [this](const httplib::Request&, httplib::Response& res) {
            const auto until = Clock::now() + std::chrono::seconds(30);
            while (!server_.stopping() && Clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            res.set_content("late", "text/plain");
        };
        s.Get("/hold", hold);
        s.Post("/hold", hold);
        // Sends the first bytes of a document, then nothing.
        server_.ServeStallingDocument("/stall.pdf");
        server_.Start();
    }

    // Runs call on another thread, throws the switch once the server has seen the given number
    // of requests, and returns call's result and how long it took.
    std::pair<int, Clock::duration> CancelDuring(const std::function<int()>& call,
                                                 size_t requests = 1) {
        const auto start = Clock::now();
        auto result = std::async(std::launch::async, call);
        while (server_.Requests().size() < requests &&
               result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // inside the transfer
        cancel_->Cancel();
        EXPECT_EQ(result.wait_for(std::chrono::seconds(20)), std::future_status::ready);
        const int value = result.get();
        return {value, Clock::now() - start};
    }

    LoopbackHttpServer server_;
    std::shared_ptr<TransferCancel> cancel_ = std::make_shared<TransferCancel>();
    testsupport::TempDir dir_;
};

TEST_F(TransferCancelTest, HeldRequestEndsAtOnceAndLaterOnesFailUntilReset) {
    CHttpForm form("127.0.0.1", server_.port());
    form.SetCancel(cancel_);
    auto [result, took] = CancelDuring([&] { return form.Get("/hold"); });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(form.ErrorCode(), TransferCancel::kCancelledCode);
    EXPECT_EQ(form.ErrorText(), TransferCancel::kCancelledText);
    EXPECT_LT(took, std::chrono::seconds(5));  // the server holds it for 30

    // Thrown once, the switch stays: the next request fails without reaching the server.
    const size_t seen = server_.Requests().size();
    EXPECT_EQ(form.Get("/text"), -1);
    EXPECT_EQ(form.ErrorCode(), TransferCancel::kCancelledCode);
    EXPECT_EQ(server_.Requests().size(), seen);

    cancel_->Reset();
    EXPECT_EQ(form.Get("/text"), 1);
    EXPECT_EQ(form.ReplyText(), "answered");
}

TEST_F(TransferCancelTest, HeldPostAndStalledDownloadEndAtOnce) {
    CHttpForm poster("127.0.0.1", server_.port());
    poster.SetCancel(cancel_);
    const std::string body(20000, 'p');
    auto [posted, postTook] = CancelDuring(
        [&] { return poster.Post("/hold", HttpPostData(body, "application/octet-stream")); });
    EXPECT_EQ(posted, -1);
    EXPECT_EQ(poster.ErrorCode(), TransferCancel::kCancelledCode);
    EXPECT_LT(postTook, std::chrono::seconds(5));

    cancel_->Reset();
    CHttpForm loader("127.0.0.1", server_.port());
    loader.SetCancel(cancel_);
    const auto path = dir_ / "doc";
    auto [loaded, loadTook] =
        CancelDuring([&] { return loader.DownloadFile("/stall.pdf", path.string()); }, 2);
    EXPECT_EQ(loaded, -1);
    EXPECT_EQ(loader.ErrorCode(), TransferCancel::kCancelledCode);
    EXPECT_LT(loadTook, std::chrono::seconds(5));  // the stall limit is a minute
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(TransferCancelTest, FormWithoutASwitchIsNotTouchedByAnother) {
    CHttpForm form("127.0.0.1", server_.port());
    cancel_->Cancel();
    EXPECT_EQ(form.Get("/text"), 1);
    EXPECT_EQ(form.ReplyText(), "answered");
}

}  // namespace
