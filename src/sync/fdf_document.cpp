#include "sync/fdf_document.h"

CFDFContent* FdfDocument::Find(const std::string& uniqueName) const {
    auto it = objectsByName.find(uniqueName);
    return it == objectsByName.end() ? nullptr : it->second;
}
