// Building queue items from comment content and comment records from queue items.
#pragma once
#include "sync/sync_names.h"

#include <memory>
#include <string>

#include "sync/fdf/binary_content.h"
#include "sync/nm_object.h"
#include "sync/wire/queue_model.h"

namespace quill::sync {

// A new item with its fields set and content (may be null: deletions and moves) serialised
// to a CommentBlob and encoded into `object`. The first variant also sets the annotation
// index, the second the IRT of a reply.
std::unique_ptr<CDocQueueModel> createDocQueueModel(const std::string& docId, int actionType,
                                                    const std::string& qType, int pageNo,
                                                    const std::string& targetId,
                                                    const std::string& userId,
                                                    const std::string& NM,
                                                    const BinaryContent* content, int annotIndex);
std::unique_ptr<CDocQueueModel> createDocQueueModel(
    const std::string& docId, int actionType, const std::string& qType, int pageNo,
    const std::string& targetId, const std::string& userId, const std::string& NM,
    const BinaryContent* content, const std::string& IRT);

struct AsReply {};
inline constexpr AsReply asReply{};

// A CAnnot with page, unique name and the content decoded from `object` (absent when it is
// empty). Throws BaseException when the decoded blob is damaged.
std::unique_ptr<CAnnot> createAnnotModel(const CQueueModel& item);
// The reply variant: a CReply that also takes IRT as its in-reply-to name.
std::unique_ptr<CReply> createAnnotModel(const CQueueModel& item, AsReply);

}  // namespace quill::sync
