// One autosave queue item: a change to one comment or reply, as it travels to the server.
#pragma once
#include "sync/sync_names.h"

#include <string>

namespace quill::sync {

// Action codes of an item.
enum QueueAction { kActionCreate = 0, kActionUpdate = 1, kActionDelete = 2, kActionMove = 3 };

class CQueueModel {
public:
    CQueueModel() = default;
    virtual ~CQueueModel();

    std::string docId;    // request docId, reply DOC_ID
    std::string queueId;  // reply q_ID
    std::string qType;    // "A"
    int pageNo = -1;      // 0-based
    int movePageNo = -1;  // sent only when 0 or more
    int annotIndex = -1;  // local bookkeeping only
    int actionType = -1;  // QueueAction
    std::string userId;   // sent as userId and as targetId
    std::string creationDate;
    std::string NM;
    std::string IRT;
    std::string object;    // the CommentBlob, encoded with UriEncodeForByteArray
    std::string targetId;  // never sent
};

class CDocQueueModel : public CQueueModel {
public:
    ~CDocQueueModel() override;

    int revision = -1;  // reply REVISION_NO
};

}  // namespace quill::sync
