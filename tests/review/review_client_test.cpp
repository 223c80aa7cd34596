#include "review/review_client.h"

#include <gtest/gtest.h>

#include "app/logs.h"
#include "platform/code_page.h"
#include "review/conversion_host.h"
#include "support/loopback_http_server.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::review;
using namespace quill::app;
using namespace quill::platform;

namespace {

using testsupport::LoopbackHttpServer;

// "가" in CP949 and in UTF-8.
const std::string kGaCp949 = "\xb0\xa1";
const std::string kGaUtf8Encoded = "%EA%B0%80";

class ReviewClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetSystemCodePageForTesting("CP949");
        ConfigureLogs((dir_ / "diag.log").string(), (dir_ / "user.sc").string());
        server_.server().Get(".*", [](const httplib::Request& req, httplib::Response& res) {
            if (req.path == "/Comm/revision.do")
                res.set_content("{\"revno\":\"2\"}", "text/plain");
            else if (req.path == "/Comm/cmntuser.do" &&  // a reply of the size in sitecd
                     req.get_param_value("sitecd").find_first_not_of("0123456789") ==
                         std::string::npos)
                res.set_content(std::string(std::stoul(req.get_param_value("sitecd")), '7'),
                                "text/plain");
            else
                res.set_content("0\r\n", "text/plain");
        });
        server_.Start();

        params_.HOST = "127.0.0.1";
        params_.PORT = server_.port();
        params_.USERID = "u1001";
        params_.OPENERID = "op77";
        params_.SQURVWMNO = 12;
        params_.PATCPSEQ = 3;
        params_.REPATCPSEQ = 4;
        params_.RVWFILESEQ = 5;
        params_.SITECD = "S01";
        params_.PROGCLSCD = "PG";
        params_.TGTSQURVWMNO = 99;
        params_.KESTRON = "127.0.0.1:" + std::to_string(server_.port());
        params_.docId = "125";
        params_.targetDocId = "995";
        session_.SetLatestRevision(41);
    }
    void TearDown() override {
        platform::SetSystemCodePageForTesting("");
        ConfigureLogs("", "");
    }

    std::string Base() const { return "http://127.0.0.1:" + std::to_string(server_.port()); }
    std::string LastTarget() const {
        auto targets = server_.Targets();
        return targets.empty() ? std::string() : targets.back();
    }
    std::string RequestLog() const { return testsupport::ReadFileBytes(dir_ / "user.sc"); }

    // Sends through f and checks the target the server saw and the request record.
    template <typename F>
    void ExpectRequest(F send, const std::string& target, const std::string& reply = "0") {
        std::string got = send();
        EXPECT_EQ(got, reply);
        EXPECT_EQ(LastTarget(), target);
        EXPECT_NE(RequestLog().find("]" + Base() + target + ", " + reply), std::string::npos)
            << target;
    }

    testsupport::TempDir dir_;
    LoopbackHttpServer server_;
    LaunchParams params_;
    ReviewSession session_;
};

TEST_F(ReviewClientTest, EveryCommandSendsItsUrlAndLogsAllButTheRevisionPoll) {
    ReviewClient client(params_, session_);
    auto command = [&](const char* name) {
        return [&client, name] { return client.SendReviewCommand(name); };
    };

    EXPECT_EQ(client.SendReviewCommand("REVISION"), "{\"revno\":\"2\"}");
    EXPECT_EQ(LastTarget(), "/Comm/revision.do?docId=125&rev=41&squrvwmno=12&rvwfileseq=5");
    EXPECT_EQ(RequestLog().find("revision.do"), std::string::npos);

    ExpectRequest(command("REVIEW"), "/Comm/revcmnt.do?squrvwmno=12&rvwfileseq=5");
    ExpectRequest(command("PUBLISH"), "/Comm/publish.do?userid=u1001&docid=125");
    ExpectRequest(command("UDQSIZE"), "/Comm/checkautosaved.do?docId=125&userId=u1001");
    ExpectRequest(command("CLEAR"), "/Comm/deletequeue.do?docId=125&userId=u1001");
    ExpectRequest(command("PARTICIPANTS"),
                  "/Comm/cmntuser.do?squrvwmno=12&rvwfileseq=5&sitecd=S01");
    ExpectRequest(command("SQUADCLOSEALL"),
                  "/Comm/closesquad.do?squrvwmno=12&userid=op77&rvwfileseq=5&stscd=03");
    ExpectRequest(command("LASTMODIFIEDDATE"),
                  "/Comm/lastmodifieddate.do?squrvwmno=12&rvwfileseq=5");
    ExpectRequest(command("FINISHINTERNALREVIEW"),
                  "/Comm/finishinternalreview.do?squrvwmno=12&rvwfileseq=5&userid=u1001");
    ExpectRequest(command("FEEDBACKSUMMARY"),
                  "/Comm/feedbacksummary.do?squrvwmno=12&rvwfileseq=5&patcpseq=3&repatcpseq=4");
    EXPECT_EQ(server_.Targets().size(), 10u);
}

