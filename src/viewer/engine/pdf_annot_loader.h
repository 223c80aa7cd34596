// Reads the comments a PDF already carries (its markup annotations, their popups, replies
// and embedded files) into engine records.
#pragma once
#include "viewer/engine/engine_names.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/engine/annot_record.h"

namespace quill::engine {

// The annotation subtypes the engine keeps as comments; every other annotation (links,
// form fields ...) stays in the document untouched.
bool IsCommentSubtype(std::string_view subtype);

struct LoadedAnnots {
    std::vector<std::vector<std::unique_ptr<AnnotRecord>>> pages;  // top-level, with replies
    std::vector<std::unique_ptr<AnnotRecord>> orphans;  // replies whose parent is missing
    // Objects copied out of the file into the records: grows with the comments, not with
    // what they refer to.
    size_t copiedObjects = 0;
};

// false with a reason when the file cannot be read.
bool LoadPdfAnnots(const std::string& path, const std::string& password, LoadedAnnots* out,
                   std::string* error);

}  // namespace quill::engine
