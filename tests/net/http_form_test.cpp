#include "net/http_form.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/loopback_http_server.h"

using namespace quill;
using namespace quill::net;

namespace {

using testsupport::LoopbackHttpServer;

class HttpFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& s = server_.server();
        s.Get("/text", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("\r\n\t  {\"revno\":\"3\"} \r\n", "text/plain");
        });
        s.Get("/long", [](const httplib::Request&, httplib::Response& res) {
            std::string text;
            for (int i = 0; text.size() < 3 * 1024 * 1024; ++i) text += std::to_string(i) + ",";
            res.set_content(text, "text/plain");
        });
        s.Get("/blank", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(" \r\n \n\t \r\n", "text/plain");
        });
        s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("no such page", "text/plain");
        });
        s.Get("/moved",
              [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/text"); });
        s.Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Content-Type") + "|" +
                                std::to_string(req.body.size()) + "|" + req.body,
                            "text/plain");
        });
        server_.Start();
    }

    LoopbackHttpServer server_;
};

TEST_F(HttpFormTest, GetTrimsTheReplyAndIdentifiesTheClient) {
    CHttpForm form("127.0.0.1", server_.port());
    EXPECT_EQ(form.Get("/text"), 1);
    EXPECT_EQ(form.ReplyText(), "{\"revno\":\"3\"}");
    EXPECT_EQ(form.ErrorCode(), 0);
    auto seen = server_.Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "GET");
    EXPECT_EQ(seen[0].headers.find("User-Agent")->second, "PDF Lumaro");

    // An absolute URL reaches the same server.
    CHttpForm other("elsewhere.invalid", 1);
    EXPECT_EQ(other.Get(server_.BaseUrl() + "/text"), 1);
    EXPECT_EQ(other.ReplyText(), "{\"revno\":\"3\"}");
}

TEST_F(HttpFormTest, LongReplyArrivesWhole) {
    std::string expected;
    for (int i = 0; expected.size() < 3 * 1024 * 1024; ++i) expected += std::to_string(i) + ",";
    CHttpForm form("127.0.0.1", server_.port());
    EXPECT_EQ(form.Get("/long"), 1);
    EXPECT_EQ(form.ReplyText(), expected);
}

TEST_F(HttpFormTest, FormsOnSeveralThreadsDoNotDisturbEachOther) {
    std::atomic<int> good{0};
    auto worker = [&] {
        for (int i = 0; i < 20; ++i) {
            CHttpForm form("127.0.0.1", server_.port());
            if (form.Get("/text") == 1 && form.ReplyText() == "{\"revno\":\"3\"}") ++good;
        }
    };
    std::thread a(worker), b(worker);
    a.join();
    b.join();
    EXPECT_EQ(good.load(), 40);
}

TEST_F(HttpFormTest, BlanksAndHashInAPlainValueAreEscapedNotCut) {
    CHttpForm form("127.0.0.1", server_.port());
    EXPECT_EQ(form.Get("/text?userid=a b#c&x=1"), 1);
    EXPECT_EQ(server_.Targets().back(), "/text?userid=a%20b%23c&x=1");
}

TEST_F(HttpFormTest, ReplyOfBlanksAndLineBreaksLeavesAnEmptyText) {
    CHttpForm form("127.0.0.1", server_.port());
    EXPECT_EQ(form.Get("/blank"), 1);
    EXPECT_EQ(form.ReplyText(), "");
}

TEST_F(HttpFormTest, StatusOtherThan200ReturnsZeroWithCodeAndStatusText) {
    CHttpForm form("127.0.0.1", server_.port());
    EXPECT_EQ(form.Get("/missing"), 0);
    EXPECT_EQ(form.ErrorCode(), 404);
    EXPECT_EQ(form.ErrorText(), "Not Found");
    EXPECT_EQ(form.ReplyText(), "");
    // The next request starts clean.
    EXPECT_EQ(form.Get("/text"), 1);
    EXPECT_EQ(form.ErrorCode(), 0);
    EXPECT_EQ(form.ErrorText(), "");
}

TEST_F(HttpFormTest, FollowsRedirects) {
    CHttpForm form("127.0.0.1", server_.port());
    EXPECT_EQ(form.Get("/moved"), 1);
    EXPECT_EQ(form.ReplyText(), "{\"revno\":\"3\"}");
}

TEST_F(HttpFormTest, PostSendsFormBodyUpToItsFirstZeroByteAndOtherBodiesWhole) {
    CHttpForm form("127.0.0.1", server_.port());
    const char formBytes[] = "a=1&b=%20\0tail";
    EXPECT_EQ(form.Post("/echo", HttpPostData(formBytes, sizeof formBytes - 1)), 1);
    EXPECT_EQ(form.ReplyText(), "application/x-www-form-urlencoded|9|a=1&b=%20");

    EXPECT_EQ(form.Post("/echo", HttpPostData(formBytes, sizeof formBytes - 1,
                                              "APPLICATION/X-WWW-FORM-URLENCODED")),
              1);
    EXPECT_EQ(form.ReplyText(), "APPLICATION/X-WWW-FORM-URLENCODED|9|a=1&b=%20");

    EXPECT_EQ(form.Post("/echo",
                        HttpPostData(formBytes, sizeof formBytes - 1, "application/octet-stream")),
              1);
    // All 14 bytes went; the reply, being text, ends at the echoed zero byte.
    EXPECT_EQ(form.ReplyText(), "application/octet-stream|14|a=1&b=%20");
    EXPECT_EQ(server_.Requests().back().method, "POST");
}

TEST_F(HttpFormTest, RefusedConnectionReportsTheTransferError) {
    CHttpForm form("127.0.0.1", testsupport::UnusedLoopbackPort());
    EXPECT_EQ(form.Get("/text"), -1);
    EXPECT_EQ(form.ErrorCode(), 7);  // libcurl: could not connect
    EXPECT_FALSE(form.ErrorText().empty());
    EXPECT_LE(form.ErrorText().size(), 255u);
    EXPECT_EQ(form.ReplyText(), "");
}

}  // namespace
