#include "ui/feedback_review_summary_dlg.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "app/launch_params.h"
#include "app/logs.h"
#include "platform/code_page.h"
#include "platform/prompter.h"
#include "review/review_client.h"
#include "review/review_session.h"
#include "support/loopback_http_server.h"
#include "support/review_server_process.h"
#include "support/temp_dir.h"
#include "ui/ui_fixture.h"

using namespace quill;
using namespace quill::ui;
using namespace quill::app;
using namespace quill::review;

namespace {

// "  검토를 마쳤습니다.  " and "수정 필요함" as the initiator types them (CP949) and as the
// participant must see them.
const std::string kReportCp949 =
    "  \xb0\xcb\xc5\xe4\xb8\xa6 \xb8\xb6\xc3\xc6\xbd\xc0\xb4\xcf\xb4\xd9.  ";
const QString kReportShown = QString::fromUtf8(
    "\xea\xb2\x80\xed\x86\xa0\xeb\xa5\xbc \xeb\xa7\x88\xec\xb3\xa4\xec\x8a\xb5\xeb\x8b\x88\xeb\x8b"
    "\xa4.");
const std::string kSummaryCp949 = "\r\n\xbc\xf6\xc1\xa4 \xc7\xca\xbf\xe4\xc7\xd4\n";
const QString kSummaryShown =
    QString::fromUtf8("\xec\x88\x98\xec\xa0\x95 \xed\x95\x84\xec\x9a\x94\xed\x95\xa8");
const char* kNetworkError = "Feedback summary network error.";

class SummaryDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        uitest::EnsureApp();
        platform::SetSystemCodePageForTesting("CP949");
        ConfigureLogs((dir_ / "diag.log").string(), (dir_ / "user.sc").string());
        auto prompter = std::make_unique<platform::ScriptedPrompter>();
        prompts_ = prompter.get();
        platform::InstallPrompter(std::move(prompter));
    }
    void TearDown() override {
        platform::InstallPrompter(nullptr);
        ConfigureLogs("", "");
        platform::SetSystemCodePageForTesting("");
    }

    LaunchParams Params(int port, const std::string& user, int patcp) {
        LaunchParams p;
        p.HOST = "127.0.0.1";
        p.PORT = port;
        p.USERID = user;
        p.OPENERID = "opener1";
        p.SQURVWMNO = 1001;
        p.RVWFILESEQ = 1;
        p.PATCPSEQ = patcp;
        p.REPATCPSEQ = 0;
        p.SITECD = "S01";
        p.docId = "10011";
        p.feedbackMode = true;
        return p;
    }

    // A server that answers every request with body.
    void Serve(const std::string& body) {
        stub_.server().Get(".*", [body](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, "text/plain");
        });
        stub_.Start();
    }

    // Runs exec() with a guard that closes a dialog that stays open; true when exec() came back
    // by itself.
    bool ExecEndsByItself(CFeedbackReviewSummaryDlg& dialog, int* result) {
        bool guarded = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            guarded = true;
            dialog.reject();
        });
        guard.start(3000);
        *result = dialog.exec();
        return !guarded;
    }

    std::vector<std::string> PromptTexts() const {
        std::vector<std::string> texts;
        for (const auto& e : prompts_->entries()) texts.push_back(e.text);
        return texts;
    }

    testsupport::TempDir dir_;
    testsupport::LoopbackHttpServer stub_;
    platform::ScriptedPrompter* prompts_ = nullptr;
    ReviewSession session_;
};

