// Decisions, feedback, finishes, comment details, merges and closes, as the client's review
// commands send them, and how they show in the review queries.
#include <gtest/gtest.h>

#include "queue_requests.h"

using namespace servertest;
using testsupport::ReviewServerProcess;

namespace {

const std::string kReview = "squrvwmno=2001&rvwfileseq=3";

class ReviewSteps : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.error();
        ASSERT_TRUE(server.AddParticipant(2001, 3, 1, "boss", "Choi Yuna", "Process", "S01", true));
        ASSERT_TRUE(server.AddParticipant(2001, 3, 2, "pipe", "Kim Minsu", "Piping", "S01"));
        ASSERT_TRUE(server.AddParticipant(2001, 3, 3, "far", "Han Jiwoo", "Civil", "S02"));
    }
    std::string Get(const std::string& target) { return server.Get(target).body; }
    std::string Detail(const std::string& id, const std::string& user, int patcp) {
        return Get("/Comm/cmntDtl.do?squrvwmno=2001&patcpseq=" + std::to_string(patcp) +
                   "&repatcpseq=0&userid=" + user + "&rvwfileseq=3&inchrguserid=boss&cmntid=" + id +
                   "&cmnt=" + testsupport::UrlEncode("text of " + id));
    }
    // Three comment details of the participant, the last one deleted again.
    bool DetailsA1B2AndADeletedC3() {
        return Detail("A1", "pipe", 2) == "0" && Detail("B2", "pipe", 2) == "0" &&
               Detail("C3", "pipe", 2) == "0" &&
               Get("/Comm/delCmntDtl.do?" + kReview + "&patcpseq=2&repatcpseq=0&cmntid=C3") == "0";
    }
    ReviewServerProcess server;
};

}  // namespace

TEST_F(ReviewSteps, DecisionsAndFeedbackShowInTheReviewList) {
    ASSERT_TRUE(DetailsA1B2AndADeletedC3());
    ASSERT_EQ(Get("/Comm/"
                  "review.do?squrvwmno=2001&patcpseq=1&repatcpseq=0&rvwfileseq=3&cmntid=A1&cmnt=ok&"
                  "yesno=Y&userid=boss&contents=N%2FA"),
              "0");
    ASSERT_EQ(Get("/Comm/"
                  "review.do?squrvwmno=2001&patcpseq=1&repatcpseq=0&rvwfileseq=3&cmntid=B2&cmnt=no&"
                  "yesno=N&userid=boss&contents=x"),
              "0");
    EXPECT_EQ(Get("/Comm/revcmnt.do?" + kReview),
              "{\"cmntReview\":[{\"CMNT_ID\":\"A1\",\"RVW_YN\":\"Y\"},{\"CMNT_ID\":\"B2\",\"RVW_"
              "YN\":\"N\"}]}");
    // A participant who disagrees puts the comment back under review; a new decision settles it.
    ASSERT_EQ(Get("/Comm/feedback.do?" + kReview + "&cmntid=A1&cmnt=why&agree=N&userid=pipe"), "0");
    ASSERT_EQ(Get("/Comm/feedback.do?" + kReview + "&cmntid=B2&cmnt=fine&agree=Y&userid=pipe"),
              "0");
    EXPECT_EQ(Get("/Comm/revcmnt.do?" + kReview),
              "{\"cmntReview\":[{\"CMNT_ID\":\"A1\",\"RVW_YN\":\"C\"},{\"CMNT_ID\":\"B2\",\"RVW_"
              "YN\":\"N\"}]}");
    ASSERT_EQ(Get("/Comm/"
                  "review.do?squrvwmno=2001&patcpseq=1&repatcpseq=0&rvwfileseq=3&cmntid=A1&cmnt=ok&"
                  "yesno=Y&userid=boss&contents=x"),
              "0");
    EXPECT_NE(Get("/Comm/revcmnt.do?" + kReview).find("{\"CMNT_ID\":\"A1\",\"RVW_YN\":\"Y\"}"),
              std::string::npos);
    // A decision other than Y or N is refused.
    EXPECT_NE(Get("/Comm/"
                  "review.do?squrvwmno=2001&patcpseq=1&repatcpseq=0&rvwfileseq=3&cmntid=A1&cmnt=&"
                  "yesno=C&userid=boss&contents=x")
                  .find("\"errorCode\":103"),
              std::string::npos);
}

