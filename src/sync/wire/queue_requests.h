// The autosave requests of queue items, as parameter maps for a Connector.
#pragma once
#include "sync/sync_names.h"

#include <string>

#include "sync/wire/param_map.h"
#include "sync/wire/queue_model.h"

namespace quill::sync {

// The AUTOSAVE request of an item: CMD, docId, qType, actionType, pageNo, userId, targetId
// (the userId again), NM, IRT, object, creationDate, and movePageNo when it is 0 or more.
ParamMap AutoSaveRequest(const CQueueModel& item);
// An UPDATE or UPDATE_FILE_ATTACH request: CMD, docId, rev.
ParamMap UpdateRequest(const std::string& cmd, const std::string& docId, int revision);

}  // namespace quill::sync
