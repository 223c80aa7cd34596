#include "session/comment_event_handler.h"
#include "session/session_names.h"

#include <exception>

#include "app/logs.h"
#include "control/pdf_viewer_control.h"
#include "platform/prompter.h"
#include "session/comment_entries.h"
#include "session/comment_event_sink.h"
#include "session/reply_lookup.h"
#include "sync/annot_by_name.h"
#include "sync/autosave_worker.h"
#include "sync/page_map_upkeep.h"
#include "sync/wire/queue_model.h"

namespace quill::session {

namespace {

// "REPLY=<kind>,<comment name>,<page>,<index>" of the request log.
std::string ReplyRecord(const char* kind, const std::string& comment, int page, int index) {
    return std::string("REPLY=") + kind + "," + comment + "," + std::to_string(page) + "," +
           std::to_string(index);
}

}  // namespace

CommentEventHandler::CommentEventHandler(control::PdfViewerControl& control, AutosaveWorker& worker,
                                         CommentIndex& index, PendingDetails& pending,
                                         ToolSettings& tools, const SubjectToolTable& subjects,
                                         CommentEventSink& sink, CommentAuthoring authoring)
    : control_(control),
      worker_(worker),
      index_(index),
      pending_(pending),
      tools_(tools),
      subjects_(subjects),
      sink_(sink),
      authoring_(std::move(authoring)) {}

void CommentEventHandler::Guarded(const char* step, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        WriteLog(step, e.what());
        platform::Prompts().Error(e.what());
    }
}

void CommentEventHandler::AnnotAdded(int32_t page, int32_t index) {
    Guarded("AnnotAdded", [&] { AddOwnComment(page, index); });
}

void CommentEventHandler::AddOwnComment(int page, int index) {
    control::PdfAnnot annot = control_.GetPage(page).GetAnnot(index);
    if (!annot.IsValid()) return;
    const std::string subject = annot.Subject();
    annot.SetAuthor(authoring_.authorName);
    annot.SetColor(authoring_.commentColor);
    if (annot.Author() != authoring_.authorName) platform::Prompts().Error(kAuthorNameError);
    ApplyToolStyle(annot, subject);
    QueueNewComment(page, annot);
}

bool CommentEventHandler::QueueNewComment(int page, control::PdfAnnot& annot) {
    const std::string name = annot.GetName();
    if (worker_.AutoSaveAnnot(page, annot.Index(), kActionCreate) != 1) return false;
    CNMObject* record = worker_.PageMaps().Find(page, name);
    if (record) EnterComment(index_, control_, *record);
    pending_.MarkCreate(name);
    annot.SetShown(true);
    sink_.RefillCommentList();
    return true;
}

void CommentEventHandler::ApplyToolStyle(control::PdfAnnot& annot, const std::string& subject) {
    const std::string tool = ToolKeyOfSubject(subjects_, subject);
    if (tool.empty()) return;
    // A value that is missing, unreadable or out of range keeps what the tool drew: a width
    // or style of 0 would leave the comment without a visible border.
    if (auto width = StoredThickness(tools_.Value(tool, kThicknessValue)))
        annot.SetThickness(*width);
    if (auto style = StoredBorderStyle(tools_.Value(tool, kBorderStyleValue)))
        annot.SetBorderStyle(*style);
}

void CommentEventHandler::AnnotModified(int32_t page, int32_t index) {
    Guarded("AnnotModified", [&] {
        control::PdfAnnot annot = control_.GetPage(page).GetAnnot(index);
        CNMObject* record = CommentRecordAt(worker_.PageMaps(), page, index, annot);
        if (!record) {
            sink_.PostCommentMoved(page, index, annot.GetName());
            return;
        }
        const std::string name = record->uniqueName;
        if (worker_.AutoSaveAnnot(page, index, kActionUpdate) != 1) {
            platform::Prompts().Error(kCannotModify);
            return;
        }
        RefreshEntry(page, annot);
        pending_.MarkCreate(name);
        RememberToolStyle(annot);
    });
}

void CommentEventHandler::RememberToolStyle(const control::PdfAnnot& annot) {
    // The control reads the style code from the comment's border entries the way the FDF
    // text of the comment shows them.
    const int code = annot.BorderStyle();
    const int width = annot.Thickness();
    const std::string tool = ToolKeyOfSubject(subjects_, annot.Subject());
    if (tool.empty()) return;
    tools_.SaveToolSetting(tool, kThicknessValue, std::to_string(width));
    tools_.SaveToolSetting(tool, kBorderStyleValue, std::to_string(code));
}

void CommentEventHandler::AnnotDeleted(int32_t page, int32_t index) {
    Guarded("AnnotDeleted", [&] { DeleteRecorded(page, index); });
}

void CommentEventHandler::DeleteRecorded(int page, int index) {
    const CNMObject* record = pagemaps::FindCommentAt(worker_.PageMaps(), page, index);
    if (!record) return;
    const std::string name = record->uniqueName;  // the record goes with the queued deletion
    sink_.PostCommentDeleted(name);
    lastDeletedPage_ = page;
    lastDeletedName_ = name;
    index_.erase(name);
    worker_.QueueDeleteComment(page, index);
    sink_.RefillCommentList();
}

