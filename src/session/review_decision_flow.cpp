#include "session/review_decision_flow.h"

#include <set>

#include "platform/code_page.h"

namespace quill::session {

namespace {

// Marks a decided comment in the list; a name the list does not hold changes nothing.
void MarkDecided(const ReviewDecisionContext& context, const std::string& name, bool positive) {
    if (!context.comments) return;
    const auto it = context.comments->find(name);
    if (it == context.comments->end()) return;
    it->second.feedbackStatus = positive ? kFeedbackApply : kFeedbackDoNotApply;
    if (context.setCardLabel) context.setCardLabel(name, DecisionLabel(positive));
}

// The selected names that the list holds, once each, in the list's key order.
std::vector<std::string> SelectedHeldNames(const ReviewDecisionContext& context) {
    std::vector<std::string> names;
    if (!context.selectedNames || !context.comments) return names;
    const std::vector<std::string> picked = context.selectedNames();
    const std::set<std::string> selected(picked.begin(), picked.end());
    for (const std::string& name : selected)
        if (context.comments->count(name) != 0) names.push_back(name);
    return names;
}

}  // namespace

std::string ReviewTitle(bool positive, bool feedbackMode) {
    if (feedbackMode) return positive ? "Agree" : "Disagree";
    return positive ? "Apply" : "Do Not Apply";
}

std::string DecisionLabel(bool positive) { return positive ? "Apply" : "Do Not Apply"; }

bool RunReviewDecision(const ReviewDecisionContext& context, const std::string& name, bool positive,
                       const std::string& typedText) {
    if (!context.steps || !context.prompter) return false;
    const std::string text = platform::TrimMultiByte(typedText);

    // The feedback step answers the dialog's own comment only: the selection must never turn a
    // participant's answer into decisions on other comments.
    if (context.feedbackMode) {
        if (!context.steps->SendFeedback(name, positive, text)) {
            context.prompter->Error(kFeedbackReviewError);
            return false;
        }
        context.prompter->Info(kFinishNotice);
        return true;
    }

    const std::vector<std::string> selected = SelectedHeldNames(context);
    if (selected.size() > 1) {
        bool allSent = true;
        for (const std::string& each : selected) {
            if (context.steps->SendReview(each, positive, text)) {
                MarkDecided(context, each, positive);
            } else {
                allSent = false;
            }
        }
        if (!allSent) context.prompter->Error(kInitiatorReviewError);
        return allSent;
    }

    if (!context.steps->SendReview(name, positive, text)) {
        context.prompter->Error(kInitiatorReviewError);
        return false;
    }
    MarkDecided(context, name, positive);
    return true;
}

bool RunFinishStep(ReviewSteps& steps, platform::Prompter& prompter, bool ticked,
                   const std::string& typedText) {
    if (!steps.SendFinish(ticked ? 1 : 0, platform::TrimMultiByte(typedText))) {
        prompter.Error(kEngineerCloseError);
        return false;
    }
    return true;
}

}  // namespace quill::session
