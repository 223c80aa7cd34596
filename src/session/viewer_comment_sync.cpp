#include "session/viewer_comment_sync.h"
#include "session/session_names.h"

#include <cstdio>

#include "app/logs.h"
#include "control/pdf_viewer_control.h"
#include "session/comment_entries.h"
#include "session/read_only_rules.h"
#include "sync/annot_by_name.h"
#include "sync/base_exception.h"
#include "sync/fdf/comment_fdf.h"
#include "sync/fdf/temp_fdf_file.h"
#include "sync/nm_object.h"

namespace quill::session {

ViewerCommentSync::ViewerCommentSync(control::PdfViewerControl& control, CommentIndex& index,
                                     PendingDetails& pending, std::string workingFolder,
                                     ReviewerRole role)
    : control_(control),
      index_(index),
      pending_(pending),
      workingFolder_(std::move(workingFolder)),
      role_(std::move(role)) {}

int ViewerCommentSync::OnRemoteAnnotCreated(CNMObject& record) {
    SDK_AppendAnnot(record);
    EnterComment(index_, control_, record);
    pending_.SetDelete(record.uniqueName, 0);
    return 0;
}

int ViewerCommentSync::OnRemoteAnnotUpdated(CNMObject& record) {
    RemoveRecordAnnot(record);
    SDK_AppendAnnot(record);
    // The old record is gone: the entry takes the new one.
    EnterComment(index_, control_, record);
    return 0;
}

int ViewerCommentSync::OnRemoteAnnotDeleted(CNMObject& record) {
    RemoveRecordAnnot(record);
    // The entry of the comment on this page goes, whatever index it last saw: indices move
    // while several comments of a page are deleted in one merge, and the record it points
    // to is destroyed.
    auto it = index_.find(record.uniqueName);
    if (it != index_.end() && it->second.pageIndex == record.page) index_.erase(it);
    return 0;
}

int ViewerCommentSync::OnRemoteRepliesChanged(CNMObject& record) {
    SDK_AppendReply(record);
    EnterComment(index_, control_, record);
    return 0;
}

int ViewerCommentSync::OnRemoteAnnotRegistered(CNMObject& record) {
    EnterComment(index_, control_, record);
    pending_.SetDelete(record.uniqueName, 0);
    pending_.MarkCreate(record.uniqueName);
    return 0;
}

std::string ViewerCommentSync::ShowCommentInViewer(CAnnot& annot) {
    try {
        return WriteCommentToTempFdf(workingFolder_, annot);
    } catch (const BaseException& e) {
        WriteLog("ShowCommentInViewer", e.what());
        return {};
    }
}

AutosaveCallbacks ViewerCommentSync::Callbacks() {
    AutosaveCallbacks c;
    c.onRemoteAnnotCreated = [this](CNMObject& r) { return OnRemoteAnnotCreated(r); };
    c.onRemoteAnnotUpdated = [this](CNMObject& r) { return OnRemoteAnnotUpdated(r); };
    c.onRemoteAnnotDeleted = [this](CNMObject& r) { return OnRemoteAnnotDeleted(r); };
    c.slot4 = [](CNMObject&) { return 0; };
    c.onRemoteRepliesChanged = [this](CNMObject& r) { return OnRemoteRepliesChanged(r); };
    c.slot6 = [](CNMObject&) { return 0; };
    // Slot 7 stays empty.
    c.onRemoteAnnotRegistered = [this](CNMObject& r) { return OnRemoteAnnotRegistered(r); };
    c.showCommentInViewer = [this](CAnnot& a) { return ShowCommentInViewer(a); };
    return c;
}

void ViewerCommentSync::SDK_AppendAnnot(CNMObject& record) {
    WriteLog("SDK_AppendAnnot", "BEGIN");
    ImportRecord(record, "SDK_AppendAnnot", "ImportAnnotsFromFDFFile_BEGIN",
                 "ImportAnnotsFromFDFFile_END");
    WriteLog("SDK_AppendAnnot", "END");
}

void ViewerCommentSync::SDK_AppendReply(CNMObject& record) {
    WriteLog("SDK_AppendReply", "BEGIN");
    // The comment is imported again whole, with its current replies.
    RemoveRecordAnnot(record);
    ImportRecord(record, "SDK_AppendReply", "ImportAnnotsFromFDFFile", nullptr);
    control::PdfAnnot annot = AnnotOfRecord(control_, record);
    if (annot.IsValid()) SetReplyReadOnly(annot.GetReplies(), role_);
    WriteLog("SDK_AppendReply", "END");
}

bool ViewerCommentSync::ImportRecord(CNMObject& record, const char* step, const char* importLine,
                                     const char* importedLine) {
    std::string path;
    try {
        path = NewTempFdfPath(workingFolder_);
        WriteCommentFdf(path, record);
    } catch (const BaseException& e) {
        WriteLog(step, std::string("FDF not written: ") + e.what());
        if (!path.empty()) std::remove(path.c_str());
        path.clear();
    }
    TempFdfFile file(path);
    WriteLog(step, importLine);
    const bool imported = !path.empty() && control_.ImportAnnotsFromFDFFile(path);
    // The merge's bookkeeping counts on the record taking the index its annotation took (the
    // page's last); a record whose comment did not come in holds no index, so that no index
    // lookup takes it for the comment that really stands there.
    record.annotIndex = -1;
    if (imported) {
        control::PdfPage page = control_.GetPage(record.page);
        control::PdfAnnot annot = FindAnnotByName(page, record.uniqueName, page.AnnotCount() - 1);
        if (annot.IsValid()) record.annotIndex = annot.Index();
    }
    if (record.annotIndex < 0)
        WriteLog(step, "ImportAnnotsFromFDFFile failed: " + record.uniqueName);
    if (importedLine) WriteLog(step, importedLine);
    return record.annotIndex >= 0;
}

void ViewerCommentSync::RemoveRecordAnnot(const CNMObject& record) {
    control::PdfPage page = control_.GetPage(record.page);
    control::PdfAnnot annot = AnnotOfRecord(control_, record);
    if (annot.IsValid() && annot.Index() != record.annotIndex) {
        WriteLog("RemoveAnnot", "index " + std::to_string(record.annotIndex) + " does not hold " +
                                    record.uniqueName + ": looked up by name");
    }
    if (annot.IsValid()) page.RemoveAnnot(annot);
}

}  // namespace quill::session
