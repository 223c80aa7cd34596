#include "sync/wire/http_connector.h"

#include <gtest/gtest.h>

#include <mutex>

#include "platform/prompter.h"
#include "support/loopback_http_server.h"
#include "sync/base_exception.h"
#include "sync/wire/autosave_reply.h"
#include "sync/wire/param_form.h"
#include "sync/wire/queue_builders.h"
#include "sync/wire/queue_requests.h"
#include "sync/wire/update_reply.h"

using namespace quill;
using namespace quill::sync;
using namespace quill::platform;

namespace {

using testsupport::LoopbackHttpServer;

// A stand-in for the review server's autosave endpoints, with switches for its faults.
class HttpConnectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& s = server_.server();
        auto record = [this](const httplib::Request& req) {
            std::lock_guard<std::mutex> lock(mutex_);
            bodies_.push_back(req.body);
        };
        s.Post("/Comm/autoSave.do",
               [this, record](const httplib::Request& req, httplib::Response& res) {
                   record(req);
                   res.status = status_;
                   res.set_content(reply_, "text/plain");
               });
        s.Post("/Comm/movedcmnt.do", [record](const httplib::Request& req, httplib::Response& res) {
            record(req);
            res.set_content("0\r\n", "text/plain");
        });
        s.Get("/Comm/update.do", [this](const httplib::Request&, httplib::Response& res) {
            res.status = status_;
            res.set_content(reply_, "application/json");
        });
        s.Get("/Comm/updateFileAttach.do", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"docQ":[{"NM":"F1","REVISION_NO":9}]})", "application/json");
        });
        server_.Start();
        auto prompter = std::make_unique<platform::ScriptedPrompter>();
        prompter_ = prompter.get();
        platform::InstallPrompter(std::move(prompter));
    }

    void TearDown() override { platform::InstallPrompter(nullptr); }

    std::vector<std::string> Prompts() const {
        std::vector<std::string> texts;
        for (const auto& e : prompter_->entries()) texts.push_back(e.text);
        return texts;
    }

    std::vector<std::string> Bodies() {
        std::lock_guard<std::mutex> lock(mutex_);
        return bodies_;
    }

    static std::unique_ptr<CDocQueueModel> Item(int action) {
        BinaryContent content;
        content.content = std::make_unique<ByteBuffer>(ByteBuffer::Copy("<</NM(a b%)>>"));
        return createDocQueueModel("DOC-1", action, "A", 2, "", "kim", "a b%", &content, 0);
    }

    LoopbackHttpServer server_;
    platform::ScriptedPrompter* prompter_ = nullptr;
    std::mutex mutex_;
    std::vector<std::string> bodies_;
    int status_ = 200;
    std::string reply_ = R"({"r": 1, "revno": "12", "f": 0.5})";
};

}  // namespace

TEST_F(HttpConnectorTest, AutoSavePostsTheFormAndCopiesIntegerAndStringMembers) {
    HttpConnector connector("127.0.0.1", server_.port());
    ParamMap request = AutoSaveRequest(*Item(kActionCreate));
    auto reply = connector.Send(request);
    EXPECT_FALSE(reply->Has("errorCode"));
    EXPECT_EQ((*reply)["r"].integer(), 1);
    EXPECT_EQ((*reply)["revno"].text(), "12");
    EXPECT_FALSE(reply->Has("f"));
    ASSERT_EQ(Bodies().size(), 1u);
    const std::string body = Bodies()[0];
    EXPECT_EQ(body.rfind("CMD=AUTOSAVE&IRT=&NM=a%20b%25&actionType=0&", 0), 0u) << body;
    // The blob's "%" escapes travel escaped again.
    EXPECT_NE(body.find("&object=%250D%2500%2500"), std::string::npos) << body;
    EXPECT_EQ(body.substr(body.size() - 12), "&userId=kim&");
    EXPECT_TRUE(Prompts().empty());
    EXPECT_EQ(server_.Requests()[0].headers.find("Content-Type")->second,
              "application/x-www-form-urlencoded");
}

TEST_F(HttpConnectorTest, MoveGoesToMovedCommentAndItsZeroCountsAsSuccess) {
    HttpConnector connector("127.0.0.1", server_.port());
    auto item = Item(kActionMove);
    item->movePageNo = 0;
    ParamMap request = AutoSaveRequest(*item);
    auto reply = connector.Send(request);
    EXPECT_EQ((*reply)["r"].integer(), 0);
    EXPECT_FALSE(reply->Has("errorCode"));
    EXPECT_TRUE(Prompts().empty());
    EXPECT_NE(Bodies().at(0).find("&movePageNo=0&"), std::string::npos);
    EXPECT_EQ(server_.Targets().at(0), "/Comm/movedcmnt.do");
}

