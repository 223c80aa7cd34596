// What the review routes work on: the stores and the folder of downloadable documents.
#pragma once

#include <filesystem>

#include "server/content_catalog.h"
#include "server/fault_injector.h"
#include "server/queue_store.h"
#include "server/review_records.h"

namespace quillserver {

struct ReviewServices {
    QueueStore& queue;
    ReviewRecords& records;
    ContentCatalog& contents;
    FaultInjector& faults;
    std::filesystem::path documentsFolder;
    size_t maxFormBytes;
};

}  // namespace quillserver
