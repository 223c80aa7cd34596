// Reading the revision lists of UPDATE and UPDATE_FILE_ATTACH replies as queue items.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <string>
#include <vector>

#include "sync/wire/param_map.h"
#include "sync/wire/queue_model.h"

namespace quill::sync {

// The `list` of an UPDATE or UPDATE_FILE_ATTACH reply (empty when absent). Throws
// BaseException with errorMsg and errorCode when the reply has an errorCode.
std::vector<ParamMap> ReadUpdateList(const ParamMap& reply);

// A queue item from one element of the list.
std::unique_ptr<CDocQueueModel> QueueItemFromMap(const ParamMap& element);
// ReadUpdateList, then every element as a queue item, in order.
std::vector<std::unique_ptr<CDocQueueModel>> ReadQueueItems(const ParamMap& reply);

}  // namespace quill::sync
