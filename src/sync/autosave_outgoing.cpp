// The outgoing operations of the autosave worker: from a change in the viewer control to a
// queued item and an updated record.
#include "sync/autosave_worker.h"
#include "sync/sync_names.h"

#include "control/pdf_viewer_control.h"
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

}  // namespace

std::string AutosaveWorker::ExportAll(FdfDocument& doc) {
    if (!control_) throw BaseException("Cannot export FDF file.");
    TempFdfFile file(NewTempFdfPath(settings_.workingFolder));
    if (!control_->ExportAnnotsToFDFFile(file.path()))
        throw BaseException("Cannot export FDF file.");
    OpenAndParse(file.path(), doc);
    return file.Release();
}

CFDFContent* AutosaveWorker::GetAutosaveTargerObject(const FdfDocument& doc) const {
    LogStep step("GetAutosaveTargerObject");
    for (const auto& [name, object] : doc.objectsByName) {
        if (!maps_.Find(object->page, std::string(name))) {
            step.Log("new CFDFContent");
            return object;
        }
    }
    return nullptr;
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
        object = GetAutosaveTargerObject(doc);
        if (!object) throw BaseException("No CFDFContent!!");
    } else if (action == kActionUpdate) {
        known = pagemaps::FindCommentAt(maps_, page, annotIndex);
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
    (void)annotIndex;  // a reply record carries no index of its own
    RequireActionCreateOrUpdate(action);
    if (!control_) return 1;
    FdfDocument doc;
    TempFdfFile exported(ExportAll(doc));

    CFDFContent* object =
        action == kActionCreate ? GetAutosaveTargerObject(doc) : doc.Find(replyName);
    if (!object) return 1;
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
    const int annotIndex = pdfPage.AnnotCount() - 1;
    control::PdfAnnot annot = pdfPage.GetAnnot(annotIndex);

    FdfDocument doc;
    OpenAndParse(fdfPath, doc);
    CFDFContent* object = GetAutosaveTargerObject(doc);
    if (!object) return 0;
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
    pagemaps::Remove(maps_, page, name);
    pagemaps::LowerIndicesAbove(maps_, page, annotIndex);
    Enqueue(createDocQueueModel(settings_.docId, kActionDelete, kQueueType, page, "",
                                settings_.userId, name, nullptr, annotIndex));
    return 1;
}

int AutosaveWorker::QueueDeleteReply(int page, const std::string& uniqueName) {
    LogStep step("QueueDeleteReply");
    const CNMObject* record = maps_.Find(page, uniqueName);
    const std::string irt = record ? record->inReplyTo : std::string();
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
