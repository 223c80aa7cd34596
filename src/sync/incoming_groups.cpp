#include "sync/incoming_groups.h"
#include "sync/sync_names.h"

#include "sync/log_step.h"
#include "sync/wire/update_reply.h"

namespace quill::sync {

size_t CPtrArrayCustom::TotalSize() const {
    size_t total = 0;
    for (const auto& group : groups) total += group.size();
    return total;
}

std::unique_ptr<CPtrArrayCustom> BuildQueues(const std::vector<ParamMap>& items,
                                             int& highestRevision) {
    LogStep step("BuildQueues");
    auto set = std::make_unique<CPtrArrayCustom>();
    for (const ParamMap& element : items) {
        std::unique_ptr<CDocQueueModel> item = QueueItemFromMap(element);
        if (item->revision > highestRevision) highestRevision = item->revision;
        const bool reply = !item->IRT.empty();
        int group = -1;
        switch (item->actionType) {
            case kActionCreate:
                group = reply ? CPtrArrayCustom::kRepliesCreated : CPtrArrayCustom::kAnnotsCreated;
                break;
            case kActionUpdate:
                group = reply ? CPtrArrayCustom::kRepliesUpdated : CPtrArrayCustom::kAnnotsUpdated;
                break;
            case kActionDelete:
                group = reply ? CPtrArrayCustom::kRepliesDeleted : CPtrArrayCustom::kAnnotsDeleted;
                break;
            default:
                break;  // a move is the other client's own affair
        }
        if (group >= 0) set->groups[static_cast<size_t>(group)].push_back(std::move(item));
    }
    return set;
}

}  // namespace quill::sync
