#include "sync/update_reply.h"

#include <json/reader.h>

#include <cstdio>

#include "app/logs.h"
#include "sync/base_exception.h"
#include "sync/fdf_name_tokens.h"
#include "sync/param_form.h"

namespace {

// Copies the integer and string members of an object; members of other types are dropped.
void CopyScalarMembers(const Json::Value& object, ParamMap& into, bool log) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        const std::string name = it.name();
        const Json::Value& value = *it;
        const Json::ValueType type = value.type();
        if ((type == Json::intValue || type == Json::uintValue) && value.isInt()) {
            into[name] = static_cast<int32_t>(value.asInt());
            if (log) {
                WriteLog("__parseUpdateResult",
                         "[" + name + "][" + std::to_string(value.asInt()) + "]");
            }
        } else if (type == Json::stringValue) {
            into[name] = value.asString();
            if (log) WriteLog("__parseUpdateResult", "[" + name + "][" + value.asString() + "]");
        }
    }
}

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

namespace wire {

void __parseUpdateResult(const Json::Value& root, ParamMap& reply) {
    WriteLog("__parseUpdateResult", "BEGIN");
    if (root.isObject() && root.isMember("docQ") && root["docQ"].isArray()) {
        const Json::Value& docQ = root["docQ"];
        std::vector<ParamMap> list;
        list.reserve(docQ.size());
        for (Json::ArrayIndex i = 0; i < docQ.size(); ++i) {
            WriteLog("__parseUpdateResult", "[ITEM INDEX]: " + std::to_string(i));
            if (!docQ[i].isObject()) continue;
            ParamMap element;
            CopyScalarMembers(docQ[i], element, true);
            list.push_back(std::move(element));
        }
        reply["list"] = ParamValue(std::move(list));
    }
    WriteLog("__parseUpdateResult", "END");
}

}  // namespace wire

void ReadReplyText(const std::string& cmd, const std::string& text, ParamMap& reply) {
    Json::CharReaderBuilder builder;
    builder["stackLimit"] = 256;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
        reply["errorCode"] = static_cast<int32_t>(kBadJsonCode);
        reply["errorMsg"] = errors + "\ntarget text: " + text;
        return;
    }
    if (cmd == kCmdAutoSave) {
        if (root.isObject()) CopyScalarMembers(root, reply, false);
    } else {
        wire::__parseUpdateResult(root, reply);
    }
}

std::vector<ParamMap> ReadUpdateList(const ParamMap& reply) {
    if (const ParamValue* code = reply.Find("errorCode")) {
        const ParamValue* message = reply.Find("errorMsg");
        const int number = code->type() == ParamValue::kInteger ? code->integer()
                                                                 : AtoiView(code->AsText());
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
    for (const ParamMap& element : ReadUpdateList(reply)) items.push_back(QueueItemFromMap(element));
    return items;
}
