// Reads the annotations of an FDF file: the engine's own export and the files the client
// writes back (root at the end, popups and embedded files listed with the annotations).
#pragma once
#include "viewer/engine/engine_names.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/engine/annot_record.h"

namespace quill::engine {

struct FdfAnnots {
    // Annotations without /IRT, in file order.
    std::vector<std::unique_ptr<AnnotRecord>> topLevel;
    // Replies (with /IRT), in file order, not yet joined to their parents.
    std::vector<std::unique_ptr<AnnotRecord>> replies;
};

// nullopt with a reason for bytes that are no FDF, break off inside an object, or name a
// page outside 0..pageCount-1. Popups, embedded files and replies are resolved within the
// file; /AP and other references to streams are left out (appearances are built anew).
std::optional<FdfAnnots> ReadFdf(std::string_view bytes, int pageCount, std::string* error);

}  // namespace quill::engine
