#include "review/comment_outcome_reply.h"
#include "review/review_names.h"

#include <json/value.h>

#include "review/review_replies.h"

namespace quill::review {

namespace {

std::string TextMember(const Json::Value& element, const char* name) {
    const Json::Value& member = element[name];
    return member.isString() ? member.asString() : std::string();
}

std::string FlagMember(const Json::Value& element, const char* name) {
    std::string flag = TextMember(element, name);
    return flag == "Y" || flag == "N" ? flag : std::string();
}

}  // namespace

bool ReadCommentOutcomes(const std::string& reply,
                         std::map<std::string, CommentOutcome>& outcomes) {
    Json::Value root;
    if (!ParseJsonReply(reply, kCommentOutcomeOpening, root)) return false;
    const Json::Value& list = static_cast<const Json::Value&>(root)["cmntOutcome"];
    if (!list.isArray()) return false;
    std::map<std::string, CommentOutcome> read;
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const Json::Value& element = list[i];
        if (!element.isObject()) continue;
        const std::string id = TextMember(element, "CMNT_ID");
        if (id.empty()) continue;
        CommentOutcome& outcome = read[id];
        outcome.decision = FlagMember(element, "RVW_YN");
        outcome.decisionSummary = TextMember(element, "RVW_CONT");
        outcome.feedback = FlagMember(element, "FDBK_YN");
        outcome.feedbackText = TextMember(element, "FDBK_CONT");
    }
    outcomes = std::move(read);
    return true;
}

}  // namespace quill::review
