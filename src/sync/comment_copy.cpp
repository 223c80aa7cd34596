// Copying a comment: its exported object with a new page, shifted coordinates and a new
// unique name, written to an FDF file for the control to import.
#include "sync/autosave_worker.h"
#include "sync/sync_names.h"

#include <algorithm>
#include <vector>

#include "control/pdf_viewer_control.h"
#include "platform/prompter.h"
#include "sync/annot_by_name.h"
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

// The array that holds a tool's geometry when it is not its /Rect.
bool GeometryKeyOf(const std::string& tool, NumberListKey& key) {
    if (tool == "Cloudy" || tool == "Polygon" || tool == "PolyLine") {
        key = NumberListKey::Vertices;
    } else if (tool == "Arrow" || tool == "Line") {
        key = NumberListKey::L;
    } else if (tool == "Pencil") {
        key = NumberListKey::InkList;
    } else {
        return false;
    }
    return true;
}

struct Box {
    float x1, y1, x2, y2;
};

// The bounds of x y pairs; false when there is no pair.
bool BoundsOf(const std::vector<float>& numbers, Box& box) {
    if (numbers.size() < 2) return false;
    box = {numbers[0], numbers[1], numbers[0], numbers[1]};
    for (size_t i = 0; i + 1 < numbers.size(); i += 2) {
        box.x1 = std::min(box.x1, numbers[i]);
        box.x2 = std::max(box.x2, numbers[i]);
        box.y1 = std::min(box.y1, numbers[i + 1]);
        box.y2 = std::max(box.y2, numbers[i + 1]);
    }
    return true;
}

// The /Rect of a tool drawn by vertices, a line or strokes follows its moved geometry: the
// bounds of the new geometry with the margin the old /Rect kept around the old one (room
// for the line width, the cloud and the line ends). Left alone when either is unreadable.
class RectFollowsGeometry {
public:
    RectFollowsGeometry(const ByteBuffer& text, const std::string& tool) {
        std::vector<float> rect, geometry;
        ready_ = GeometryKeyOf(tool, key_) &&
                 ReadNumberList(text.view(), NumberListKey::Rect, rect) && rect.size() == 4 &&
                 ReadNumberList(text.view(), key_, geometry) && BoundsOf(geometry, old_);
        if (!ready_) return;
        const Box r{std::min(rect[0], rect[2]), std::min(rect[1], rect[3]),
                    std::max(rect[0], rect[2]), std::max(rect[1], rect[3])};
        margin_ = {std::max(0.0f, old_.x1 - r.x1), std::max(0.0f, old_.y1 - r.y1),
                   std::max(0.0f, r.x2 - old_.x2), std::max(0.0f, r.y2 - old_.y2)};
    }
    void Apply(ByteBuffer& text) const {
        std::vector<float> geometry;
        Box now{};
        if (!ready_ || !ReadNumberList(text.view(), key_, geometry) || !BoundsOf(geometry, now))
            return;
        WriteNumberList(
            text, NumberListKey::Rect,
            {now.x1 - margin_.x1, now.y1 - margin_.y1, now.x2 + margin_.x2, now.y2 + margin_.y2});
    }

private:
    bool ready_ = false;
    NumberListKey key_ = NumberListKey::Rect;
    Box old_{};
    Box margin_{};
};

}  // namespace

std::string AutosaveWorker::CopyComment(int sourcePage, int sourceIndex, bool offset) {
    if (!control_) return {};
    const control::PdfAnnot annot = control_->GetPage(sourcePage).GetAnnot(sourceIndex);
    const CNMObject* source = CommentRecordAt(maps_, sourcePage, sourceIndex, annot);
    if (!source || !annot.IsValid()) return {};
    return CopyComment(sourcePage, source->uniqueName, offset);
}

std::string AutosaveWorker::CopyComment(int sourcePage, const std::string& sourceName,
                                        bool offset) {
    LogStep step("CopyComment");
    if (!control_) return {};
    // The source is resolved by name on its page: an index may have moved since the copy.
    const CNMObject* source = maps_.Find(sourcePage, sourceName);
    if (!source || !source->inReplyTo.empty()) return {};
    const control::PdfAnnot annot = AnnotOfRecord(*control_, *source);
    if (!annot.IsValid()) return {};
    FdfDocument doc;
    TempFdfFile exported(ExportAll(doc));
    CFDFContent* object = doc.Find(source->uniqueName);
    if (!object || ExceedsEmbeddedFileLimit(*object)) return {};

    const std::string tool = annot.GetToolName();
    const int targetPage = control_->CurrentPage();
    std::unique_ptr<BinaryContent> content = object->CreateBinaryContent();
    ByteBuffer& text = *content->content;
    fdf::_replaceByteMass(text, "/Page", ">", " " + std::to_string(targetPage));
    const RectFollowsGeometry rect(text, tool);
    if (!RewriteCoordinates(text, tool, offset)) {
        platform::Prompts().Info("The comment copy is not supported for this tool.");
        return {};
    }
    rect.Apply(text);
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
