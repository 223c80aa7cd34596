#include "sync/queue_model.h"

CQueueModel::~CQueueModel() = default;
CDocQueueModel::~CDocQueueModel() = default;
