#include "net/web_request.h"

#include <gtest/gtest.h>

#include "support/loopback_http_server.h"

using namespace quill;
using namespace quill::net;

namespace {

using testsupport::LoopbackHttpServer;

TEST(WebRequestTest, StreamedSendCarriesHeadersBodyAndCookies) {
    LoopbackHttpServer server;
    server.server().Post("/upload", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_header_value("X-Part") + "|" + req.get_header_value("Cookie") +
                            "|" + std::to_string(req.body.size()) + "|" + req.body.substr(0, 6),
                        "text/plain");
    });
    server.Start();

    WebRequest request;
    ASSERT_EQ(request.OpenConnection("127.0.0.1", server.port()), 1);
    ASSERT_EQ(request.SetCookie(server.BaseUrl() + "/", "SESSION", "abc"), 1);
    ASSERT_EQ(request.OpenRequest("/upload", true, false), 1);
    EXPECT_GT(request.AddHeader("Content-Type:", "application/octet-stream", false), 0);
    EXPECT_GT(request.AddHeader("X-Part:", "one", false), 0);
    EXPECT_EQ(request.AddHeader("X-Part:", "two", false), -1);   // add-if-new: kept "one"
    EXPECT_EQ(request.AddHeader("X-Part:", "three", true), 14);  // "X-Part: three\n"
    const std::string block(300000, 'b');
    ASSERT_EQ(request.SendRequestEx(6 + 2 * block.size()), 1);
    EXPECT_EQ(request.Write("begin:", 6), 6);
    EXPECT_EQ(request.Write(block.data(), block.size()), static_cast<int>(block.size()));
    EXPECT_EQ(request.Write(block.data(), block.size()), static_cast<int>(block.size()));
    EXPECT_EQ(request.Write("x", 1), -1);  // more than announced
    ASSERT_EQ(request.EndRequest(), 1) << request.StatusCode() << " " << request.ErrorText();
    ASSERT_EQ(request.ReadReplyText(), 1);
    EXPECT_EQ(request.ReplyText(), "three|SESSION=abc|600006|begin:");
    EXPECT_EQ(request.StatusCode(), 200);
    request.Close();
}

TEST(WebRequestTest, OperationsOutOfOrderFailCleanly) {
    WebRequest request;
    EXPECT_EQ(request.OpenRequest("/x", false, false), 0);  // no connection yet
    char buffer[16];
    EXPECT_EQ(request.Read(buffer, sizeof buffer), -1);
    ASSERT_EQ(request.OpenConnection("127.0.0.1", 1), 1);
    ASSERT_EQ(request.OpenRequest("/x", true, false), 1);
    ASSERT_EQ(request.SendRequestEx(10), 1);
    EXPECT_EQ(request.EndRequest(), -1);  // nothing written of the ten bytes
    EXPECT_FALSE(request.ErrorText().empty());
}

}  // namespace
