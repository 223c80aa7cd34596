#include "session/review_workflow.h"
#include "session/session_names.h"

#include <algorithm>
#include <vector>

#include "app/logs.h"
#include "platform/code_page.h"
#include "platform/prompter.h"
#include "review/review_replies.h"
#include "sync/autosave_worker.h"

namespace quill::session {

namespace {

// The black triangles in the Korean code page (949): the request log is read with it.
constexpr const char kDownTriangle949[] = "\xA1\xE5";
constexpr const char kUpTriangle949[] = "\xA1\xE3";

const char* DecisionLabel(int status) {
    switch (status) {
        case kFeedbackApply:
            return "Apply";
        case kFeedbackDoNotApply:
            return "Do Not Apply";
        default:
            return "Under SC";
    }
}

// Restarts the autosave worker however the publish ends.
class ResumeOnExit {
public:
    explicit ResumeOnExit(AutosaveWorker* worker) : worker_(worker) {
        if (worker_) worker_->Suspend();
    }
    ~ResumeOnExit() {
        if (worker_) worker_->Resume();
    }
    ResumeOnExit(const ResumeOnExit&) = delete;
    ResumeOnExit& operator=(const ResumeOnExit&) = delete;

private:
    AutosaveWorker* worker_;
};

}  // namespace

std::string DetailsBeginMarker(const char* what) {
    return std::string("(") + kDownTriangle949 + ")BEGIN " + what;
}

std::string DetailsEndMarker(const char* what) {
    return std::string("(") + kUpTriangle949 + ")END " + what;
}

ReviewWorkflow::ReviewWorkflow(Parts parts) : parts_(std::move(parts)) {}

platform::Prompter& ReviewWorkflow::Prompts() const {
    return parts_.prompter ? *parts_.prompter : platform::Prompts();
}

bool ReviewWorkflow::WaitForDrain() const {
    if (parts_.waitForDrain) return parts_.waitForDrain();
    const AutosaveWorker* worker = Worker();
    return worker ? WaitForQueueDrain(*worker) : true;
}

bool ReviewWorkflow::ApplyReviewDecisions() {
    const CommandReply reply = parts_.client->SendCommand("REVIEW");
    std::vector<ReviewDecision> decisions;
    if (!reply.arrived || !ReadReviewDecisions(reply.body, decisions)) {
        Prompts().Error("Review network error.");
        return false;
    }
    for (const ReviewDecision& decision : decisions) {
        // Only comments the client knows: a lookup never makes an entry.
        auto entry = parts_.index->find(decision.cmntId);
        if (entry == parts_.index->end()) continue;
        int status = kFeedbackUnderReview;
        if (decision.decision == "Y")
            status = kFeedbackApply;
        else if (decision.decision == "N")
            status = kFeedbackDoNotApply;
        entry->second.feedbackStatus = status;
        if (parts_.cardChanged) parts_.cardChanged(entry->first, DecisionLabel(status));
    }
    return true;
}

void ReviewWorkflow::TakeInNewComments() {
    if (parts_.takeInComments) parts_.takeInComments();
    ApplyReviewDecisions();
    if (parts_.watcher) parts_.watcher->newCommentCount = 0;
    if (parts_.indicatorChanged) parts_.indicatorChanged();
}

bool ReviewWorkflow::SendCommentDetails() {
    bool allSent = true;
    PendingDetails& pending = *parts_.pending;
    // The ids are taken first: what the window handles between two requests may change the
    // sets, and an id that left them meanwhile is not sent.
    auto between = [this] {
        if (parts_.betweenRequests) parts_.betweenRequests();
    };

    WriteRequestLog(DetailsBeginMarker("CMNT CREATE"), "");
    const std::vector<std::string> creates(pending.creates.begin(), pending.creates.end());
    for (const std::string& id : creates) {
        if (!pending.creates.count(id)) continue;
        auto entry = parts_.index->find(id);
        std::string contents = entry == parts_.index->end()
                                   ? std::string()
                                   : platform::TrimMultiByte(entry->second.contents);
        if (contents.empty()) contents = "N/A";
        WriteRequestLog("(!)CMNT_DTL_CREATE(" + id + ")", contents);
        // A detail the server did not take stays for the next publish.
        if (IsSuccessReply(parts_.client->SendCommentDetail(id, contents)))
            pending.creates.erase(id);
        else
            allSent = false;
        between();
    }
    WriteRequestLog(DetailsEndMarker("CMNT CREATE"), "");

    WriteRequestLog(DetailsBeginMarker("CMNT DELETE"), "");
    std::vector<std::string> deletes;
    for (const auto& [id, flag] : pending.deletes)
        if (flag == 1) deletes.push_back(id);
    for (const std::string& id : deletes) {
        auto flag = pending.deletes.find(id);
        if (flag == pending.deletes.end() || flag->second != 1) continue;
        if (IsSuccessReply(parts_.client->DeleteCommentDetail(id))) {
            // Looked up again: the handling between requests may have changed the map.
            flag = pending.deletes.find(id);
            if (flag != pending.deletes.end()) flag->second = 0;
        } else {
            allSent = false;
        }
        WriteRequestLog("(!)CMNT_DTL_DELETE:", id);
        between();
    }
    WriteRequestLog(DetailsEndMarker("CMNT DELETE"), "");
    return allSent;
}

PublishOutcome ReviewWorkflow::PublishComments(bool askFirst) {
    ResumeOnExit resume(Worker());

    const CommandReply revision = parts_.client->SendCommand("REVISION");
    if (!revision.arrived || !IsJsonReply(revision.body, kRevnoOpening)) {
        Prompts().Error("Revision check network error.");
        return PublishOutcome::kFailed;
    }
    if (askFirst) {
        int32_t revno = 0;
        ReadRevisionReply(revision.body, revno);
        if (revno > 0) {
            if (Prompts().YesNo("New comments are published.\nDo you want to check comments?") !=
                platform::PromptAnswer::Yes)
                return PublishOutcome::kDeclined;
            TakeInNewComments();
        }
    }

    const CommandReply publish = parts_.client->SendCommand("PUBLISH");
    int32_t number = 0;
    if (!publish.arrived || !ReadReplyNumber(publish.body, number)) {
        Prompts().Error("Publish network error.");
        return PublishOutcome::kFailed;
    }
    // An empty or negative reply means nothing new was published; the revisions already
    // taken in stay taken in.
    if (number > parts_.session->LatestRevision()) parts_.session->SetLatestRevision(number);

    if (!SendCommentDetails()) {
        Prompts().Error("Engineer publish network error.");
        return PublishOutcome::kFailed;
    }
    return PublishOutcome::kPublished;
}

PublishOutcome ReviewWorkflow::PublishButton() {
    AutosaveWorker* worker = Worker();
    // Changes set aside after a failure get another chance before the publish.
    if (worker && worker->HeldCount() > 0) worker->RetryHeld();
    const bool drained = WaitForDrain();
    const PublishOutcome outcome = PublishComments(true);
    if (outcome != PublishOutcome::kPublished) return outcome;
    const bool leftBehind = !drained || (worker && (worker->Busy() || worker->HeldCount() > 0));
    if (leftBehind)
        Prompts().Info(kStillSendingMessage);
    else
        Prompts().Info("Comments are published.");
    return outcome;
}

bool ReviewWorkflow::CountUnpublished(bool drained, int& count) const {
    const CommandReply reply = parts_.client->SendCommand("UDQSIZE");
    int32_t number = 0;
    if (!reply.arrived || !ReadReplyNumber(reply.body, number)) return false;
    count = std::max<int32_t>(number, 0);
    if (const AutosaveWorker* worker = Worker()) {
        count += static_cast<int>(worker->HeldCount());
        if (!drained) count += static_cast<int>(worker->QueueSize());
    }
    return true;
}

CloseDecision ReviewWorkflow::CloseRequested() {
    if (parts_.selectHandTool) parts_.selectHandTool();
    const bool drained = WaitForDrain();
    int count = 0;
    if (!CountUnpublished(drained, count)) {
        return Prompts().YesNo(kCountFailedOnClose) == platform::PromptAnswer::Yes
                   ? CloseDecision::kClose
                   : CloseDecision::kStay;
    }
    if (count <= 0) return CloseDecision::kClose;

    switch (Prompts().YesNoCancel(kUnpublishedQuestion)) {
        case platform::PromptAnswer::Yes: {
            // A failed publish keeps the window open: the next start's "CLEAR" would delete
            // what was not published.
            if (PublishComments(false) != PublishOutcome::kPublished) return CloseDecision::kStay;
            const AutosaveWorker* worker = Worker();
            if (worker && (worker->Busy() || worker->HeldCount() > 0)) {
                Prompts().Info(kStillSendingMessage);
                return CloseDecision::kStay;
            }
            return CloseDecision::kClose;
        }
        case platform::PromptAnswer::No: {
            const CommandReply clear = parts_.client->SendCommand("CLEAR");
            if (clear.arrived && IsSuccessReply(clear.body)) return CloseDecision::kClose;
            Prompts().Error("Clear queue network error.");
            return CloseDecision::kStay;
        }
        default:
            return CloseDecision::kStay;
    }
}

bool ReviewWorkflow::FinishReview(bool isOpener, const FinishDialog& finishDialog) {
    if (parts_.selectHandTool) parts_.selectHandTool();
    const bool drained = WaitForDrain();
    int count = 0;
    if (!CountUnpublished(drained, count)) {
        Prompts().Error(kCountFailedOnFinish);
        return false;
    }
    if (count > 0 && Prompts().YesNo(kUnpublishedQuestion) == platform::PromptAnswer::Yes) {
        if (PublishComments(true) != PublishOutcome::kPublished) return false;
        const AutosaveWorker* worker = Worker();
        if (worker && (worker->Busy() || worker->HeldCount() > 0)) {
            Prompts().Info(kStillSendingMessage);
            return false;
        }
    }
    if (!finishDialog || !finishDialog(isOpener)) return false;
    Prompts().Info("Finish.");
    return true;
}

}  // namespace quill::session