TEST_F(ReviewSteps, OutcomesCarryTheDecisionAndFeedbackTexts) {
    ASSERT_TRUE(DetailsA1B2AndADeletedC3());
    ASSERT_EQ(Get("/Comm/review.do?squrvwmno=2001&patcpseq=1&repatcpseq=0&rvwfileseq=3&cmntid=A1&"
                  "cmnt=" +
                  testsupport::UrlEncode("move it, \"now\"") + "&yesno=Y&userid=boss&contents=x"),
              "0");
    ASSERT_EQ(Get("/Comm/feedback.do?" + kReview + "&cmntid=A1&cmnt=" +
                  testsupport::UrlEncode("\xEB\xB0\xB0\xEA\xB4\x80") + "&agree=N&userid=pipe"),
              "0");
    // Feedback on a comment that has no detail of its own still shows.
    ASSERT_EQ(Get("/Comm/feedback.do?" + kReview + "&cmntid=Z9&cmnt=&agree=Y&userid=pipe"), "0");
    EXPECT_EQ(Get("/Comm/cmntoutcome.do?" + kReview),
              "{\"cmntOutcome\":[{\"CMNT_ID\":\"A1\",\"RVW_YN\":\"Y\",\"RVW_CONT\":\"move it, "
              "\\\"now\\\"\",\"FDBK_YN\":\"N\",\"FDBK_CONT\":\"\xEB\xB0\xB0\xEA\xB4\x80\"},"
              "{\"CMNT_ID\":\"B2\",\"RVW_YN\":\"\",\"RVW_CONT\":\"\",\"FDBK_YN\":\"\",\"FDBK_"
              "CONT\":\"\"},{\"CMNT_ID\":\"Z9\",\"RVW_YN\":\"\",\"RVW_CONT\":\"\",\"FDBK_YN\":"
              "\"Y\",\"FDBK_CONT\":\"\"}]}");
    // A new decision settles the disagreement: its feedback goes.
    ASSERT_EQ(Get("/Comm/review.do?squrvwmno=2001&patcpseq=1&repatcpseq=0&rvwfileseq=3&cmntid=A1&"
                  "cmnt=kept&yesno=N&userid=boss&contents=x"),
              "0");
    EXPECT_NE(Get("/Comm/cmntoutcome.do?" + kReview)
                  .find("{\"CMNT_ID\":\"A1\",\"RVW_YN\":\"N\",\"RVW_CONT\":\"kept\",\"FDBK_YN\":"
                        "\"\",\"FDBK_CONT\":\"\"}"),
              std::string::npos);
}

TEST_F(ReviewSteps, ParticipantsAreListedPerSite) {
    auto all = ParseJson(Get("/Comm/cmntuser.do?" + kReview + "&sitecd=S01"))["cmnt"];
    ASSERT_EQ(all.size(), 2u);
    EXPECT_TRUE(all[0]["PATCP_SEQ"].isInt());
    EXPECT_EQ(all[1]["FST_REG_USER_ID"].asString(), "pipe");
    EXPECT_EQ(all[1]["SITE_USE_NM"].asString(), "Piping");
    EXPECT_EQ(all[1]["USER_KNM"].asString(), "Kim Minsu");
    EXPECT_EQ(ParseJson(Get("/Comm/cmntuser.do?" + kReview + "&sitecd="))["cmnt"].size(), 3u);
    EXPECT_EQ(Get("/Comm/cmntuser.do?squrvwmno=9&rvwfileseq=9&sitecd=S01"), "{\"cmnt\":[]}");
}

