#include "sync/wire/queue_builders.h"
#include "sync/sync_names.h"

#include <cstdio>

#include "sync/log_step.h"
#include "sync/wire/comment_blob.h"
#include "sync/wire/uri_codec.h"

namespace quill::sync {

namespace {

std::unique_ptr<CDocQueueModel> NewItem(const std::string& docId, int actionType,
                                        const std::string& qType, int pageNo,
                                        const std::string& targetId, const std::string& userId,
                                        const std::string& NM, const BinaryContent* content) {
    LogStep step("createDocQueueModel");
    auto item = std::make_unique<CDocQueueModel>();
    item->docId = docId;
    item->actionType = actionType;
    item->qType = qType;
    item->pageNo = pageNo;
    item->targetId = targetId;
    item->userId = userId;
    item->NM = NM;
    if (content && content->content) {
        ByteBuffer blob = MakeCommentBlob(*content);
        item->object = UriEncodeForByteArray(blob.data(), blob.size());
    }
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, ", ACTION_TYPE: %d, PAGE_NO: %d", actionType, pageNo);
    step.Log("NM: " + NM + ", DOC_ID: " + docId + numbers + ", TARGET_ID: " + targetId +
             ", USER_ID: " + userId + ", Q_TYPE: " + qType);
    step.Log("OBJECT: " + item->object);
    return item;
}

template <typename Record>
std::unique_ptr<Record> RecordFrom(const CQueueModel& item) {
    LogStep step("createAnnotModel");
    step.Log(item.object);
    auto record = std::make_unique<Record>();
    record->page = item.pageNo;
    record->uniqueName = item.NM;
    if (!item.object.empty()) {
        ByteBuffer blob = UriDecode2ByteArray(item.object);
        record->content = BinaryContentFromBlob(blob.view());
    }
    return record;
}

}  // namespace

std::unique_ptr<CDocQueueModel> createDocQueueModel(const std::string& docId, int actionType,
                                                    const std::string& qType, int pageNo,
                                                    const std::string& targetId,
                                                    const std::string& userId,
                                                    const std::string& NM,
                                                    const BinaryContent* content, int annotIndex) {
    auto item = NewItem(docId, actionType, qType, pageNo, targetId, userId, NM, content);
    item->annotIndex = annotIndex;
    return item;
}

std::unique_ptr<CDocQueueModel> createDocQueueModel(
    const std::string& docId, int actionType, const std::string& qType, int pageNo,
    const std::string& targetId, const std::string& userId, const std::string& NM,
    const BinaryContent* content, const std::string& IRT) {
    auto item = NewItem(docId, actionType, qType, pageNo, targetId, userId, NM, content);
    item->IRT = IRT;
    return item;
}

std::unique_ptr<CAnnot> createAnnotModel(const CQueueModel& item) {
    return RecordFrom<CAnnot>(item);
}

std::unique_ptr<CReply> createAnnotModel(const CQueueModel& item, AsReply) {
    auto reply = RecordFrom<CReply>(item);
    reply->inReplyTo = item.IRT;
    return reply;
}

}  // namespace quill::sync
