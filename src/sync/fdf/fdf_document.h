// An exported FDF file split into its objects: the result of OpenAndParse.
#pragma once
#include "sync/sync_names.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sync/fdf/byte_buffer.h"
#include "sync/fdf/fdf_content.h"

namespace quill::sync {

// Lives for one operation. It owns the file bytes, every parsed object (popups and embedded
// files included) and the unique-name map; releasing it destroys them all.
class FdfDocument {
public:
    FdfDocument() = default;
    FdfDocument(const FdfDocument&) = delete;
    FdfDocument& operator=(const FdfDocument&) = delete;

    // The object entered under a unique name, or nullptr.
    CFDFContent* Find(std::string_view uniqueName) const;

    std::string filePath;
    ByteBuffer fileBytes;             // owned, zero-terminated
    std::string version;              // "1.2" of "%FDF-1.2"
    std::string rootId;               // "1 0" once the root has been seen
    std::vector<std::string> annots;  // object ids of the root's Annots array
    // Unique name -> object in byte order of the name; the keys view the objects' names.
    std::map<std::string_view, CFDFContent*> objectsByName;
    std::vector<std::unique_ptr<CFDFContent>> objects;  // every object in file order
};

}  // namespace quill::sync
