// Sorting incoming queue items into the six groups of a merge.
#pragma once
#include "sync/sync_names.h"

#include <array>
#include <memory>
#include <vector>

#include "sync/wire/param_map.h"
#include "sync/wire/queue_model.h"

namespace quill::sync {

// The groups of one merge, each in the order the server listed the items.
struct CPtrArrayCustom {
    enum Group {
        kAnnotsCreated = 0,
        kAnnotsUpdated,
        kAnnotsDeleted,
        kRepliesCreated,
        kRepliesUpdated,
        kRepliesDeleted,
        kGroupCount
    };
    std::array<std::vector<std::unique_ptr<CDocQueueModel>>, kGroupCount> groups;

    std::vector<std::unique_ptr<CDocQueueModel>>& operator[](Group g) { return groups[g]; }
    size_t TotalSize() const;
};

// Reads every item map and puts it in its group by its IRT (empty: a comment) and action
// (0, 1, 2); moves and unknown actions are dropped. highestRevision is raised to the
// largest REVISION_NO seen.
std::unique_ptr<CPtrArrayCustom> BuildQueues(const std::vector<ParamMap>& items,
                                             int& highestRevision);

}  // namespace quill::sync