void CommentEventHandler::OnCommentMoved(int page, int annotIndex, const std::string& uniqueName) {
    Guarded("OnCommentMoved", [&] {
        control::PdfPage pdfPage = control_.GetPage(page);
        control::PdfAnnot annot = uniqueName.empty()
                                      ? pdfPage.GetAnnot(annotIndex)
                                      : FindAnnotByName(pdfPage, uniqueName, annotIndex);
        if (!annot.IsValid()) return;
        const std::string name = annot.GetName();
        // Delivered late: the comment may have been recorded meanwhile.
        if (worker_.PageMaps().ValidPage(page) && worker_.PageMaps().Find(page, name)) return;
        // The deletion that goes with a move is used once, and only for the comment it
        // deleted: any other comment without a record is a new one of the reviewer's.
        if (lastDeletedName_.empty() || lastDeletedName_ != name) {
            AddOwnComment(page, annot.Index());
            return;
        }
        const int fromPage = lastDeletedPage_;
        lastDeletedName_.clear();
        lastDeletedPage_ = -1;
        worker_.QueueMoveComment(name, fromPage, page, authoring_.docId, authoring_.userId);
        pending_.SetDelete(name, 0);
        // A move keeps whose comment it is: another reviewer's comment moved by the initiator
        // keeps its author, colour and style.
        QueueNewComment(page, annot);
    });
}

void CommentEventHandler::OnDeleteRequest(int page, const std::string& uniqueName) {
    Guarded("OnDeleteRequest", [&] {
        auto annotOf = [&]() -> control::PdfAnnot {
            const PageAnnotMap& maps = worker_.PageMaps();
            const CNMObject* record = maps.ValidPage(page) ? maps.Find(page, uniqueName) : nullptr;
            if (!record || !record->inReplyTo.empty()) return {};
            return AnnotOfRecord(control_, *record);
        };
        control::PdfAnnot annot = annotOf();
        if (!annot.IsValid()) return;
        if (annot.ReadOnly()) {
            platform::Prompts().Plain(kOwnCommentsOnly);
            return;
        }
        if (platform::Prompts().YesNo(kDeleteQuestion) != platform::PromptAnswer::Yes) return;
        // A merge may have run while the question was open.
        annot = annotOf();
        if (!annot.IsValid()) return;
        const int index = annot.Index();
        control_.GetPage(page).RemoveAnnot(annot);
        DeleteRecorded(page, index);
    });
}

bool CommentEventHandler::RefreshEntry(int page, const control::PdfAnnot& annot) {
    CNMObject* record = CommentRecordAt(worker_.PageMaps(), page, annot.Index(), annot);
    return record && EnterComment(index_, control_, *record);
}

void CommentEventHandler::ReplyAdded(int32_t page, int32_t index, const std::string& reply) {
    Guarded("ReplyAdded", [&] {
        control::PdfAnnot annot = control_.GetPage(page).GetAnnot(index);
        if (!annot.IsValid()) return;
        control::PdfReplyList replies = annot.GetReplies();
        // The reply the event names: the newest by date may be another reviewer's whose
        // clock runs ahead, or none at all for a reply dated 0.
        control::PdfReply added = ReplyOfEvent(replies, reply);
        if (added.IsValid()) added.SetAuthor(authoring_.authorName);
        annot.SetReplies(replies);
        worker_.AutoSaveReply(page, index, kActionCreate, reply);
        RefreshEntry(page, annot);
        WriteRequestLog(reply, ReplyRecord("C", annot.GetName(), page, index) + "," +
                                   (added.IsValid() ? added.GetText() : std::string()));
    });
}

void CommentEventHandler::ReplyModified(int32_t page, int32_t index, const std::string& reply) {
    Guarded("ReplyModified", [&] {
        control::PdfAnnot annot = control_.GetPage(page).GetAnnot(index);
        worker_.AutoSaveReply(page, index, kActionUpdate, reply);
        if (!annot.IsValid()) return;
        RefreshEntry(page, annot);
        const control::PdfReply changed = ReplyOfEvent(annot.GetReplies(), reply);
        WriteRequestLog(reply, ReplyRecord("U", annot.GetName(), page, index) + "," +
                                   (changed.IsValid() ? changed.GetText() : std::string()));
    });
}

void CommentEventHandler::ReplyDeleted(int32_t page, int32_t index, const std::string& reply) {
    Guarded("ReplyDeleted", [&] {
        // The control took the reply's own replies with it: the server must lose them too,
        // or they come back without a parent at the next load.
        for (const std::string& child : RecordedDescendants(worker_.PageMaps(), page, reply))
            worker_.QueueDeleteReply(page, child);
        worker_.QueueDeleteReply(page, reply);
        control::PdfAnnot annot = control_.GetPage(page).GetAnnot(index);
        if (annot.IsValid()) RefreshEntry(page, annot);
        WriteRequestLog(reply, ReplyRecord("D", annot.IsValid() ? annot.GetName() : std::string(),
                                           page, index));
    });
}

}  // namespace quill::session
