#include "session/consolidation_flow.h"
#include "session/session_names.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <set>

#include "app/logs.h"
#include "control/pdf_viewer_control.h"
#include "platform/code_page.h"
#include "platform/prompter.h"
#include "review/review_replies.h"
#include "sync/annot_by_name.h"
#include "sync/page_annot_map.h"
#include "sync/page_map_upkeep.h"

namespace quill::session {

namespace {

constexpr const char* kSendCommentTag = "(+)Send comment";
constexpr const char* kPublishParentTag = "(+)Publish parent";
constexpr const char* kConsolidationTag = "Consolidation";

// Puts everything the flow turned on back, on every way out of it.
class FlowExit {
public:
    FlowExit(const ConsolidationFlow::Parts& parts, bool& running)
        : parts_(parts), running_(running) {}
    ~FlowExit() {
        if (busy_ && parts_.showBusy) parts_.showBusy(false, {});
        if (parts_.session) parts_.session->SetPublishToParent(false);
        if (parts_.watcher) parts_.watcher->finishing = false;
        if (parts_.setControlsEnabled) parts_.setControlsEnabled(true);
        running_ = false;
    }
    FlowExit(const FlowExit&) = delete;
    FlowExit& operator=(const FlowExit&) = delete;
    void BusyOn() {
        if (parts_.showBusy) parts_.showBusy(true, ConsolidationFlow::kBusyText);
        busy_ = true;
    }

private:
    const ConsolidationFlow::Parts& parts_;
    bool& running_;
    bool busy_ = false;
};

// The applied comments' names, taken before the loops that let window messages through: those
// may change the list under a running iteration.
std::vector<std::string> AppliedNames(const CommentIndex& index) {
    std::vector<std::string> names;
    for (const auto& [name, entry] : index)
        if (entry.feedbackStatus == kFeedbackApply) names.push_back(name);
    return names;
}

bool IsRegularFileWithBytes(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

}  // namespace

std::string ConvertResultMessage(const std::string& identifier, const std::string& name) {
    const std::string format = ConsolidationFlow::kConvertResultFormat;
    std::string out;
    size_t at = 0;
    const std::string* values[] = {&identifier, &name};
    int next = 0;
    // Two "%s" in order; the values are copied as they are, never read as a format.
    for (size_t found; next < 2 && (found = format.find("%s", at)) != std::string::npos;) {
        out.append(format, at, found - at);
        out += *values[next++];
        at = found + 2;
    }
    out.append(format, at, std::string::npos);
    return out;
}

ConsolidationFlow::ConsolidationFlow(Parts parts) : parts_(std::move(parts)) {}

platform::Prompter& ConsolidationFlow::Prompts() const {
    return parts_.prompter ? *parts_.prompter : platform::Prompts();
}

void ConsolidationFlow::Pump() const {
    if (parts_.pumpEvents) parts_.pumpEvents();
}

bool ConsolidationFlow::LoadParticipants() {
    const CommandReply reply = parts_.requests->Command("PARTICIPANTS");
    std::vector<ParticipantRow> rows;
    if (!reply.arrived || !IsJsonReply(reply.body, kParticipantsOpening) ||
        !ReadParticipantRows(reply.body, rows)) {
        Prompts().Error("Comment check network error.");
        return false;
    }
    AddParticipants(participants_, rows);
    const CommandReply dates = parts_.requests->Command("LASTMODIFIEDDATE");
    std::vector<LastModifiedRow> lastModified;
    if (dates.arrived && ReadLastModifiedRows(dates.body, lastModified))
        MarkNewerComments(participants_, lastModified);
    else
        WriteLog(kConsolidationTag, "The last modification dates did not come");
    return true;
}

std::vector<AuthorLine> ConsolidationFlow::FillEngineerList() {
    return OrderEngineerList(CollectAuthors(*parts_.index, participants_), *parts_.engineers);
}

ConsolidationStop ConsolidationFlow::FinishConsolidation(bool publishChecked) {
    // Pending messages are let through while the flow runs: a second OK must not start it
    // again.
    if (running_) return ConsolidationStop::kAlreadyRunning;
    running_ = true;
    if (parts_.setControlsEnabled) parts_.setControlsEnabled(false);
    if (parts_.watcher) parts_.watcher->finishing = true;
    return Run(publishChecked);
}

ConsolidationStop ConsolidationFlow::Run(bool publishChecked) {
    FlowExit exit(parts_, running_);
    const LaunchParams& params = *parts_.params;
    CommentIndex& index = *parts_.index;

    if (params.isOpener) {
        for (const auto& [name, entry] : index) {
            if (entry.feedbackStatus == kFeedbackUnderReview) {
                Prompts().Info(kUnderReviewMessage);
                return ConsolidationStop::kUnderReview;
            }
        }
    }
    exit.BusyOn();

    const bool gather = params.gatherMode && publishChecked;
    if (gather) {
        int applied = 0;
        for (const auto& [name, entry] : index)
            if (entry.feedbackStatus == kFeedbackApply) ++applied;
        if (applied == 0 && Prompts().YesNo(kNoNewCommentQuestion) != platform::PromptAnswer::Yes)
            return ConsolidationStop::kDeclined;
    }
    Pump();

    if (gather) {
        const ConsolidationStop stop = GatherIntoTarget();
        if (stop != ConsolidationStop::kFinished) return stop;
    }

    RemoveUnappliedComments();

    const ResultDocument document = MakeResultDocument(*parts_.params, parts_.workingFolder);
    if (!SaveResultDocument(document)) return ConsolidationStop::kSave;

    const std::string id = UploadResultDocument(document.path);
    if (id.empty()) return ConsolidationStop::kUpload;

    return ReportAndFinish(document, id);
}

ConsolidationStop ConsolidationFlow::GatherIntoTarget() {
    if (parts_.requests->MergeCommentDetail() != "0") {
        Prompts().Error("Internal review submit network error.");
        return ConsolidationStop::kMergeDetail;
    }

    WriteLog(kSendCommentTag, "BEGIN");
    bool failed = false;
    for (const std::string& name : AppliedNames(*parts_.index)) {
        auto found = parts_.index->find(name);
        if (found == parts_.index->end()) continue;
        const std::string text = found->second.contents.empty() ? "N/A" : found->second.contents;
        Pump();
        if (parts_.requests->Merge(name, text) != "0") {
            WriteLog(kSendCommentTag, "Merge failed: " + name);
            failed = true;
        }
    }
    if (failed) {
        Prompts().Error("Internal review submit error.");
        return ConsolidationStop::kMerge;
    }
    WriteLog(kSendCommentTag, "END");

    if (!PublishToTarget()) return ConsolidationStop::kPublish;

    const CommandReply finish = parts_.requests->Command("FINISHINTERNALREVIEW");
    if (!finish.arrived || finish.body != "0") {
        Prompts().Error("Internal review finish error.");
        return ConsolidationStop::kFinishInternal;
    }
    return ConsolidationStop::kFinished;
}

bool ConsolidationFlow::PublishToTarget() {
    const LaunchParams& params = *parts_.params;
    WriteLog(kPublishParentTag, "BEGIN");
    parts_.session->SetPublishToParent(true);
    int changed = 0;
    for (const std::string& name : AppliedNames(*parts_.index)) {
        auto found = parts_.index->find(name);
        if (found == parts_.index->end()) continue;
        const CommentEntry& entry = found->second;
        // The entry's indexes are only a hint: the comment is the one of its name.
        const int page = entry.record ? entry.record->page : entry.pageIndex;
        const int hint = entry.record ? entry.record->annotIndex : entry.annotIndex;
        control::PdfAnnot annot =
            parts_.control ? sync::FindAnnotByName(parts_.control->GetPage(page), name, hint)
                           : control::PdfAnnot();
        if (!annot.IsValid()) {
            WriteLog(kPublishParentTag, "Not in the document, skipped: " + name);
            continue;
        }
        annot.SetColor(static_cast<int32_t>(params.COMMENTCOLOR));
        annot.SetAuthor(params.authorName);
        WriteLog(kPublishParentTag, annot.Author());
        Pump();
        // The handler may have moved things while messages went through: ask again.
        annot = sync::FindAnnotByName(parts_.control->GetPage(page), name, annot.Index());
        if (!annot.IsValid()) {
            WriteLog(kPublishParentTag, "Gone before it was queued: " + name);
            continue;
        }
        if (parts_.annotModified) parts_.annotModified(page, annot.Index());
        ++changed;
    }
    if (changed > 0) {
        // Unpublished, the comments would stay in the target review's queue, and its next
        // clear would delete them: stop, and let OK do it again.
        if (parts_.waitForDrain && !parts_.waitForDrain()) {
            WriteLog(kPublishParentTag, "The queue did not drain");
            Prompts().Info(kStillSendingMessage);
            return false;
        }
        if (parts_.publishComments && !parts_.publishComments()) {
            WriteLog(kPublishParentTag, "The publish failed");
            return false;
        }
    }
    WriteLog(kPublishParentTag, "END");
    parts_.session->SetPublishToParent(false);
    return true;
}

void ConsolidationFlow::RemoveUnappliedComments() {
    sync::PageAnnotMap* maps = parts_.pageMaps ? parts_.pageMaps() : nullptr;
    if (!parts_.control) return;
    for (auto& [name, entry] : *parts_.index) {
        if (entry.feedbackStatus == kFeedbackApply) continue;
        const int page = entry.record ? entry.record->page : entry.pageIndex;
        const int hint = entry.record ? entry.record->annotIndex : entry.annotIndex;
        control::PdfPage pdfPage = parts_.control->GetPage(page);
        // By name: an earlier attempt may have removed it, and indexes move with every removal.
        control::PdfAnnot annot = sync::FindAnnotByName(pdfPage, name, hint);
        if (!annot.IsValid()) continue;
        const int removedIndex = annot.Index();
        annot.SetReadOnly(false);
        if (!pdfPage.RemoveAnnot(annot)) {
            WriteLog(kConsolidationTag, "Cannot remove " + name);
            continue;
        }
        // The records and the list behind the removed one move down by one.
        if (maps && maps->ValidPage(page)) {
            sync::pagemaps::LowerIndicesAbove(*maps, page, removedIndex);
            if (sync::CNMObject* record = maps->Find(page, name)) record->annotIndex = -1;
        }
        for (auto& [otherName, other] : *parts_.index) {
            if (other.pageIndex != page || &other == &entry) continue;
            if (other.annotIndex > removedIndex) --other.annotIndex;
            // Without page maps the records are lowered here.
            if (!maps && other.record && other.record->page == page &&
                other.record->annotIndex > removedIndex)
                --other.record->annotIndex;
        }
        if (entry.record) entry.record->annotIndex = -1;
        entry.annotIndex = -1;
    }
}

bool ConsolidationFlow::SaveResultDocument(const ResultDocument& document) {
    // An earlier attempt's file must never pass for this one.
    if (std::remove(document.path.c_str()) != 0 && errno != ENOENT) {
        WriteLog(kConsolidationTag, "Cannot delete the old result document " + document.path);
        Prompts().Error(kSaveFailedMessage);
        return false;
    }
    const bool saved = parts_.control && parts_.control->SaveAs(document.path);
    if (!saved || !IsRegularFileWithBytes(document.path)) {
        WriteLog(kConsolidationTag, "Cannot save the result document " + document.path);
        std::remove(document.path.c_str());
        Prompts().Error(kSaveFailedMessage);
        return false;
    }
    return true;
}

std::string ConsolidationFlow::UploadResultDocument(const std::string& path) {
    const LaunchParams& params = *parts_.params;
    std::string identifier;
    try {
        ecm::EcmClient client(parts_.ecmFactory, parts_.ecmTimeouts);
        client.SetUserID(params.USERID);
        client.SetLocCD(params.SITECD);
        client.SetSvrID(params.ECM_SERVER_ID);
        client.SetHWND(parts_.mainWindow);
        if (client.Connect(params.ECM_HOST, params.ECM_PORT) <= 0) {
            WriteLog(kConsolidationTag, "Content store connect: " + client.ErrorText());
            Prompts().Error("Upload connection fail.");
            return {};
        }
        char buffer[kIdentifierBufferSize] = {};
        if (client.ContentUP(path, buffer, sizeof buffer) != 0) {
            WriteLog(kConsolidationTag, "Content store upload: " + client.ErrorText());
            // The session is of no further use; closing it is only tidy.
            client.DisConnect();
            Prompts().Error("Upload submit fail.");
            return {};
        }
        identifier = buffer;
        if (client.DisConnect() != 0) {
            WriteLog(kConsolidationTag, "Content store close: " + client.ErrorText());
            Prompts().Error("Upload close fail.");
            return {};
        }
    } catch (const std::bad_alloc&) {
        WriteLog(kConsolidationTag, "Out of memory during the upload");
    }
    return identifier;
}

ConsolidationStop ConsolidationFlow::ReportAndFinish(const ResultDocument& document,
                                                     const std::string& id) {
    const std::string converted = parts_.requests->ConvertResult(document.name, id);
    if (platform::LowerMultiByte(converted) != "true") {
        Prompts().Error(ConvertResultMessage(id, document.name));
        return ConsolidationStop::kConvertResult;
    }

    const CommandReply reply = parts_.requests->Command("PARTICIPANTS");
    std::vector<ParticipantRow> rows;
    if (!reply.arrived || !IsJsonReply(reply.body, kParticipantsOpening) ||
        !ReadParticipantRows(reply.body, rows)) {
        Prompts().Error("Comment check error.");
        return ConsolidationStop::kParticipants;
    }
    EngineerIndex& engineers = *parts_.engineers;
    std::set<std::string> matched;
    for (const ParticipantRow& row : rows) {
        // "-" alone, or "-Piping", is no engineer's key.
        if (row.name.empty() || row.discipline.empty()) continue;
        auto found = engineers.find(row.name + "-" + row.discipline);
        if (found == engineers.end()) continue;
        found->second.participantSeq = row.participantSeq;
        found->second.userId = row.userId;
        found->second.discipline = row.discipline;
        found->second.name = row.name;
        matched.insert(found->first);
    }

    for (const auto& [author, engineer] : engineers) {
        if (engineer.consolidationFinished) continue;
        if (!matched.count(author)) {
            WriteLog(kConsolidationTag, "No participant is " + author + "; not finished");
            continue;
        }
        if (parts_.requests->FinishAll(engineer.participantSeq, engineer.summary) != "0") {
            Prompts().Error("Enginner review network error.");
            return ConsolidationStop::kFinishAll;
        }
    }

    if (parts_.params->gatherMode) {
        const CommandReply close = parts_.requests->Command("SQUADCLOSEALL");
        if (!close.arrived || close.body != "0") {
            Prompts().Error("Squadcheck close network error.");
            return ConsolidationStop::kCloseSquad;
        }
    }
    // The review is closed by this client now: the watcher's next answer says so, and is no
    // reason to end the client with an error.
    if (parts_.watcher) parts_.watcher->closedByClient = true;

    if (parts_.finishDialogOk) parts_.finishDialogOk();
    std::remove(document.path.c_str());
    return ConsolidationStop::kFinished;
}

}  // namespace quill::session
