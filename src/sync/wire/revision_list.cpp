#include "sync/wire/revision_list.h"
#include "sync/sync_names.h"

#include <json/value.h>

#include <charconv>
#include <string>

#include "review/json_text.h"

namespace quill::sync {

namespace {

bool ReadRevision(const Json::Value& element, int32_t& revision) {
    if (element.isString()) {
        const char* begin = element.asCString();
        const char* end = begin + std::char_traits<char>::length(begin);
        const auto [last, error] = std::from_chars(begin, end, revision);
        return error == std::errc() && last == end && begin != end && revision >= 0;
    }
    if (element.isInt() && element.asInt() >= 0) {
        revision = element.asInt();
        return true;
    }
    return false;
}

}  // namespace

bool ReadRevisionList(std::string_view text, std::vector<int32_t>& revisions) {
    revisions.clear();
    if (text.find("{\"rev\":") == std::string_view::npos) return false;
    try {
        Json::Value root;
        std::string errors;
        if (!review::ParseJsonText(text, root, errors)) return false;
        if (!root.isObject() || !root["rev"].isArray()) return false;
        const Json::Value& list = root["rev"];
        for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
            int32_t revision = 0;
            if (!ReadRevision(list[i], revision)) {
                revisions.clear();
                return false;
            }
            revisions.push_back(revision);
        }
        return true;
    } catch (...) {
        // jsoncpp reports some malformed input by throwing; a reply never ends the client.
        revisions.clear();
        return false;
    }
}

}  // namespace quill::sync
