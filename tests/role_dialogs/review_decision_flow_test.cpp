#include "session/review_decision_flow.h"

#include <gtest/gtest.h>

#include "role_fixture.h"

using namespace quill;
using namespace quill::session;
using platform::PromptKind;

namespace {

class DecisionFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a", "b", "c", "d"})
            comments_[name].contents = "text of " + std::string(name);
        comments_["a"].feedbackStatus = kFeedbackApply;
        comments_["b"].feedbackStatus = kFeedbackDoNotApply;
        context_.steps = &steps_;
        context_.comments = &comments_;
        context_.prompter = &prompts_;
        context_.selectedNames = [this] { return selected_; };
        context_.setCardLabel = [this](const std::string& name, const std::string& label) {
            labels_.push_back(name + "=" + label);
        };
    }

    std::vector<std::string> Prompts() const {
        std::vector<std::string> out;
        for (const auto& e : prompts_.entries())
            out.push_back(std::string(platform::PromptKindName(e.kind)) + ":" + e.text);
        return out;
    }

    roletest::CountingSteps steps_;
    CommentIndex comments_;
    platform::ScriptedPrompter prompts_;
    std::vector<std::string> selected_;
    std::vector<std::string> labels_;
    ReviewDecisionContext context_;
};

TEST(ReviewTitleTest, TitleAndLabelFollowFormAndStep) {
    EXPECT_EQ(ReviewTitle(true, false), "Apply");
    EXPECT_EQ(ReviewTitle(false, false), "Do Not Apply");
    EXPECT_EQ(ReviewTitle(true, true), "Agree");
    EXPECT_EQ(ReviewTitle(false, true), "Disagree");
    EXPECT_EQ(DecisionLabel(true), "Apply");
    EXPECT_EQ(DecisionLabel(false), "Do Not Apply");
}

TEST_F(DecisionFlowTest, FeedbackStepAnswersOnlyTheDialogsCommentWhateverIsSelected) {
    context_.feedbackMode = true;
    selected_ = {"a", "b", "c"};
    EXPECT_TRUE(RunReviewDecision(context_, "b", true, "  fine \r\n"));
    EXPECT_EQ(steps_.sent, std::vector<std::string>{"feedback b Y fine"});
    // The initiator's decisions stay as they were.
    EXPECT_EQ(comments_["a"].feedbackStatus, kFeedbackApply);
    EXPECT_EQ(comments_["b"].feedbackStatus, kFeedbackDoNotApply);
    EXPECT_EQ(comments_["c"].feedbackStatus, kFeedbackUnderReview);
    EXPECT_TRUE(labels_.empty());
    EXPECT_EQ(Prompts(), std::vector<std::string>{"info:Finish."});

    // A refused answer keeps the dialog open and says so.
    steps_.refuse = {"c"};
    EXPECT_FALSE(RunReviewDecision(context_, "c", false, "no"));
    EXPECT_EQ(steps_.sent.back(), "feedback c N no");
    EXPECT_EQ(Prompts().back(), "error:Feedback review network error.");
}

TEST_F(DecisionFlowTest, SeveralSelectedDecideEachHeldCommentAndNeverAddOne) {
    selected_ = {"c", "ghost", "a", "c"};
    EXPECT_TRUE(RunReviewDecision(context_, "a", false, "drop it"));
    EXPECT_EQ(steps_.sent, (std::vector<std::string>{"review a N drop it", "review c N drop it"}));
    EXPECT_EQ(comments_.size(), 4u);  // the unknown name made no entry
    EXPECT_EQ(comments_["a"].feedbackStatus, kFeedbackDoNotApply);
    EXPECT_EQ(comments_["c"].feedbackStatus, kFeedbackDoNotApply);
    EXPECT_EQ(comments_["d"].feedbackStatus, kFeedbackUnderReview);
    EXPECT_EQ(labels_, (std::vector<std::string>{"a=Do Not Apply", "c=Do Not Apply"}));
    EXPECT_TRUE(Prompts().empty());

    // One held card and a name the list lost is one comment: only the dialog's own is decided.
    steps_.sent.clear();
    selected_ = {"b", "gone"};
    EXPECT_TRUE(RunReviewDecision(context_, "b", true, ""));
    EXPECT_EQ(steps_.sent, std::vector<std::string>{"review b Y "});
    EXPECT_EQ(comments_.count("gone"), 0u);
}

TEST_F(DecisionFlowTest, AFailureInTheMiddleKeepsTheOthersDecidedAndTellsOnce) {
    selected_ = {"a", "b", "c"};
    steps_.refuse = {"b"};
    EXPECT_FALSE(RunReviewDecision(context_, "a", true, "ok"));
    EXPECT_EQ(steps_.sent.size(), 3u);
    EXPECT_EQ(comments_["a"].feedbackStatus, kFeedbackApply);
    EXPECT_EQ(comments_["b"].feedbackStatus, kFeedbackDoNotApply);
    EXPECT_EQ(comments_["c"].feedbackStatus, kFeedbackApply);
    EXPECT_EQ(labels_, (std::vector<std::string>{"a=Apply", "c=Apply"}));
    EXPECT_EQ(Prompts(), std::vector<std::string>{"error:Initiator review network error."});
}

TEST_F(DecisionFlowTest, OneCommentDecisionMarksItsCardOnlyWhenSent) {
    EXPECT_TRUE(RunReviewDecision(context_, "d", true, "\t yes \n"));
    EXPECT_EQ(steps_.sent, std::vector<std::string>{"review d Y yes"});
    EXPECT_EQ(comments_["d"].feedbackStatus, kFeedbackApply);
    EXPECT_EQ(labels_, std::vector<std::string>{"d=Apply"});

    steps_.refuse = {"c"};
    EXPECT_FALSE(RunReviewDecision(context_, "c", false, "x"));
    EXPECT_EQ(comments_["c"].feedbackStatus, kFeedbackUnderReview);
    EXPECT_EQ(Prompts(), std::vector<std::string>{"error:Initiator review network error."});

    // A decided comment that the list no longer holds changes nothing locally.
    EXPECT_TRUE(RunReviewDecision(context_, "vanished", true, ""));
    EXPECT_EQ(comments_.count("vanished"), 0u);
}

TEST_F(DecisionFlowTest, FinishSendsTheBoxAsFlagAndTellsAFailure) {
    EXPECT_TRUE(RunFinishStep(steps_, prompts_, false, "  done  "));
    EXPECT_TRUE(RunFinishStep(steps_, prompts_, true, "all"));
    EXPECT_EQ(steps_.sent, (std::vector<std::string>{"finish 0 done", "finish 1 all"}));
    steps_.finishFails = true;
    EXPECT_FALSE(RunFinishStep(steps_, prompts_, true, "again"));
    EXPECT_EQ(Prompts(), std::vector<std::string>{"error:Engineer close network error."});
}

}  // namespace