TEST_F(ReviewSteps, FinishesAndCommentTimesShowInLastModified) {
    // docId of review 2001 file 3 is "20013".
    Change c =
        With(Item("N1", Blob(Annot("N1", 0)), 0, "pipe"), &Change::docId, std::string("20013"));
    ASSERT_EQ(Send(server, c).status, 200);
    ASSERT_EQ(Get("/Comm/publish.do?userid=pipe&docid=20013"), "1");
    auto rows = ParseJson(Get("/Comm/lastmodifieddate.do?" + kReview))["lastmodifieddate"];
    ASSERT_EQ(rows.size(), 3u);
    Json::Value pipe;
    for (const auto& r : rows)
        if (r["FST_REG_USER_ID"].asString() == "pipe") pipe = r;
    EXPECT_EQ(pipe["SQURVW_CMNT_MNO"].asString(), "2001");
    EXPECT_EQ(pipe["FINISH_DT"].asString(), "0");
    EXPECT_EQ(pipe["CMNT_DT"].asString().size(), 14u);

    ASSERT_EQ(Get("/Comm/finish.do?" + kReview +
                  "&patcpseq=2&repatcpseq=0&userid=pipe&cmnt=done&finish=1"),
              "0");
    rows = ParseJson(Get("/Comm/lastmodifieddate.do?" + kReview))["lastmodifieddate"];
    for (const auto& r : rows)
        if (r["FST_REG_USER_ID"].asString() == "pipe") pipe = r;
    EXPECT_GE(pipe["FINISH_DT"].asString(), pipe["CMNT_DT"].asString());

    // The initiator's report and the per-engineer summary make up the feedback summary.
    EXPECT_EQ(Get("/Comm/feedbacksummary.do?" + kReview + "&patcpseq=2&repatcpseq=0"),
              "{\"summary\":[]}");
    ASSERT_EQ(Get("/Comm/finish.do?" + kReview + "&patcpseq=1&repatcpseq=0&userid=boss&cmnt=" +
                  testsupport::UrlEncode("Review closed. 검토 완료") + "&finish=0"),
              "0");
    ASSERT_EQ(Get("/Comm/finishall.do?" + kReview + "&patcpseq=2&userid=boss&cmnt=Good%20work"),
              "0");
    auto summary = ParseJson(
        Get("/Comm/feedbacksummary.do?" + kReview + "&patcpseq=2&repatcpseq=0"))["summary"];
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0]["CMPLT_RPT_CONT"].asString(), "Review closed. 검토 완료");
    EXPECT_EQ(summary[0]["OUTCOM_CONT"].asString(), "Good work");
}

TEST_F(ReviewSteps, ConsolidationCarriesAppliedCommentsIntoTheTarget) {
    ASSERT_EQ(Detail("A1", "pipe", 2), "0");
    ASSERT_EQ(Detail("B2", "pipe", 2), "0");
    ASSERT_EQ(Get("/Comm/"
                  "review.do?squrvwmno=2001&patcpseq=1&repatcpseq=0&rvwfileseq=3&cmntid=A1&cmnt=&"
                  "yesno=Y&userid=boss&contents=x"),
              "0");
    ASSERT_EQ(Get("/Comm/"
                  "review.do?squrvwmno=2001&patcpseq=1&repatcpseq=0&rvwfileseq=3&cmntid=B2&cmnt=&"
                  "yesno=N&userid=boss&contents=x"),
              "0");
    ASSERT_EQ(Get("/Comm/"
                  "mergeCommentDtl.do?tgtsqurvwmno=3001&squrvwmno=2001&patcpseq=1&repatcpseq=0&"
                  "userid=boss&rvwfileseq=3"),
              "0");
    EXPECT_EQ(Get("/Comm/revcmnt.do?squrvwmno=3001&rvwfileseq=3"),
              "{\"cmntReview\":[{\"CMNT_ID\":\"A1\",\"RVW_YN\":\"C\"}]}");
    ASSERT_EQ(Get("/Comm/"
                  "merge.do?tgtsqurvwmno=3001&squrvwmno=2001&patcpseq=1&repatcpseq=0&userid=boss&"
                  "rvwfileseq=3&cmntid=D4&cmnt=N%2FA"),
              "0");
    EXPECT_NE(Get("/Comm/revcmnt.do?squrvwmno=3001&rvwfileseq=3").find("D4"), std::string::npos);
    EXPECT_NE(Get("/Comm/"
                  "merge.do?tgtsqurvwmno=0&squrvwmno=2001&patcpseq=1&repatcpseq=0&userid=boss&"
                  "rvwfileseq=3&cmntid=D4&cmnt=x")
                  .find("errorCode"),
              std::string::npos);
    ASSERT_EQ(Get("/Comm/finishinternalreview.do?" + kReview + "&userid=boss"), "0");

    // Closing with status 03 moves the review on; 99 closes it and its clients are told so.
    ASSERT_EQ(Get("/Comm/closesquad.do?squrvwmno=2001&userid=boss&rvwfileseq=3&stscd=03"), "0");
    EXPECT_EQ(Get("/Comm/revision.do?docId=20013&rev=0&squrvwmno=2001&rvwfileseq=3"),
              "{\"revno\":\"0\"}");
    ASSERT_EQ(Get("/Comm/closesquad.do?squrvwmno=2001&userid=boss&rvwfileseq=3&stscd=99"), "0");
    auto closed = Get("/Comm/revision.do?docId=20013&rev=0&squrvwmno=2001&rvwfileseq=3");
    EXPECT_EQ(closed.find("{\"revno\":"), std::string::npos);
    EXPECT_NE(closed.find("\"errorCode\":110"), std::string::npos);
}

