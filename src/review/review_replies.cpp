#include "review/review_replies.h"
#include "review/review_names.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "app/launch_params.h"
#include "review/json_text.h"

namespace quill::review {

bool ReadReplyNumber(const std::string& reply, int32_t& value) {
    size_t pos = 0;
    bool negative = false;
    if (pos < reply.size() && reply[pos] == '-') {
        negative = true;
        ++pos;
    }
    int64_t number = 0;
    for (; pos < reply.size(); ++pos) {
        char c = reply[pos];
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
        // A revision outside 32 bits would wrap into a wrong one: refuse it.
        if (number > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return false;
    }
    if (negative) number = -number;
    if (number > std::numeric_limits<int32_t>::max()) return false;
    value = static_cast<int32_t>(number);
    return true;
}

bool IsSuccessReply(const std::string& reply) { return reply == "0"; }

bool IsJsonReply(const std::string& reply, const std::string& opening) {
    return !opening.empty() && reply.find(opening) != std::string::npos;
}

bool ParseJsonReply(const std::string& reply, const std::string& opening, Json::Value& root,
                    std::string* error) {
    if (!IsJsonReply(reply, opening)) {
        if (error) *error = "reply without " + opening;
        return false;
    }
    std::string errors;
    Json::Value parsed;
    const bool ok = ParseJsonText(reply, parsed, errors);
    if (!ok || !parsed.isObject()) {
        if (error) *error = errors.empty() ? std::string("reply is not a JSON object") : errors;
        return false;
    }
    root = std::move(parsed);
    return true;
}

bool ReadRevisionReply(const std::string& reply, int32_t& revno) {
    Json::Value root;
    if (!ParseJsonReply(reply, kRevnoOpening, root)) return false;
    const Json::Value& value = root["revno"];
    if (value.isString()) {
        revno = AtoiLike(value.asString());
        return true;
    }
    if (value.isInt()) {
        revno = value.asInt();
        return true;
    }
    return false;
}

bool ReadReviewDecisions(const std::string& reply, std::vector<ReviewDecision>& decisions) {
    Json::Value root;
    if (!ParseJsonReply(reply, kCmntReviewOpening, root)) return false;
    const Json::Value& list = root["cmntReview"];
    if (!list.isArray()) return false;
    decisions.clear();
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const Json::Value& element = list[i];
        if (!element.isObject()) continue;
        std::vector<std::string> names = element.getMemberNames();
        std::sort(names.begin(), names.end());
        std::string cmntId;
        for (const std::string& name : names) {
            const Json::Value& member = element[name];
            if (!member.isString()) continue;
            std::string text = member.asString();
            if (text == "Y" || text == "N" || text == "C") {
                if (!cmntId.empty()) {
                    decisions.push_back({cmntId, text});
                    cmntId.clear();
                }
            } else {
                cmntId = text;
            }
        }
    }
    return true;
}

}  // namespace quill::review
