#include <gtest/gtest.h>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>

#include "app/logs.h"
#include "platform/code_page.h"
#include "review/feedback_summary_reply.h"
#include "review/review_client.h"
#include "review/review_replies.h"
#include "role_fixture.h"
#include "support/review_server_process.h"
#include "support/temp_dir.h"
#include "ui/opener_review_dlg.h"
#include "widgets/hover_button.h"

using namespace quill;
using namespace quill::ui;

namespace {

// "검토" as typed on screen and as the server must receive it.
const QString kKoreanShown = QString::fromUtf8("\xea\xb2\x80\xed\x86\xa0");
const char* kKoreanOnWire = "%EA%B2%80%ED%86%A0";

class ReviewDialogServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        roletest::EnsureApp();
        platform::SetSystemCodePageForTesting("CP949");
        ConfigureLogs((dir_ / "diag.log").string(), (dir_ / "user.sc").string());
        testsupport::ReviewServerProcess::Options options;
        options.seedDemo = true;
        ASSERT_TRUE(server_.Start(options)) << server_.error();
    }
    void TearDown() override {
        ConfigureLogs("", "");
        platform::SetSystemCodePageForTesting("");
    }

    // A dialog of the launch values' role over the given comments, all selected.
    void Prepare(bool participant, const std::string& stscd, std::vector<std::string> names) {
        params_ = roletest::DemoParams(server_.port(), participant, stscd);
        client_ = std::make_unique<ReviewClient>(params_, session_);
        inner_ = std::make_unique<ClientReviewSteps>(*client_, comments_);
        steps_ = std::make_unique<roletest::CountingSteps>(inner_.get());
        for (const auto& name : names) comments_[name].contents = "contents of " + name;
        selected_ = names;
        context_.steps = steps_.get();
        context_.comments = &comments_;
        context_.prompter = &prompts_;
        context_.feedbackMode = params_.feedbackMode;
        context_.selectedNames = [this] { return selected_; };
        context_.setCardLabel = [this](const std::string& name, const std::string& label) {
            cards_[name] = label;
        };
    }

    std::map<std::string, std::string> ServerDecisions() {
        std::vector<ReviewDecision> decisions;
        EXPECT_TRUE(ReadReviewDecisions(client_->SendReviewCommand("REVIEW"), decisions));
        std::map<std::string, std::string> out;
        for (const auto& d : decisions) out[d.cmntId] = d.decision;
        return out;
    }

    std::vector<std::string> Prompts() const {
        std::vector<std::string> out;
        for (const auto& e : prompts_.entries())
            out.push_back(std::string(platform::PromptKindName(e.kind)) + ":" + e.text);
        return out;
    }

    void ClickOk(COpenerReviewDlg& dialog) {
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    }

    testsupport::TempDir dir_;
    testsupport::ReviewServerProcess server_;
    ReviewSession session_;
    LaunchParams params_;
    std::unique_ptr<ReviewClient> client_;
    CommentIndex comments_;
    std::unique_ptr<ClientReviewSteps> inner_;
    std::unique_ptr<roletest::CountingSteps> steps_;
    platform::ScriptedPrompter prompts_;
    std::vector<std::string> selected_;
    std::map<std::string, std::string> cards_;
    ReviewDecisionContext context_;
};

TEST_F(ReviewDialogServerTest, ApplyOnThreeSelectedCardsDecidesAllThree) {
    Prepare(false, "02", {"q-1", "q-2", "q-3"});
    ASSERT_TRUE(params_.isOpener);
    COpenerReviewDlg dialog(context_);
    dialog.SetPositive(true);
    dialog.SetAnnotationName("q-2");
    dialog.show();
    EXPECT_EQ(dialog.Title(), "Apply");
    dialog.SummaryEdit()->setPlainText("  looks right  ");
    ClickOk(dialog);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(steps_->sent,
              (std::vector<std::string>{"review q-1 Y looks right", "review q-2 Y looks right",
                                        "review q-3 Y looks right"}));
    const auto decisions = ServerDecisions();
    for (const char* name : {"q-1", "q-2", "q-3"}) {
        EXPECT_EQ(decisions.at(name), "Y") << name;
        EXPECT_EQ(cards_[name], "Apply") << name;
        EXPECT_EQ(comments_[name].feedbackStatus, kFeedbackApply) << name;
    }
    // Each request carried its own comment's contents.
    const std::string log = testsupport::ReadFileBytes(dir_ / "user.sc");
    EXPECT_NE(
        log.find(
            "cmntid=q-3&cmnt=looks%20right&yesno=Y&userid=opener1&contents=contents%20of%20q%2D3"),
        std::string::npos);
    EXPECT_TRUE(Prompts().empty());
}