TEST_F(ReviewSteps, ResultDocumentGoesToTheContentStoreAndIsReported) {
    int ecm = server.ecmPort();
    auto connect =
        testsupport::LoopbackPost(ecm, "/ecm/connect?userId=boss&locCd=S01&svrId=QECM01", "");
    ASSERT_EQ(connect.status, 200);
    std::string session = connect.body;
    ASSERT_EQ(session.size(), 32u);
    std::string pdf = "%PDF-1.4 result document";
    auto stored = testsupport::LoopbackRequest(
        ecm, "POST", "/ecm/content?session=" + session + "&name=QM_SC_1.pdf", pdf,
        "application/octet-stream");
    ASSERT_EQ(stored.status, 200);
    std::string id = stored.body;
    EXPECT_LT(id.size(), 100u);
    EXPECT_EQ(testsupport::LoopbackPost(ecm, "/ecm/disconnect?session=" + session, "").body, "0");
    EXPECT_EQ(testsupport::LoopbackPost(ecm, "/ecm/disconnect?session=" + session, "").status, 403);
    EXPECT_EQ(testsupport::LoopbackGet(ecm, "/ecm/content?id=" + id).body, pdf);
    // Without a session nothing is stored.
    EXPECT_EQ(testsupport::LoopbackRequest(ecm, "POST", "/ecm/content?session=nope&name=a.pdf", pdf,
                                           "application/octet-stream")
                  .status,
              403);

    std::string convert =
        "/qendra/co/common/sign/"
        "savePdfConvertResult.xpl?sysDiv=2&squrvwMno=2001&rvwFileSeq=3&progClscd=10&fileNm=" +
        testsupport::UrlEncode("QM_SC_1.pdf") + "&siteCd=S01&ecmNo=";
    EXPECT_EQ(Get(convert + id), "true");
    EXPECT_EQ(Get(convert + "QC20990101000000-00000000"), "false");
    EXPECT_EQ(Get("/qendra/co/common/sign/savePdfConvertResult.xpl?sysDiv=2"), "false");
}

TEST(ServerDocuments, ServesDocumentsGivenAtStartAndAddedLater) {
    testsupport::TempDir dir;
    auto file = dir / "given-at-start.pdf";
    testsupport::WriteFileBytes(file, "%PDF-1.4 given");
    ReviewServerProcess server;
    ReviewServerProcess::Options options;
    options.documents = {file.string()};
    ASSERT_TRUE(server.Start(options)) << server.error();
    auto given = server.Get("/Comm/download.do?file=given-at-start.pdf");
    EXPECT_EQ(given.status, 200);
    EXPECT_EQ(given.body, "%PDF-1.4 given");
    std::string bytes(300000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    ASSERT_TRUE(server.AddDocument("later.pdf", bytes));
    EXPECT_EQ(server.Get("/Comm/download.do?file=later.pdf").body, bytes);
    EXPECT_FALSE(server.AddDocument("../escape.pdf", bytes));
    EXPECT_EQ(server.Get("/Comm/download.do?file=escape.pdf").status, 404);
}
