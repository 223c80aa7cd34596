#include "sync/wire/queue_model.h"

CQueueModel::~CQueueModel() = default;
CDocQueueModel::~CDocQueueModel() = default;