TEST_F(ReviewDialogServerTest, ADecisionOnACommentTheListLostAddsNoEntry) {
    Prepare(false, "02", {"q-1"});
    selected_.clear();
    COpenerReviewDlg dialog(context_);
    dialog.SetAnnotationName("q-gone");
    dialog.show();
    ClickOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ServerDecisions().at("q-gone"), "Y");
    EXPECT_EQ(comments_.size(), 1u);
    EXPECT_TRUE(cards_.empty());
    EXPECT_NE(testsupport::ReadFileBytes(dir_ / "user.sc")
                  .find("cmntid=q-gone&cmnt=&yesno=Y&userid=opener1&contents=N%2FA"),
              std::string::npos);
}

TEST_F(ReviewDialogServerTest, ARefusedSecondCommentKeepsTheOthersAndTheDialogOpen) {
    const std::string refused = "q-2" + std::string(200, 'x');  // longer than the server takes
    Prepare(false, "02", {"q-1", refused, "q-3"});
    COpenerReviewDlg dialog(context_);
    dialog.SetPositive(false);
    dialog.SetAnnotationName("q-1");
    dialog.show();
    dialog.SummaryEdit()->setPlainText("not needed");
    ClickOk(dialog);

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.SummaryEdit()->toPlainText(), "not needed");
    EXPECT_EQ(steps_->sent.size(), 3u);
    const auto decisions = ServerDecisions();
    EXPECT_EQ(decisions.at("q-1"), "N");
    EXPECT_EQ(decisions.at("q-3"), "N");
    EXPECT_EQ(decisions.count(refused), 0u);
    EXPECT_EQ(cards_["q-1"], "Do Not Apply");
    EXPECT_EQ(cards_["q-3"], "Do Not Apply");
    EXPECT_EQ(cards_.count(refused), 0u);
    EXPECT_EQ(comments_[refused].feedbackStatus, kFeedbackUnderReview);
    EXPECT_EQ(Prompts(), std::vector<std::string>{"error:Initiator review network error."});
}

TEST_F(ReviewDialogServerTest, ParticipantInTheFeedbackStepAgreesOrDisagrees) {
    Prepare(true, "03", {"q-7"});
    ASSERT_TRUE(params_.feedbackMode);
    const LaunchParams opener = roletest::DemoParams(server_.port(), false);
    ReviewClient openerClient(opener, session_);
    ASSERT_EQ(openerClient.SendReview("q-7", true, "apply", "c"), "0");

    COpenerReviewDlg agree(context_);
    agree.SetPositive(true);
    EXPECT_EQ(agree.Title(), "Agree");
    COpenerReviewDlg dialog(context_);
    dialog.SetPositive(false);
    dialog.SetAnnotationName("q-7");
    dialog.show();
    EXPECT_EQ(dialog.Title(), "Disagree");
    dialog.SummaryEdit()->setPlainText("wrong line");
    ClickOk(dialog);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(steps_->sent, std::vector<std::string>{"feedback q-7 N wrong line"});
    EXPECT_EQ(Prompts(), std::vector<std::string>{"info:Finish."});
    EXPECT_EQ(ServerDecisions().at("q-7"), "C");  // a disagreement puts it back under review
    EXPECT_TRUE(cards_.empty());
}

