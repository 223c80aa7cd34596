// Copying a comment: its exported object with a new page, shifted coordinates and a new
// unique name, written to an FDF file for the control to import.
#include "sync/autosave_worker.h"
#include "sync/sync_names.h"

#include "control/pdf_viewer_control.h"
#include "platform/prompter.h"
#include "sync/fdf/byte_mass.h"
#include "sync/fdf/comment_fdf.h"
#include "sync/fdf/fdf_builders.h"
#include "sync/fdf/offset_number_list.h"
#include "sync/fdf/temp_fdf_file.h"
#include "sync/log_step.h"
#include "sync/page_map_upkeep.h"
#include "sync/wire/queue_builders.h"

namespace quill::sync {

namespace {

// Shifts the coordinate arrays the tool draws with; false when the tool cannot be copied.
bool RewriteCoordinates(ByteBuffer& text, const std::string& tool, bool offset) {
    if (tool == "Highlight" || tool == "StrikeOut") return false;
    if (tool == "Cloudy" || tool == "Polygon" || tool == "PolyLine") {
        OffsetNumberList(text, NumberListKey::Vertices, offset);
    } else if (tool == "Arrow" || tool == "Line") {
        OffsetNumberList(text, NumberListKey::L, offset);
    } else if (tool == "Callout") {
        OffsetNumberList(text, NumberListKey::Rect, offset);
        OffsetNumberList(text, NumberListKey::L, offset);
    } else if (tool == "Rectangle" || tool == "Circle" || tool == "Note" ||
               tool == "FileAttachment") {
        OffsetNumberList(text, NumberListKey::Rect, offset);
    } else if (tool == "Pencil") {
        OffsetNumberList(text, NumberListKey::InkList, offset);
    }
    return true;
}

}  // namespace

std::string AutosaveWorker::CopyComment(int sourcePage, int sourceIndex, bool offset) {
    LogStep step("CopyComment");
    if (!control_) return {};
    FdfDocument doc;
    TempFdfFile exported(ExportAll(doc));

    const CNMObject* source = pagemaps::FindCommentAt(maps_, sourcePage, sourceIndex);
    if (!source) return {};
    CFDFContent* object = doc.Find(source->uniqueName);
    if (!object || ExceedsEmbeddedFileLimit(*object)) return {};

    const std::string tool = control_->GetPage(sourcePage).GetAnnot(sourceIndex).GetToolName();
    const int targetPage = control_->CurrentPage();
    std::unique_ptr<BinaryContent> content = object->CreateBinaryContent();
    ByteBuffer& text = *content->content;
    fdf::_replaceByteMass(text, "/Page", ">", " " + std::to_string(targetPage));
    if (!RewriteCoordinates(text, tool, offset)) {
        platform::Prompts().Info("The comment copy is not supported for this tool.");
        return {};
    }
    const std::string name = NewCommentName();
    fdf::_replaceByteMass(text, "NM(", ")", name);

    // The item is only the road from content to record; it is never queued.
    std::unique_ptr<CDocQueueModel> item =
        createDocQueueModel(settings_.docId, kActionCreate, "A", targetPage, "", settings_.userId,
                            name, content.get(), -1);
    std::unique_ptr<CAnnot> record = createAnnotModel(*item);
    if (callbacks_.showCommentInViewer) return callbacks_.showCommentInViewer(*record);
    return WriteCommentToTempFdf(settings_.workingFolder, *record);
}

}  // namespace quill::sync
