// Saves the review document with the engine's comments and page texts as a new PDF: every
// comment with an appearance stream, written with qpdf.
#pragma once
#include "viewer/engine/engine_names.h"

#include <functional>
#include <string>
#include <vector>

#include "viewer/engine/annot_drawing.h"
#include "viewer/engine/annot_store.h"
#include "viewer/engine/page_text.h"

namespace quill::engine {

struct SaveInput {
    std::string sourcePath;
    std::string password;
    const AnnotStore* store = nullptr;
    const std::vector<PageText>* pageTexts = nullptr;
    std::function<AnnotDrawing(const AnnotRecord&)> drawAnnot;
    std::function<AnnotDrawing(const PageText&)> drawText;
};

// The comments the source carries are replaced by the store's; other annotations stay.
// The file is written beside the target and renamed over it, so that saving over the
// source itself is safe. false with a reason on failure; the target is then untouched.
bool SavePdfWithAnnots(const SaveInput& in, const std::string& targetPath, std::string* error);

}  // namespace quill::engine
