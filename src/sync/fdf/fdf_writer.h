// Writing comments back into an FDF file for the viewer control to import.
#pragma once
#include "sync/sync_names.h"

#include <string>
#include <vector>

#include "sync/fdf/fdf_content.h"

namespace quill::sync {

namespace fdf {

// Writes "%FDF-1.2", the objects renumbered from 2 (a popup before its annotation, an
// embedded file behind it, their references re-pointed in the stored raw texts), a root
// listing every number written, and the trailer. Replaces an existing file. Throws
// BaseException (kFdfFileErrorCode) when the file cannot be written.
void _restoreFDFContents(const std::string& filePath, const std::vector<CFDFContent*>& objects);

// The bytes _restoreFDFContents writes (and the same changes to the raw texts).
std::string RestoredFdfBytes(const std::vector<CFDFContent*>& objects);

}  // namespace fdf

}  // namespace quill::sync
