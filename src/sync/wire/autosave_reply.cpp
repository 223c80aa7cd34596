#include "sync/wire/autosave_reply.h"
#include "sync/sync_names.h"

#include <json/value.h>

#include <cstdio>

#include "app/logs.h"
#include "review/json_text.h"
#include "sync/wire/param_form.h"

namespace quill::sync {

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

}  // namespace

namespace wire {

void _parseUpdateResult(const Json::Value& root, ParamMap& reply) {
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
    Json::Value root;
    std::string errors;
    if (!ParseJsonText(text, root, errors)) {
        reply["errorCode"] = static_cast<int32_t>(kBadJsonCode);
        reply["errorMsg"] = errors + "\ntarget text: " + text;
        return;
    }
    if (cmd == kCmdAutoSave) {
        if (root.isObject()) CopyScalarMembers(root, reply, false);
    } else {
        wire::_parseUpdateResult(root, reply);
    }
}

}  // namespace quill::sync
