// What the review dialog's OK does: which comments get the decision, which request goes, what
// the cards show afterwards and what the user is told.
#pragma once
#include "session/session_names.h"

#include <functional>
#include <string>
#include <vector>

#include "app/comment_index.h"
#include "platform/prompter.h"
#include "session/review_steps.h"

namespace quill::session {

inline constexpr const char* kInitiatorReviewError = "Initiator review network error.";
inline constexpr const char* kFeedbackReviewError = "Feedback review network error.";
inline constexpr const char* kEngineerCloseError = "Engineer close network error.";
inline constexpr const char* kFinishNotice = "Finish.";

// Everything the review dialog works with; the main window fills it.
struct ReviewDecisionContext {
    ReviewSteps* steps = nullptr;
    CommentIndex* comments = nullptr;
    // Names of the comments whose cards are selected now (live cards only).
    std::function<std::vector<std::string>()> selectedNames;
    platform::Prompter* prompter = nullptr;
    // Gives the comment's card a new status text and repaints it.
    std::function<void(const std::string& name, const std::string& label)> setCardLabel;
    bool feedbackMode = false;
};

// The dialog's title: "Agree"/"Disagree" in the feedback step, else "Apply"/"Do Not Apply".
std::string ReviewTitle(bool positive, bool feedbackMode);
// The card's status text after a decision.
std::string DecisionLabel(bool positive);

// Runs the decision on the dialog's comment `name` with the typed text (trimmed here). True when
// the dialog ends with OK; on false the user has been told and the dialog stays open.
// In the feedback step only the dialog's own comment is answered, whatever else is selected;
// otherwise, with several cards selected, every selected comment that the list holds gets the
// decision, one request each, and a failure in the middle keeps the others decided.
bool RunReviewDecision(const ReviewDecisionContext& context, const std::string& name, bool positive,
                       const std::string& typedText);

// The participant's finish (and the initiator's participation page): flag 1 when ticked. True
// when the finish went through; else the user has been told.
bool RunFinishStep(ReviewSteps& steps, platform::Prompter& prompter, bool ticked,
                   const std::string& typedText);

}  // namespace quill::session
