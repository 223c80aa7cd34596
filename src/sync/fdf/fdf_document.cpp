#include "sync/fdf/fdf_document.h"
#include "sync/sync_names.h"

namespace quill::sync {

CFDFContent* FdfDocument::Find(std::string_view uniqueName) const {
    auto it = objectsByName.find(uniqueName);
    return it == objectsByName.end() ? nullptr : it->second;
}

}  // namespace quill::sync
