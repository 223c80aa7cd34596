// The review workflow of the main window without its window: review decisions, the check for
// new comments, publishing, finishing and closing, driven through the review client and the
// prompter so that every step runs headless.
#pragma once
#include "session/session_names.h"

#include <functional>
#include <memory>
#include <string>

#include "app/comment_index.h"
#include "app/pending_details.h"
#include "review/review_client.h"
#include "review/review_session.h"
#include "session/revision_watcher.h"

namespace quill::platform {
class Prompter;
}
namespace quill::sync {
class AutosaveWorker;
}

namespace quill::session {

enum class PublishOutcome {
    kPublished,  // every step went through
    kDeclined,   // the reviewer chose not to check the comments of others first
    kFailed,     // a network error was shown
};

enum class CloseDecision { kClose, kStay };

// The finish dialogs (the initiator's or a participant's); true when it ended with OK.
using FinishDialog = std::function<bool(bool isOpener)>;

class ReviewWorkflow {
public:
    // What the window lends the workflow. Nothing is owned; all of it outlives the workflow.
    struct Parts {
        const review::ReviewClient* client = nullptr;
        review::ReviewSession* session = nullptr;
        CommentIndex* index = nullptr;
        PendingDetails* pending = nullptr;
        platform::Prompter* prompter = nullptr;         // platform::Prompts() when null
        std::shared_ptr<WatcherState> watcher;          // the indicator's count; may be null
        std::function<sync::AutosaveWorker*()> worker;  // null until the document is open
        // The comments of others come in: hide the comments, take in the latest queue
        // revisions, show the comments again.
        std::function<void()> takeInComments;
        // The card of a comment shows a new review status.
        std::function<void(const std::string& name, const std::string& label)> cardChanged;
        // The wait for the autosave queue to drain; true when it drained. The window pumps its
        // events meanwhile. Without it: WaitForQueueDrain on the worker.
        std::function<bool()> waitForDrain;
        // Back to the hand tool before the drain waits.
        std::function<void()> selectHandTool;
        // Repaint of the indicator after its count changed.
        std::function<void()> indicatorChanged;
        // Called after each comment-detail request of a publish: the window lets its busy
        // wheel turn and repaints (user input stays queued). May be empty.
        std::function<void()> betweenRequests;
    };

    static constexpr const char* kUnpublishedQuestion =
        "New comments are not published yet.\nDo you want to publish?\n(If NO click, new "
        "comment is not published.)";
    static constexpr const char* kStillSendingMessage =
        "Some comment changes are still being sent to the server.\nPlease publish again in a "
        "moment.";
    static constexpr const char* kCountFailedOnClose =
        "Network error.\nThe unpublished comments cannot be counted.\nDo you want to close "
        "anyway?";
    static constexpr const char* kCountFailedOnFinish =
        "Network error.\nThe unpublished comments cannot be counted.";

    explicit ReviewWorkflow(Parts parts);

    // "REVIEW": the initiator's decisions go into the comment index and the cards. False
    // (after "Review network error.") when the reply lacks its object.
    bool ApplyReviewDecisions();
    // The body of the check for new comments (without the spinner): the comments of others,
    // the decisions, and the indicator back to 0.
    void TakeInNewComments();
    // Publishes the reviewer's comments and their details; see PublishOutcome.
    PublishOutcome PublishComments(bool askFirst);
    // The publish button: the held changes are retried, the queue drains, the comments are
    // published, and success is reported only when nothing is left on its way.
    PublishOutcome PublishButton();
    // Closing the window (askAgain false: the finish path has asked already).
    CloseDecision CloseRequested();
    // The finish button: true when the window is to close.
    bool FinishReview(bool isOpener, const FinishDialog& finishDialog);

private:
    platform::Prompter& Prompts() const;
    sync::AutosaveWorker* Worker() const { return parts_.worker ? parts_.worker() : nullptr; }
    bool WaitForDrain() const;
    // Changes of the reviewer's that the server does not have: "UDQSIZE" plus, when the drain
    // gave up, what is still queued or held here. False when the count could not be had.
    bool CountUnpublished(bool drained, int& count) const;
    // The comment details of the publish; true when every reply was "0".
    bool SendCommentDetails();

    Parts parts_;
};

// The request-log markers around the comment details, in the Korean code page whatever the
// client's code page: "(▼)" and "(▲)".
std::string DetailsBeginMarker(const char* what);
std::string DetailsEndMarker(const char* what);

}  // namespace quill::session
