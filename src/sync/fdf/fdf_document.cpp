#include "sync/fdf/fdf_document.h"

CFDFContent* FdfDocument::Find(std::string_view uniqueName) const {
    auto it = objectsByName.find(uniqueName);
    return it == objectsByName.end() ? nullptr : it->second;
}