TEST_F(SummaryDialogTest, ParticipantReadsTheInitiatorsKoreanReportAndSummary) {
    testsupport::ReviewServerProcess server;
    testsupport::ReviewServerProcess::Options options;
    options.seedDemo = true;
    ASSERT_TRUE(server.Start(options)) << server.error();

    // The initiator finishes the review and writes the result summary for participant 2.
    const LaunchParams opener = Params(server.port(), "opener1", 1);
    ReviewClient openerClient(opener, session_);
    ASSERT_EQ(openerClient.SendFinish(1, kReportCp949), "0");
    openerClient.SendFinishAll(2, kSummaryCp949);

    // Participant 2 starts in the feedback step.
    const LaunchParams participant = Params(server.port(), "reviewer1", 2);
    ReviewClient client(participant, session_);
    CFeedbackReviewSummaryDlg dialog(client);
    EXPECT_FALSE(dialog.EndedAtOnce());
    EXPECT_TRUE(PromptTexts().empty());
    EXPECT_EQ(dialog.windowTitle(), "Review Summary");
    EXPECT_EQ(dialog.FinishReport(), kReportShown);
    EXPECT_EQ(dialog.ResultSummary(), kSummaryShown);
    // The request went into the request log.
    EXPECT_NE(testsupport::ReadFileBytes(dir_ / "user.sc")
                  .find("/Comm/feedbacksummary.do?squrvwmno=1001&rvwfileseq=1&patcpseq=2&"
                        "repatcpseq=0"),
              std::string::npos);

    // Placement of the controls; both edits read-only with a vertical scroll bar.
    EXPECT_EQ(dialog.FinishReportEdit()->geometry(), QRect(10, 30, 260, 70));
    EXPECT_EQ(dialog.ResultSummaryEdit()->geometry(), QRect(10, 130, 260, 70));
    EXPECT_TRUE(dialog.FinishReportEdit()->isReadOnly());
    EXPECT_TRUE(dialog.ResultSummaryEdit()->isReadOnly());
    EXPECT_EQ(dialog.FinishReportEdit()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    auto* ok = dialog.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_EQ(ok->geometry(), QRect(210, 207, 60, 26));

    // The captions in #184B79 in their boxes.
    const QImage image = dialog.grab().toImage();
    auto captionPixels = [&](int top) {
        int n = 0;
        for (int y = top; y < top + 22; ++y)
            for (int x = 10; x < 150; ++x)
                if (image.pixelColor(x, y) == QColor(0x18, 0x4B, 0x79)) ++n;
        return n;
    };
    EXPECT_GT(captionPixels(10), 5);
    EXPECT_GT(captionPixels(110), 5);

    // OK closes it.
    QTimer::singleShot(0, ok, &QPushButton::click);
    int result = -1;
    EXPECT_TRUE(ExecEndsByItself(dialog, &result));
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(SummaryDialogTest, EmptyArrayShowsEmptyEditsAndNoError) {
    testsupport::ReviewServerProcess server;
    ASSERT_TRUE(server.Start()) << server.error();  // no review data: {"summary":[]}
    const LaunchParams params =
        Params(server.port(), "reviewer1", 2);  // the client keeps a reference
    ReviewClient client(params, session_);
    CFeedbackReviewSummaryDlg dialog(client);
    EXPECT_FALSE(dialog.EndedAtOnce());
    EXPECT_TRUE(dialog.FinishReport().isEmpty());
    EXPECT_TRUE(dialog.ResultSummary().isEmpty());
    EXPECT_TRUE(PromptTexts().empty());
}

TEST_F(SummaryDialogTest, GarbageOrNoReplyShowsTheErrorAndEndsTheDialogAtOnce) {
    for (const std::string& body :
         {std::string("<html>Service Unavailable</html>"), std::string(R"({"summary":"x"})"),
          std::string(R"({"summary":[{"CMPLT_RPT_CONT":"a")")}) {
        testsupport::LoopbackHttpServer stub;
        stub.server().Get(".*", [body](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, "text/plain");
        });
        stub.Start();
        const LaunchParams params =
            Params(stub.port(), "reviewer1", 2);  // the client keeps a reference
        ReviewClient client(params, session_);
        CFeedbackReviewSummaryDlg dialog(client);
        EXPECT_TRUE(dialog.EndedAtOnce()) << body;
        int result = -1;
        EXPECT_TRUE(ExecEndsByItself(dialog, &result)) << body;
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
        // show() does not bring it up either.
        dialog.show();
        EXPECT_FALSE(dialog.isVisible());
    }
    // Nobody listening.
    const LaunchParams params =
        Params(testsupport::UnusedLoopbackPort(), "reviewer1", 2);  // the client keeps a reference
    ReviewClient client(params, session_);
    CFeedbackReviewSummaryDlg dialog(client);
    EXPECT_TRUE(dialog.EndedAtOnce());
    EXPECT_EQ(PromptTexts(), std::vector<std::string>(4, kNetworkError));
    for (const auto& e : prompts_->entries()) EXPECT_EQ(e.kind, platform::PromptKind::Error);
}

TEST_F(SummaryDialogTest, MembersOfOtherTypesShowAsEmptyText) {
    Serve(R"({"summary":[{"CMPLT_RPT_CONT":" first ","OUTCOM_CONT":"one"},)"
          R"({"CMPLT_RPT_CONT":12,"OUTCOM_CONT":{"text":"x"}}]})");
    const LaunchParams params =
        Params(stub_.port(), "reviewer1", 2);  // the client keeps a reference
    ReviewClient client(params, session_);
    CFeedbackReviewSummaryDlg dialog(client);
    EXPECT_FALSE(dialog.EndedAtOnce());
    EXPECT_TRUE(dialog.FinishReport().isEmpty());
    EXPECT_TRUE(dialog.ResultSummary().isEmpty());
    EXPECT_TRUE(PromptTexts().empty());
}

}  // namespace
