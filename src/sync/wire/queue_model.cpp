#include "sync/wire/queue_model.h"
#include "sync/sync_names.h"

namespace quill::sync {

CQueueModel::~CQueueModel() = default;
CDocQueueModel::~CDocQueueModel() = default;

}  // namespace quill::sync
