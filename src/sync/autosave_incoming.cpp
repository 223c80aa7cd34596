// The incoming side of the autosave worker: fetching other reviewers' changes and merging
// them into the page maps and, through the callbacks, into the viewer control.
#include "sync/autosave_worker.h"
#include "sync/sync_names.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

#include "platform/prompter.h"
#include "review/endpoints.h"
#include "sync/annot_index_tracker.h"
#include "sync/base_exception.h"
#include "sync/log_step.h"
#include "sync/page_map_upkeep.h"
#include "sync/waiting_replies.h"
#include "sync/wire/param_form.h"
#include "sync/wire/queue_builders.h"
#include "sync/wire/queue_requests.h"
#include "sync/wire/revision_list.h"
#include "sync/wire/update_reply.h"

namespace quill::sync {

namespace {

std::string MergeLine(const char* what, int page, const char* kind, const std::string& name) {
    char head[96];
    std::snprintf(head, sizeof head, "%s ANNOTS[Page]: (%d), [%s]: (", what, page, kind);
    return head + name + ")";
}

int Call(const AutosaveCallbacks::RecordCallback& callback, CNMObject& record) {
    return callback ? callback(record) : 0;
}

// Keeps the indices written back into the records however the merge ends.
class FlushOnExit {
public:
    explicit FlushOnExit(AnnotIndexTracker& tracker) : tracker_(tracker) {}
    ~FlushOnExit() { tracker_.Flush(); }
    FlushOnExit(const FlushOnExit&) = delete;
    FlushOnExit& operator=(const FlushOnExit&) = delete;

private:
    AnnotIndexTracker& tracker_;
};

// A comment item must name a comment and a reply item a reply of the parent it names: the
// two are merged differently, and taking one for the other would drop a record whose
// annotation stays in the control. An item that does not match is passed over and logged.
bool Matches(const CDocQueueModel& item, const CNMObject& record, const LogStep& step) {
    const bool replyItem = !item.IRT.empty();
    const bool replyRecord = !record.inReplyTo.empty();
    if (replyItem == replyRecord && (!replyItem || item.IRT == record.inReplyTo)) return true;
    std::string what;
    if (!replyRecord) {
        what = "a comment";
    } else {
        what = "a reply to " + record.inReplyTo;
    }
    step.Log("Item passed over, NM: " + item.NM + ", IRT: " + item.IRT + ", ACTION_TYPE: " +
             std::to_string(item.actionType) + ": the name is " + what + " here");
    return false;
}

// Moves the last reply of parent to where `before` stood among its replies.
void RestoreReplyPosition(CNMObject* parent, size_t position) {
    if (!parent || parent->replies.empty() || position >= parent->replies.size()) return;
    CNMObject* moved = parent->replies.back();
    parent->replies.pop_back();
    parent->replies.insert(parent->replies.begin() + static_cast<std::ptrdiff_t>(position), moved);
}

}  // namespace

void AutosaveWorker::_mergeQueues(CPtrArrayCustom& set) {
    LogStep step("_mergeQueues");
    AnnotIndexTracker indices(maps_);
    FlushOnExit flush(indices);
    WaitingReplies waiting(maps_);
    std::set<std::pair<std::string, int>> marked;  // top-level comments whose replies changed
    auto mark = [&](CNMObject* record, int page) {
        if (CNMObject* top = pagemaps::TopLevelOf(record)) marked.emplace(top->uniqueName, page);
    };
    // One damaged item must not stop the merge of the others.
    auto guarded = [&](const CDocQueueModel& item, auto&& apply) {
        try {
            apply();
        } catch (const BaseException& e) {
            step.Log("Item passed over, NM: " + item.NM + ", " + e.message());
        }
    };

    for (auto& item : set[CPtrArrayCustom::kAnnotsCreated]) {
        const int page = item->pageNo;
        if (!maps_.ValidPage(page) || maps_.Find(page, item->NM)) continue;
        guarded(*item, [&] {
            step.Log(MergeLine("CREATE", page, "Annot", item->NM));
            CNMObject* record = pagemaps::Enter(maps_, createAnnotModel(*item));
            waiting.Adopt(*record);  // shown with the replies that came before it
            Call(callbacks_.onRemoteAnnotCreated, *record);
            indices.Enter(page, record);
        });
    }

    for (auto& item : set[CPtrArrayCustom::kAnnotsUpdated]) {
        const int page = item->pageNo;
        CNMObject* old = maps_.Find(page, item->NM);
        if (!old || !Matches(*item, *old, step)) continue;
        guarded(*item, [&] {
            std::unique_ptr<CAnnot> fresh = createAnnotModel(*item);
            step.Log(MergeLine("UPDATE", page, "Annot", item->NM));
            fresh->annotIndex = indices.IndexOf(page, old);
            indices.Remove(page, old);  // the entries behind it move up by one
            // Keeps the comment's replies, and takes in those that came before it.
            CNMObject* record = pagemaps::Enter(maps_, std::move(fresh));
            waiting.Adopt(*record);
            Call(callbacks_.onRemoteAnnotUpdated, *record);
            indices.Enter(page, record);
        });
    }

    for (auto& item : set[CPtrArrayCustom::kAnnotsDeleted]) {
        const int page = item->pageNo;
        guarded(*item, [&] {
            step.Log(MergeLine("DELETE", page, "Annot", item->NM));
            CNMObject* old = maps_.Find(page, item->NM);
            if (!old || !Matches(*item, *old, step)) return;
            std::unique_ptr<CAnnot> gone = createAnnotModel(*item);
            gone->annotIndex = indices.IndexOf(page, old);
            indices.Remove(page, old);
            pagemaps::Remove(maps_, page, item->NM);
            Call(callbacks_.onRemoteAnnotDeleted, *gone);
        });
    }

    for (auto& item : set[CPtrArrayCustom::kRepliesCreated]) {
        const int page = item->pageNo;
        if (!maps_.ValidPage(page) || maps_.Find(page, item->NM)) continue;
        guarded(*item, [&] {
            step.Log(MergeLine("CREATE", page, "REPLY", item->NM));
            CNMObject* record = pagemaps::Enter(maps_, createAnnotModel(*item, asReply));
            waiting.Adopt(*record);
            waiting.Note(*record);
            mark(record, page);
        });
    }

    for (auto& item : set[CPtrArrayCustom::kRepliesUpdated]) {
        const int page = item->pageNo;
        CNMObject* old = maps_.Find(page, item->NM);
        if (!old || !Matches(*item, *old, step)) continue;
        guarded(*item, [&] {
            std::unique_ptr<CReply> fresh = createAnnotModel(*item, asReply);
            step.Log(MergeLine("UPDATE", page, "REPLY", item->NM));
            // The answer keeps its place among its parent's replies.
            CNMObject* parent = old->parent;
            size_t position = 0;
            if (parent) {
                auto at = std::find(parent->replies.begin(), parent->replies.end(), old);
                position = static_cast<size_t>(at - parent->replies.begin());
            }
            indices.Replace(page, old, fresh.get());
            CNMObject* record = pagemaps::Enter(maps_, std::move(fresh));
            if (record->parent == parent) RestoreReplyPosition(parent, position);
            waiting.Adopt(*record);
            mark(record, page);
        });
    }

    for (auto& item : set[CPtrArrayCustom::kRepliesDeleted]) {
        const int page = item->pageNo;
        step.Log(MergeLine("DELETE", page, "REPLY", item->NM));
        CNMObject* old = maps_.Find(page, item->NM);
        if (!old || !Matches(*item, *old, step)) continue;
        CNMObject* top = pagemaps::TopLevelOf(old);
        std::string topName = top ? top->uniqueName : std::string();
        indices.Remove(page, old);
        pagemaps::Remove(maps_, page, item->NM);
        if (!topName.empty()) marked.emplace(topName, page);
    }

    for (const auto& [name, page] : marked) {
        CNMObject* record = maps_.Find(page, name);
        if (!record) continue;
        record->annotIndex = indices.IndexOf(page, record);
        indices.Remove(page, record);  // re-imported by the callback: it goes to the end
        Call(callbacks_.onRemoteRepliesChanged, *record);
        indices.Enter(page, record);
    }
}

int AutosaveWorker::GetLastestRevisions() {
    LogStep step("GetLastestRevisions");
    lastCheckFailed_ = true;  // until the lists have been read and merged
    std::unique_ptr<AutosaveConnection> connection = connections_();
    if (!connection) return -1;

    const std::string url = quill::review::endpoint::OnServer(
        settings_.host, settings_.port,
        quill::review::endpoint::FileAttachList(settings_.docId, session_.LatestRevision()));
    std::string text;
    connection->GetText(url, text);
    std::vector<int32_t> revisions;
    if (!ReadRevisionList(text, revisions)) {
        platform::Prompts().Error("FileAttachment check error.");
        return -1;
    }

    int attachmentRevision = -1;  // the last attachment revision merged
    try {
        for (const int32_t revision : revisions) {
            std::unique_ptr<ParamMap> reply =
                connection->Send(UpdateRequest(kCmdUpdateFileAttach, settings_.docId, revision));
            int ignored = 0;
            std::unique_ptr<CPtrArrayCustom> set = BuildQueues(ReadUpdateList(*reply), ignored);
            _mergeQueues(*set);
            attachmentRevision = revision;
        }

        const int latest = session_.LatestRevision();
        std::unique_ptr<ParamMap> reply =
            connection->Send(UpdateRequest(kCmdUpdate, settings_.docId, latest));
        int highest = 0;
        std::unique_ptr<CPtrArrayCustom> set = BuildQueues(ReadUpdateList(*reply), highest);
        lastCheckFailed_ = false;
        if (latest >= highest) {
            step.Log("latest Revision empty");
            // Revisions that held attachments only are taken in as well: they must not be
            // merged again at every later check.
            if (attachmentRevision > latest) session_.SetLatestRevision(attachmentRevision);
            return -1;
        }
        _mergeQueues(*set);
        session_.SetLatestRevision(std::max({latest, highest, attachmentRevision}));
        return session_.LatestRevision();
    } catch (const BaseException& e) {
        platform::Prompts().Error("Code:" + std::to_string(e.code()) + "\n" + e.message());
        return session_.LatestRevision();
    }
}

}  // namespace quill::sync
