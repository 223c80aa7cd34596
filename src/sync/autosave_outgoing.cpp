// The outgoing operations of the autosave worker: from a change in the viewer control to a
// queued item and an updated record.
#include "sync/autosave_worker.h"
#include "sync/sync_names.h"

#include "control/pdf_viewer_control.h"
#include "sync/annot_by_name.h"
#include "sync/base_exception.h"
#include "sync/fdf/fdf_builders.h"
#include "sync/fdf/fdf_parser.h"
#include "sync/fdf/temp_fdf_file.h"
#include "sync/log_step.h"
#include "sync/page_map_upkeep.h"
#include "sync/wire/queue_builders.h"

namespace quill::sync {

namespace {

constexpr const char* kQueueType = "A";

void RequireActionCreateOrUpdate(int action) {
    if (action != kActionCreate && action != kActionUpdate)
        throw BaseException("Improper action type provided.");
}

LiveAnnotValues ValuesOf(const control::PdfAnnot& annot) {
    LiveAnnotValues values;
    values.modDate = annot.ModDate();
    values.typeName = annot.GetTypeName();
    values.subtypeName = annot.GetSubtypeName();
    return values;
}

// The first reply (depth first) under the list whose name the page maps do not know.
std::string FirstUnknownReply(const control::PdfReplyList& replies, const PageAnnotMap& maps,
                              int page, int depth) {
    if (depth > 1000) return {};
    for (int i = 0; i < replies.ReplyCount(); ++i) {
        const control::PdfReply reply = replies.GetReply(i);
        if (!reply.IsValid()) continue;
        const std::string name = reply.GetName();
        if (!name.empty() && !maps.Find(page, name)) return name;
        std::string deeper = FirstUnknownReply(reply.GetReplies(), maps, page, depth + 1);
        if (!deeper.empty()) return deeper;
    }
    return {};
}

// The in-reply-to name of the reply named uniqueName among the replies under the list.
std::string InReplyToOf(const control::PdfReplyList& replies, const std::string& uniqueName,
                        int depth) {
    if (depth > 1000) return {};
    for (int i = 0; i < replies.ReplyCount(); ++i) {
        const control::PdfReply reply = replies.GetReply(i);
        if (!reply.IsValid()) continue;
        if (reply.GetName() == uniqueName) return reply.GetInReplyTo();
        std::string deeper = InReplyToOf(reply.GetReplies(), uniqueName, depth + 1);
        if (!deeper.empty()) return deeper;
    }
    return {};
}

}  // namespace

std::string AutosaveWorker::ExportAll(FdfDocument& doc) {
    if (!control_) throw BaseException("Cannot export FDF file.");
    TempFdfFile file(NewTempFdfPath(settings_.workingFolder));
    if (!control_->ExportAnnotsToFDFFile(file.path()))
        throw BaseException("Cannot export FDF file.");
    OpenAndParse(file.path(), doc);
    return file.Release();
}

CFDFContent* AutosaveWorker::GetAutosaveTargerObject(const FdfDocument& doc, int page,
                                                     const std::string& uniqueName) const {
    LogStep step("GetAutosaveTargerObject");
    // By the name the control gives the new annotation, never by "the first unknown one":
    // after a failed add or a move that would be another comment, or a reply.
    CFDFContent* object = doc.Find(uniqueName);
    if (!object || maps_.Find(page, uniqueName) || maps_.Find(object->page, uniqueName))
        return nullptr;
    step.Log("new CFDFContent");
    return object;
}

int AutosaveWorker::AutoSaveAnnot(int page, int annotIndex, int action) {
    LogStep step("AutoSaveAnnot");
    if (!control_) return 0;
    control::PdfPage pdfPage = control_->GetPage(page);
    control::PdfAnnot annot = pdfPage.GetAnnot(annotIndex);
    FdfDocument doc;
    TempFdfFile exported(ExportAll(doc));

    CFDFContent* object = nullptr;
    CNMObject* known = nullptr;
    if (action == kActionCreate) {
        if (annot.IsValid()) object = GetAutosaveTargerObject(doc, page, annot.GetName());
        if (!object || !object->inReplyTo.empty()) throw BaseException("No CFDFContent!!");
    } else if (action == kActionUpdate) {
        known = CommentRecordAt(maps_, page, annotIndex, annot);
        if (!known) return 0;
        object = doc.Find(known->uniqueName);
        if (!object) return 0;
    } else {
        RequireActionCreateOrUpdate(action);
    }

    if (ExceedsEmbeddedFileLimit(*object)) {
        pdfPage.RemoveAnnot(annot);
        return 0;
    }

    std::unique_ptr<BinaryContent> content = object->CreateBinaryContent();
    const std::string& docId = session_.PublishToParent() ? settings_.targetDocId : settings_.docId;
    Enqueue(createDocQueueModel(docId, action, kQueueType, page, "", settings_.userId,
                                std::string(object->uniqueName), content.get(), annotIndex));

    if (action == kActionUpdate) {
        known->content = std::move(content);
    } else {
        std::unique_ptr<CAnnot> record = CreateAnnotObject(ValuesOf(annot), page);
        record->uniqueName = std::string(object->uniqueName);
        record->annotIndex = annotIndex;
        record->content = std::move(content);
        pagemaps::Enter(maps_, std::move(record));
    }
    return 1;
}

int AutosaveWorker::AutoSaveReply(int page, int annotIndex, int action,
                                  const std::string& replyName) {
    LogStep step("AutoSaveReply");
    RequireActionCreateOrUpdate(action);
    if (!control_) return 1;
    FdfDocument doc;
    TempFdfFile exported(ExportAll(doc));

    // The reply is taken by its own name: the one given, or for a new reply without a name
    // the first reply of the comment at annotIndex that the page maps do not know.
    std::string name = replyName;
    if (name.empty() && action == kActionCreate) {
        const control::PdfAnnot annot = control_->GetPage(page).GetAnnot(annotIndex);
        if (annot.IsValid()) name = FirstUnknownReply(annot.GetReplies(), maps_, page, 0);
    }
    CFDFContent* object =
        action == kActionCreate ? GetAutosaveTargerObject(doc, page, name) : doc.Find(name);
    if (!object) return 1;
    if (object->inReplyTo.empty()) {
        step.Log("Not a reply, nothing queued: " + name);
        return 1;
    }
    if (ExceedsEmbeddedFileLimit(*object)) return 1;

    std::unique_ptr<BinaryContent> content = object->CreateBinaryContent();
    Enqueue(createDocQueueModel(settings_.docId, action, kQueueType, page, "", settings_.userId,
                                std::string(object->uniqueName), content.get(),
                                std::string(object->inReplyTo)));

    CNMObject* existing =
        action == kActionUpdate ? maps_.Find(page, std::string(object->uniqueName)) : nullptr;
    if (existing) {
        existing->content = std::move(content);
    } else {
        std::unique_ptr<CReply> record = CreateAnnotObject(page);
        record->uniqueName = std::string(object->uniqueName);
        record->inReplyTo = std::string(object->inReplyTo);
        record->content = std::move(content);
        pagemaps::Enter(maps_, std::move(record));
    }
    return 1;
}

int AutosaveWorker::AddCommentFromFdf(int page, const std::string& fdfPath) {
    LogStep step("AddCommentFromFdf");
    // The file was made for this import; it goes whatever happens.
    TempFdfFile file(fdfPath);
    if (!control_) return 0;
    control_->ImportAnnotsFromFDFFile(fdfPath);
    control::PdfPage pdfPage = control_->GetPage(page);

    FdfDocument doc;
    OpenAndParse(fdfPath, doc);
    // The file's comment, and its annotation found by name: a comment the control did not
    // take in is neither queued nor recorded.
    CFDFContent* object = nullptr;
    control::PdfAnnot annot;
    for (const auto& [name, candidate] : doc.objectsByName) {
        if (!candidate->inReplyTo.empty()) continue;
        object = GetAutosaveTargerObject(doc, page, std::string(name));
        if (!object) continue;
        annot = FindAnnotByName(pdfPage, std::string(name), pdfPage.AnnotCount() - 1);
        if (annot.IsValid()) break;
        step.Log("Not imported: " + std::string(name));
        object = nullptr;
    }
    if (!object) return 0;
    const int annotIndex = annot.Index();
    if (ExceedsEmbeddedFileLimit(*object)) {
        pdfPage.RemoveAnnot(annot);
        return 0;
    }

    std::unique_ptr<BinaryContent> content = object->CreateBinaryContent();
    Enqueue(createDocQueueModel(settings_.docId, kActionCreate, kQueueType, page, "",
                                settings_.userId, std::string(object->uniqueName), content.get(),
                                annotIndex));
    std::unique_ptr<CAnnot> record = CreateAnnotObject(ValuesOf(annot), page);
    record->uniqueName = std::string(object->uniqueName);
    record->annotIndex = annotIndex;
    record->content = std::move(content);
    CNMObject* entered = pagemaps::Enter(maps_, std::move(record));
    if (entered && callbacks_.onRemoteAnnotRegistered) callbacks_.onRemoteAnnotRegistered(*entered);
    return 1;
}

int AutosaveWorker::QueueDeleteComment(int page, int annotIndex) {
    LogStep step("QueueDeleteComment");
    CNMObject* record = pagemaps::FindCommentAt(maps_, page, annotIndex);
    if (!record) return 1;
    const std::string name = record->uniqueName;
    if (control_) {
        // The record's comment still stands elsewhere on the page: the index is out of step,
        // and deleting by it would send another comment's name.
        const control::PdfAnnot live = FindAnnotByName(control_->GetPage(page), name, annotIndex);
        if (live.IsValid() && live.Index() != annotIndex) {
            step.Log("index " + std::to_string(annotIndex) + " is not " + name +
                     ", which stands at " + std::to_string(live.Index()) + ": nothing queued");
            return 1;
        }
    }
    pagemaps::Remove(maps_, page, name);
    pagemaps::LowerIndicesAbove(maps_, page, annotIndex);
    Enqueue(createDocQueueModel(settings_.docId, kActionDelete, kQueueType, page, "",
                                settings_.userId, name, nullptr, annotIndex));
    return 1;
}

int AutosaveWorker::QueueDeleteReply(int page, const std::string& uniqueName) {
    LogStep step("QueueDeleteReply");
    const CNMObject* record = maps_.Find(page, uniqueName);
    if (record && record->inReplyTo.empty()) {
        step.Log("A comment, not a reply: nothing queued: " + uniqueName);
        return 1;
    }
    // Other clients sort a deletion without a parent name as a comment deletion: the parent
    // comes from the record, or from the control while it still holds the reply.
    std::string irt = record ? record->inReplyTo : std::string();
    if (irt.empty() && control_) {
        const control::PdfPage pdfPage = control_->GetPage(page);
        for (int i = 0; irt.empty() && i < pdfPage.AnnotCount(); ++i)
            irt = InReplyToOf(pdfPage.GetAnnot(i).GetReplies(), uniqueName, 0);
    }
    if (irt.empty()) {
        step.Log("The parent of the reply is unknown: nothing queued: " + uniqueName);
        return 1;
    }
    Enqueue(createDocQueueModel(settings_.docId, kActionDelete, kQueueType, page, "",
                                settings_.userId, uniqueName, nullptr, irt));
    pagemaps::Remove(maps_, page, uniqueName);
    return 1;
}

int AutosaveWorker::QueueMoveComment(const std::string& uniqueName, int page, int targetPage,
                                     const std::string& docId, const std::string& userId) {
    LogStep step("QueueMoveComment");
    auto item = createDocQueueModel(docId, kActionMove, kQueueType, page, "", userId, uniqueName,
                                    nullptr, -1);
    item->movePageNo = targetPage;
    Enqueue(std::move(item));
    return 1;
}

}  // namespace quill::sync
