// Reading an exported FDF file: splitting it into objects and relating them.
#pragma once
#include "sync/sync_names.h"

#include <string>
#include <string_view>
#include <vector>

#include "sync/fdf/fdf_content.h"
#include "sync/fdf/fdf_document.h"

namespace quill::sync {

// Reads the whole file into doc and splits it; returns true. Throws BaseException:
// kCannotLocateFdf when the file cannot be read, kCannotParseFdf (kFdfParseErrorCode) when
// it is no FDF or is truncated or damaged. On failure doc holds no objects.
bool OpenAndParse(const std::string& filePath, FdfDocument& doc);

// The same on bytes already in memory (copied into doc).
bool ParseFdfBytes(std::string_view bytes, FdfDocument& doc);

namespace fdf {

// Splits doc.fileBytes into objects, then relates them. Throws as OpenAndParse.
void _generateFDFObject(FdfDocument& doc);

// Links popups, replies and embedded files of objects (in file order) and fills the
// unique-name map of owner. Every "first object whose ..." is the first in list order.
void _relateObject(const std::vector<CFDFContent*>& objects, FdfDocument& owner);

}  // namespace fdf

}  // namespace quill::sync