TEST_F(ReviewClientTest, PublishToParentAndGatherModeChangeTheirCommands) {
    session_.SetPublishToParent(true);
    params_.gatherMode = true;
    ReviewClient client(params_, session_);
    client.SendReviewCommand("PUBLISH");
    EXPECT_EQ(LastTarget(), "/Comm/publish.do?userid=u1001&docid=995");
    client.SendReviewCommand("SQUADCLOSEALL");
    EXPECT_EQ(LastTarget(), "/Comm/closesquad.do?squrvwmno=12&userid=op77&rvwfileseq=5&stscd=99");
}

TEST_F(ReviewClientTest, UnknownCommandSendsNothingAndIsLogged) {
    ReviewClient client(params_, session_);
    EXPECT_EQ(client.SendReviewCommand("revision"), "");
    EXPECT_EQ(client.SendReviewCommand("NOSUCH"), "");
    EXPECT_TRUE(server_.Targets().empty());
    EXPECT_NE(testsupport::ReadFileBytes(dir_ / "diag.log").find("Unknown command: NOSUCH"),
              std::string::npos);
}

TEST_F(ReviewClientTest, SendersEncodeTextAsUtf8AndKeepPlainValues) {
    ReviewClient client(params_, session_);
    const std::string text = "a b&" + kGaCp949 + ".-";
    const std::string encoded = "a%20b%26" + kGaUtf8Encoded + "%2E%2D";

    ExpectRequest(
        [&] { return client.SendReview("C-1", true, text, "  " + kGaCp949 + "/x \r\n"); },
        "/Comm/review.do?squrvwmno=12&patcpseq=3&repatcpseq=4&rvwfileseq=5&cmntid=C-1&cmnt=" +
            encoded + "&yesno=Y&userid=u1001&contents=%B0%A1%2Fx");
    ExpectRequest(
        [&] { return client.SendReview("C-2", false, "", " \t "); },
        "/Comm/review.do?squrvwmno=12&patcpseq=3&repatcpseq=4&rvwfileseq=5&cmntid=C-2&cmnt="
        "&yesno=N&userid=u1001&contents=N%2FA");
    ExpectRequest([&] { return client.SendFeedback("C-3", true, text); },
                  "/Comm/feedback.do?squrvwmno=12&rvwfileseq=5&cmntid=C-3&cmnt=" + encoded +
                      "&agree=Y&userid=u1001");
    ExpectRequest(
        [&] { return client.SendFeedback("C-3", false, "ok"); },
        "/Comm/feedback.do?squrvwmno=12&rvwfileseq=5&cmntid=C-3&cmnt=ok&agree=N&userid=u1001");
    ExpectRequest(
        [&] { return client.SendFinish(1, text); },
        "/Comm/finish.do?squrvwmno=12&rvwfileseq=5&patcpseq=3&repatcpseq=4&userid=u1001&cmnt=" +
            encoded + "&finish=1");
    ExpectRequest(
        [&] { return client.SendFinishAll(7, text); },
        "/Comm/finishall.do?squrvwmno=12&rvwfileseq=5&patcpseq=7&userid=op77&cmnt=" + encoded);
    ExpectRequest([&] { return client.SendCommentDetail("C-4", text); },
                  "/Comm/cmntDtl.do?squrvwmno=12&patcpseq=3&repatcpseq=4&userid=u1001&rvwfileseq=5"
                  "&inchrguserid=op77&cmntid=C-4&cmnt=" +
                      encoded);
    ExpectRequest(
        [&] { return client.DeleteCommentDetail("C-5"); },
        "/Comm/delCmntDtl.do?squrvwmno=12&rvwfileseq=5&patcpseq=3&repatcpseq=4&cmntid=C-5");
    ExpectRequest([&] { return client.SendMerge("C-6", text); },
                  "/Comm/merge.do?tgtsqurvwmno=99&squrvwmno=12&patcpseq=3&repatcpseq=4&userid=u1001"
                  "&rvwfileseq=5&cmntid=C-6&cmnt=" +
                      encoded);
    ExpectRequest([&] { return client.SendMergeCommentDetail(); },
                  "/Comm/mergeCommentDtl.do?tgtsqurvwmno=99&squrvwmno=12&patcpseq=3&repatcpseq=4"
                  "&userid=u1001&rvwfileseq=5");
}

