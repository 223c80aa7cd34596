// Writing a comment record and its descendants (replies and their replies) to an FDF file
// for the viewer control to import.
#pragma once
#include "sync/sync_names.h"

#include <string>
#include <vector>

#include "sync/nm_object.h"

namespace quill::sync {

// The record, then each of its replies with their own replies, depth first.
std::vector<const CNMObject*> CollectCommentObjects(const CNMObject& record);

// Writes the record and its descendants with _restoreFDFContents; records without content
// are left out. Throws BaseException when the file cannot be written.
void WriteCommentFdf(const std::string& path, const CNMObject& record);

// The same into a new temporary file of folder; returns its path (the caller deletes it).
std::string WriteCommentToTempFdf(const std::string& folder, const CNMObject& record);

}  // namespace quill::sync
