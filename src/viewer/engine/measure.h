// Measurements of distance, perimeter and area comments: the /Measure dictionary and the
// value shown as the comment's label.
#pragma once
#include "viewer/engine/engine_names.h"

#include <optional>
#include <string>

#include "viewer/engine/annot_draft.h"
#include "viewer/engine/pdf_object.h"

namespace quill::engine {

PdfObject MeasureDict(const MeasureScale& scale);
// "12.34 in", "3.50 sq in"; nullopt for an annotation that is no measurement.
std::optional<std::string> MeasureLabel(const PdfObject& dict);

}  // namespace quill::engine
