// Clearing the FDF files of earlier copies out of the client's working folder.
#pragma once
#include "session/session_names.h"

#include <string>

namespace quill::session {

// Deletes the regular files named "*.fdf" (any case) directly in folder. Links are never
// followed nor removed, sub-folders are left alone, and an empty folder name or a folder
// that is itself a link deletes nothing. The number of files deleted.
int DeleteCopyFiles(const std::string& folder);

}  // namespace quill::session
