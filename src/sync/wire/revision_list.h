// Reading the "fileAttachlist" reply: the revisions after ours that hold file attachments.
#pragma once
#include "sync/sync_names.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quill::sync {

// Reads {"rev":[...]} into revisions, in order; each element is a whole number from 0 to
// 2^31-1, as a JSON number or as a text of digits. False, with revisions empty, when the text is
// no such object, is nested deeper than a reply ever is, or holds a member of another type or
// out of range: the check then fails as a whole. Never throws.
bool ReadRevisionList(std::string_view text, std::vector<int32_t>& revisions);

}  // namespace quill::sync
