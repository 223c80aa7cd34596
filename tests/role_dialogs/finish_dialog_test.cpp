#include <gtest/gtest.h>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "app/logs.h"
#include "platform/code_page.h"
#include "review/feedback_summary_reply.h"
#include "review/review_client.h"
#include "role_fixture.h"
#include "support/review_server_process.h"
#include "support/temp_dir.h"
#include "ui/opener_finish_dlg.h"
#include "ui/patcp_finish_dlg.h"
#include "ui/patcp_tab_dlg.h"
#include "widgets/hover_button.h"

using namespace quill;
using namespace quill::ui;

namespace {

class FinishDialogTest : public ::testing::Test {
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

    FinishDialogContext Context(bool participant) {
        params_ = roletest::DemoParams(server_.port(), participant, "02");
        client_ = std::make_unique<ReviewClient>(params_, session_);
        inner_ = std::make_unique<ClientReviewSteps>(*client_, comments_);
        steps_ = std::make_unique<roletest::CountingSteps>(inner_.get());
        FinishDialogContext context;
        context.steps = steps_.get();
        context.prompter = &prompts_;
        context.squadDocNo = params_.SQUADDOCNO;
        return context;
    }

    static void Click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    }

    std::string RequestLog() const { return testsupport::ReadFileBytes(dir_ / "user.sc"); }

    testsupport::TempDir dir_;
    testsupport::ReviewServerProcess server_;
    ReviewSession session_;
    LaunchParams params_;
    std::unique_ptr<ReviewClient> client_;
    CommentIndex comments_;
    std::unique_ptr<ClientReviewSteps> inner_;
    std::unique_ptr<roletest::CountingSteps> steps_;
    platform::ScriptedPrompter prompts_;
};

TEST_F(FinishDialogTest, ParticipantFinishSendsTheBoxAsItsFlag) {
    const FinishDialogContext context = Context(true);
    CPatcpFinishDlg clear(context);
    EXPECT_EQ(clear.size(), QSize(314, 275));
    EXPECT_EQ(clear.FinishBox()->geometry(), QRect(25, 60, 14, 14));
    EXPECT_EQ(clear.SummaryEdit()->geometry(), QRect(25, 127, 265, 92));
    EXPECT_EQ(clear.OkButton()->pos(), QPoint(223, 227));
    clear.show();
    clear.SummaryEdit()->setPlainText("  nothing more \n");
    Click(clear.OkButton());
    EXPECT_EQ(clear.result(), QDialog::Accepted);

    CPatcpFinishDlg ticked(context);
    ticked.show();
    ticked.FinishBox()->setChecked(true);
    Click(ticked.OkButton());
    EXPECT_EQ(ticked.result(), QDialog::Accepted);

    EXPECT_EQ(steps_->sent, (std::vector<std::string>{"finish 0 nothing more", "finish 1 "}));
    const std::string log = RequestLog();
    EXPECT_NE(log.find("userid=reviewer1&cmnt=nothing%20more&finish=0"), std::string::npos);
    EXPECT_NE(log.find("userid=reviewer1&cmnt=&finish=1"), std::string::npos);
    EXPECT_TRUE(prompts_.entries().empty());
}

TEST_F(FinishDialogTest, AFailingFinishKeepsTheDialogOpenWithItsText) {
    const FinishDialogContext context = Context(true);
    ASSERT_TRUE(server_.AddFault("status:/Comm/finish.do:500"));
    CPatcpFinishDlg dialog(context);
    dialog.show();
    dialog.SummaryEdit()->setPlainText("my report");
    Click(dialog.OkButton());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.SummaryEdit()->toPlainText(), "my report");
    ASSERT_EQ(prompts_.entries().size(), 1u);
    EXPECT_EQ(prompts_.entries()[0].kind, platform::PromptKind::Error);
    EXPECT_EQ(prompts_.entries()[0].text, "Engineer close network error.");

    // The retry goes through once the server answers again.
    Click(dialog.OkButton());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(FinishDialogTest, InitiatorsParticipationPageEndsTheDialogWithOk) {
    const FinishDialogContext context = Context(false);
    COpenerFinishDlg dialog(context);
    EXPECT_EQ(dialog.size(), QSize(314, 310));
    EXPECT_EQ(dialog.TabControl()->geometry(), QRect(8, 52, 298, 247));
    ASSERT_EQ(dialog.Tabs()->count(), 2);
    EXPECT_EQ(dialog.Tabs()->tabText(0), "  Participation  ");
    EXPECT_EQ(dialog.Tabs()->tabText(1), "  Consolidation   ");
    dialog.show();
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 0);
    CPatcpTabDlg* page = dialog.ParticipationPage();
    EXPECT_TRUE(page->isVisible());
    EXPECT_FALSE(dialog.ConsolidationPage()->isVisible());
    EXPECT_EQ(page->geometry(), QRect(3, 23, 292, 221));
    EXPECT_EQ(page->FinishBox()->geometry(), QRect(15, 15, 14, 14));
    EXPECT_EQ(page->SummaryEdit()->geometry(), QRect(15, 87, 263, 55));
    EXPECT_EQ(page->OkButton()->pos(), QPoint(211, 150));

    // "검토 끝" with blanks around it.
    page->SummaryEdit()->setPlainText(
        QString::fromUtf8("  \xea\xb2\x80\xed\x86\xa0 & \xeb\x81\x9d \n"));
    page->FinishBox()->setChecked(true);
    Click(page->OkButton());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());

    FeedbackSummaryTexts texts;
    ASSERT_TRUE(ReadFeedbackSummary(client_->SendReviewCommand("FEEDBACKSUMMARY"), texts));
    EXPECT_EQ(texts.finishReport, "\xea\xb2\x80\xed\x86\xa0 & \xeb\x81\x9d");
    EXPECT_NE(
        RequestLog().find("userid=opener1&cmnt=%EA%B2%80%ED%86%A0%20%26%20%EB%81%9D&finish=1"),
        std::string::npos);
}

TEST_F(FinishDialogTest, TabsSwapThePagesAndTheConsolidationPageCanEndTheDialog) {
    FinishDialogContext context = Context(false);
    QPushButton* done = nullptr;
    context.consolidationPage = [&done](QWidget* parent, std::function<void()> endWithOk) {
        auto* page = new QWidget(parent);
        done = new QPushButton("done", page);
        QObject::connect(done, &QPushButton::clicked, page, [endWithOk] { endWithOk(); });
        return page;
    };
    COpenerFinishDlg dialog(context);
    dialog.show();
    ASSERT_NE(done, nullptr);
    dialog.Tabs()->setCurrentIndex(1);
    EXPECT_FALSE(dialog.ParticipationPage()->isVisible());
    EXPECT_TRUE(dialog.ConsolidationPage()->isVisible());
    EXPECT_EQ(dialog.ConsolidationPage()->geometry(), QRect(3, 23, 292, 221));
    dialog.Tabs()->setCurrentIndex(0);
    EXPECT_TRUE(dialog.ParticipationPage()->isVisible());
    EXPECT_FALSE(dialog.ConsolidationPage()->isVisible());

    dialog.Tabs()->setCurrentIndex(1);
    done->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(steps_->sent.empty());

    // The close button cancels.
    COpenerFinishDlg second(context);
    second.show();
    Click(second.CloseButton());
    EXPECT_EQ(second.result(), QDialog::Rejected);
}

}  // namespace
