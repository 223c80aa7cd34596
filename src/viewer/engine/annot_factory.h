// Builds the records of new comments and replies from what the widget hands over.
#pragma once
#include "viewer/engine/engine_names.h"

#include <memory>
#include <string>

#include "viewer/engine/annot_draft.h"
#include "viewer/engine/annot_record.h"

namespace quill::engine {

struct DrawingContext;

// nullptr with a reason when the geometry does not make the tool's shape (too few points,
// numbers that are not finite, an empty file ...). `defaultAuthor` and `textFont` fill
// what the draft leaves open.
std::unique_ptr<AnnotRecord> BuildAnnotRecord(const AnnotDraft& draft,
                                              const std::string& defaultAuthor,
                                              const TextStyle& textFont, DrawingContext& ctx,
                                              std::string* error);

// A reply: a text annotation that answers `parentName` (/IRT), drawn nowhere itself.
std::unique_ptr<AnnotRecord> BuildReplyRecord(const AnnotRecord& parent, const std::string& text,
                                              const std::string& author);

// The popup of a top-level comment, beside its /Rect.
PdfObject PopupDictFor(const PdfObject& annotDict);

}  // namespace quill::engine
