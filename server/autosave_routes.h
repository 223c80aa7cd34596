// The autosave endpoints: comment changes posted by clients (autoSave.do, movedcmnt.do) and the
// published items fetched back (update.do, fileAttachlist.do, updateFileAttach.do).
#pragma once

#include <httplib.h>

#include "server/review_services.h"

namespace quillserver {

// The largest comment blob accepted: an embedded file of 10,000,000 bytes with its dictionaries.
constexpr size_t kMaxCommentBlobBytes = 12 * 1000 * 1000;

void AddAutosaveRoutes(httplib::Server& svr, ReviewServices& services);

}  // namespace quillserver