TEST_F(ReviewClientTest, ConvertResultGoesToTheConversionHostWithoutPort) {
    ReviewClient client(params_, session_);
    // KESTRON names no environment here, so it is the host itself (the test server).
    ExpectRequest(
        [&] { return client.SendConvertResult(kGaCp949 + " 1.pdf", "E9"); },
        "/qendra/co/common/sign/savePdfConvertResult.xpl?sysDiv=2&squrvwMno=12&rvwFileSeq=5"
        "&progClscd=PG&fileNm=" +
            kGaUtf8Encoded + "%201%2Epdf&ecmNo=E9&siteCd=S01");

    EXPECT_EQ(ConversionHost("DEV"), "conv-dev.orvane.local");
    EXPECT_EQ(ConversionHost("RUN"), "conv.orvane.local");
    EXPECT_EQ(ConversionHost("TEST"), "conv-test.orvane.local");
    EXPECT_EQ(ConversionHost("NGR"), "conv-ngr.orvane.local");
    EXPECT_EQ(ConversionHost("dev"), "dev");
}

TEST_F(ReviewClientTest, DeadServerGivesAnEmptyReplyThatIsStillLogged) {
    params_.PORT = testsupport::UnusedLoopbackPort();
    ReviewClient client(params_, session_);
    EXPECT_EQ(client.SendReviewCommand("CLEAR"), "");
    std::string url = "http://127.0.0.1:" + std::to_string(params_.PORT) +
                      "/Comm/deletequeue.do?docId=125&userId=u1001";
    EXPECT_NE(RequestLog().find("]" + url + ", "), std::string::npos);
}

TEST_F(ReviewClientTest, ValuesFromOutsideCannotAddParameters) {
    // A comment id comes from another reviewer's client: whatever it holds stays one value.
    params_.USERID = "u1&rev=9";
    ReviewClient client(params_, session_);
    client.SendFeedback("C1&agree=Y#x", false, "t");
    EXPECT_EQ(LastTarget(),
              "/Comm/feedback.do?squrvwmno=12&rvwfileseq=5&cmntid=C1%26agree%3DY%23x&cmnt=t&"
              "agree=N&userid=u1%26rev%3D9");
    client.DeleteCommentDetail("0a1B-2c3d_4.5~6");
    EXPECT_NE(LastTarget().find("&cmntid=0a1B-2c3d_4.5~6"), std::string::npos) << LastTarget();
    EXPECT_EQ(server_.Requests().back().target.find('#'), std::string::npos);
}

TEST_F(ReviewClientTest, AReplyOfMegabytesIsAFailedReply) {
    ReviewClient client(params_, session_);
    params_.SITECD = std::to_string(ReviewClient::kMaxReviewReplyBytes);
    EXPECT_EQ(client.SendReviewCommand("PARTICIPANTS").size(), ReviewClient::kMaxReviewReplyBytes);
    params_.SITECD = std::to_string(ReviewClient::kMaxReviewReplyBytes + 1);
    EXPECT_EQ(client.SendReviewCommand("PARTICIPANTS"), "");
    EXPECT_NE(testsupport::ReadFileBytes(dir_ / "diag.log").find("Reply Too Large"),
              std::string::npos);
}

}  // namespace