TEST_F(HttpConnectorTest, UnexpectedAutoSaveReplyWarnsAndIsStillRead) {
    HttpConnector connector("127.0.0.1", server_.port());
    reply_ = R"({"errorCode": 7, "errorMsg": "locked"})";
    ParamMap request = AutoSaveRequest(*Item(kActionUpdate));
    auto reply = connector.Send(request);
    EXPECT_EQ((*reply)["errorCode"].integer(), 7);
    EXPECT_EQ((*reply)["errorMsg"].text(), "locked");
    EXPECT_EQ(Prompts(), std::vector<std::string>{"Comment network error."});

    reply_ = "<html>busy</html>";
    auto bad = connector.Send(request);
    EXPECT_EQ((*bad)["errorCode"].integer(), kBadJsonCode);
    EXPECT_NE((*bad)["errorMsg"].text().find("\ntarget text: <html>busy</html>"),
              std::string::npos);
}

TEST_F(HttpConnectorTest, UnknownCommandIsRefusedWithoutARequest) {
    HttpConnector connector("127.0.0.1", server_.port());
    ParamMap request;
    request["CMD"] = "autosave";
    auto reply = connector.Send(request);
    EXPECT_EQ((*reply)["errorCode"].integer(), 401);
    EXPECT_EQ((*reply)["errorMsg"].text(), "Wrong command arrived.");
    EXPECT_TRUE(server_.Requests().empty());
    EXPECT_TRUE(Prompts().empty());
}

TEST_F(HttpConnectorTest, HttpFailuresBecomeErrorCodesAndAreShown) {
    HttpConnector connector("127.0.0.1", server_.port());
    ParamMap request = UpdateRequest(kCmdUpdate, "DOC-1", 4);
    const std::string url = "http://127.0.0.1:" + std::to_string(server_.port()) +
                            "/Comm/update.do?CMD=UPDATE&docId=DOC%2D1&rev=4&";

    status_ = 404;
    auto notFound = connector.Send(request);
    EXPECT_EQ((*notFound)["errorCode"].integer(), 203);
    EXPECT_EQ((*notFound)["errorMsg"].text(), "From HTTP server: 404\nNot Found\nrequest: " + url);

    status_ = 500;
    auto failed = connector.Send(request);
    EXPECT_EQ((*failed)["errorCode"].integer(), 202);
    EXPECT_EQ((*failed)["errorMsg"].text(), "From HTTP server: 500\nInternal Server Error");

    status_ = 403;
    auto forbidden = connector.Send(request);
    EXPECT_EQ((*forbidden)["errorCode"].integer(), 403);
    EXPECT_EQ((*forbidden)["errorMsg"].text(),
              "An error occured while HTTP connection...\nFrom HTTP server: 403\nForbidden");
    EXPECT_EQ(Prompts().size(), 3u);
    EXPECT_THROW(ReadUpdateList(*forbidden), BaseException);

    HttpConnector nobody("127.0.0.1", testsupport::UnusedLoopbackPort());
    auto refused = nobody.Send(request);
    EXPECT_TRUE(refused->Has("errorCode"));
    EXPECT_EQ((*refused)["errorMsg"].text().rfind("An error occured while HTTP connection...", 0),
              0u);
}

TEST_F(HttpConnectorTest, UpdateListsComeBackAsQueueItems) {
    HttpConnector connector("127.0.0.1", server_.port());
    reply_ = R"({"docQ":[{"NM":"N1","REVISION_NO":5,"ACTION_TYPE":2,"PAGE_NO":1,"OBJECT":""}]})";
    ParamMap update = UpdateRequest(kCmdUpdate, "DOC-1", 4);
    auto items = ReadQueueItems(*connector.Send(update));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->NM, "N1");
    EXPECT_EQ(items[0]->revision, 5);
    EXPECT_EQ(items[0]->actionType, 2);

    ParamMap attach = UpdateRequest(kCmdUpdateFileAttach, "DOC-1", 4);
    auto files = ReadQueueItems(*connector.Send(attach));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0]->revision, 9);
    EXPECT_EQ(server_.Targets().back(),
              "/Comm/updateFileAttach.do?CMD=UPDATE%5FFILE%5FATTACH&docId=DOC%2D1&rev=4&");
}