TEST_F(ReviewDialogServerTest, InitiatorInTheFeedbackStepSendsOneFeedbackAndNoDecision) {
    Prepare(false, "03", {"q-1", "q-2", "q-3"});
    ASSERT_TRUE(params_.feedbackMode);
    ASSERT_EQ(client_->SendReview("q-1", true, "", ""), "0");
    ASSERT_EQ(client_->SendReview("q-2", false, "", ""), "0");
    ASSERT_EQ(client_->SendReview("q-3", true, "", ""), "0");
    comments_["q-1"].feedbackStatus = kFeedbackApply;
    comments_["q-2"].feedbackStatus = kFeedbackDoNotApply;
    comments_["q-3"].feedbackStatus = kFeedbackApply;

    COpenerReviewDlg dialog(context_);
    dialog.SetPositive(true);
    dialog.SetAnnotationName("q-2");
    dialog.show();
    ClickOk(dialog);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(steps_->sent, std::vector<std::string>{"feedback q-2 Y "});
    const auto decisions = ServerDecisions();
    EXPECT_EQ(decisions.at("q-1"), "Y");
    EXPECT_EQ(decisions.at("q-2"), "N");
    EXPECT_EQ(decisions.at("q-3"), "Y");
    EXPECT_EQ(comments_["q-2"].feedbackStatus, kFeedbackDoNotApply);
    EXPECT_TRUE(cards_.empty());
}

TEST_F(ReviewDialogServerTest, ASummaryWithBlanksAmpersandAndKoreanArrivesIntact) {
    Prepare(false, "02", {"q-9"});
    COpenerReviewDlg dialog(context_);
    dialog.SetPositive(false);
    dialog.SetAnnotationName("q-9");
    dialog.show();
    // The negative form writes in pure red, and the edit has the focus from the start.
    EXPECT_EQ(dialog.SummaryEdit()->palette().color(QPalette::Text), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(dialog.focusWidget(), dialog.SummaryEdit());
    QTest::keyClicks(dialog.SummaryEdit(), QStringLiteral(" A & B "));
    dialog.SummaryEdit()->insertPlainText(kKoreanShown + " \n");
    ClickOk(dialog);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ServerDecisions().at("q-9"), "N");
    const std::string log = testsupport::ReadFileBytes(dir_ / "user.sc");
    EXPECT_NE(log.find(std::string("cmntid=q-9&cmnt=A%20%26%20B%20") + kKoreanOnWire + "&yesno=N"),
              std::string::npos)
        << log;
}

TEST_F(ReviewDialogServerTest, TheCardMenusFactoryRunsTheDialogModallyForTheApplication) {
    Prepare(false, "02", {});
    comments_.clear();
    AppCommentIndex().clear();
    AppCommentIndex()["q-5"].contents = "pipe clash";
    platform::InstallPrompter(std::make_unique<platform::ScriptedPrompter>());
    std::vector<std::string> labels;
    const ReviewDialogFactory open = MakeAppReviewDialogFactory(
        *client_, AppCommentIndex(), [] { return std::vector<std::string>{"q-5"}; },
        [&labels](const std::string& name, const std::string& label) {
            labels.push_back(name + "=" + label);
        },
        false, nullptr);
    QString title;
    QTimer::singleShot(0, [&title] {
        auto* dialog = qobject_cast<COpenerReviewDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        title = dialog->Title();
        dialog->SummaryEdit()->setPlainText("move it");
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    });
    QTimer guard;  // a dialog left open would hang the test
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    guard.start(5000);
    open("q-5", false);
    platform::InstallPrompter(nullptr);

    EXPECT_EQ(title, "Do Not Apply");
    EXPECT_EQ(labels, std::vector<std::string>{"q-5=Do Not Apply"});
    EXPECT_EQ(AppCommentIndex()["q-5"].feedbackStatus, kFeedbackDoNotApply);
    EXPECT_EQ(ServerDecisions().at("q-5"), "N");
    EXPECT_NE(testsupport::ReadFileBytes(dir_ / "user.sc").find("contents=pipe%20clash"),
              std::string::npos);
    AppCommentIndex().clear();
}

}  // namespace
