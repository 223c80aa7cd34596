#include "sync/wire/update_reply.h"
#include "sync/sync_names.h"

#include "sync/base_exception.h"
#include "sync/fdf/fdf_name_tokens.h"
#include "sync/wire/param_form.h"

namespace quill::sync {

namespace {

int IntegerOf(const ParamMap& map, const char* key, int fallback) {
    const ParamValue* value = map.Find(key);
    if (!value) return fallback;
    if (value->type() == ParamValue::kInteger) return value->integer();
    if (value->type() == ParamValue::kText) return AtoiView(value->text());
    return fallback;
}

std::string TextOf(const ParamMap& map, const char* key) {
    const ParamValue* value = map.Find(key);
    return value ? value->AsText() : std::string();
}

}  // namespace

std::vector<ParamMap> ReadUpdateList(const ParamMap& reply) {
    if (const ParamValue* code = reply.Find("errorCode")) {
        const ParamValue* message = reply.Find("errorMsg");
        const int number =
            code->type() == ParamValue::kInteger ? code->integer() : AtoiView(code->AsText());
        throw BaseException(message ? message->AsText() : std::string(), number);
    }
    const ParamValue* list = reply.Find("list");
    if (!list || list->type() != ParamValue::kList) return {};
    return list->list();
}

std::unique_ptr<CDocQueueModel> QueueItemFromMap(const ParamMap& element) {
    auto item = std::make_unique<CDocQueueModel>();
    item->revision = IntegerOf(element, "REVISION_NO", -1);
    item->actionType = IntegerOf(element, "ACTION_TYPE", -1);
    item->pageNo = IntegerOf(element, "PAGE_NO", -1);
    item->docId = TextOf(element, "DOC_ID");
    item->queueId = TextOf(element, "q_ID");
    item->qType = TextOf(element, "q_TYPE");
    item->userId = TextOf(element, "USER_ID");
    item->targetId = TextOf(element, "TARGET_ID");
    item->NM = TextOf(element, "NM");
    item->IRT = TextOf(element, "IRT");
    item->object = TextOf(element, "OBJECT");
    item->creationDate = TextOf(element, "CREATE_DATE");
    return item;
}

std::vector<std::unique_ptr<CDocQueueModel>> ReadQueueItems(const ParamMap& reply) {
    std::vector<std::unique_ptr<CDocQueueModel>> items;
    for (const ParamMap& element : ReadUpdateList(reply))
        items.push_back(QueueItemFromMap(element));
    return items;
}

}  // namespace quill::sync
