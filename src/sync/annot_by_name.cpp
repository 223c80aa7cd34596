#include "sync/annot_by_name.h"
#include "sync/sync_names.h"

#include "app/logs.h"
#include "control/pdf_viewer_control.h"
#include "sync/page_map_upkeep.h"

namespace quill::sync {

control::PdfAnnot FindAnnotByName(const control::PdfPage& page, const std::string& uniqueName,
                                  int hint) {
    if (uniqueName.empty() || !page.IsValid()) return {};
    const int count = page.AnnotCount();
    if (hint >= 0 && hint < count) {
        control::PdfAnnot annot = page.GetAnnot(hint);
        if (annot.IsValid() && annot.GetName() == uniqueName) return annot;
    }
    for (int i = 0; i < count; ++i) {
        if (i == hint) continue;
        control::PdfAnnot annot = page.GetAnnot(i);
        if (annot.IsValid() && annot.GetName() == uniqueName) return annot;
    }
    return {};
}

control::PdfAnnot AnnotOfRecord(control::PdfViewerControl& control, const CNMObject& record) {
    return FindAnnotByName(control.GetPage(record.page), record.uniqueName, record.annotIndex);
}

CNMObject* CommentRecordAt(const PageAnnotMap& maps, int page, int annotIndex,
                           const control::PdfAnnot& annot) {
    CNMObject* record = pagemaps::FindCommentAt(maps, page, annotIndex);
    if (!annot.IsValid()) return record;
    const std::string name = annot.GetName();
    if (record && record->uniqueName == name) return record;
    // The index is out of step with the control: the annotation's own name decides.
    CNMObject* named = maps.Find(page, name);
    if (named && !named->inReplyTo.empty()) named = nullptr;
    WriteLog("CommentRecordAt", "index " + std::to_string(annotIndex) + " holds " + name +
                                    ", the record there is " +
                                    (record ? record->uniqueName : std::string("none")));
    return named;
}

}  // namespace quill::sync
