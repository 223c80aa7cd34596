#include "review/feedback_summary_reply.h"
#include "review/review_names.h"

#include <json/value.h>

#include "platform/code_page.h"
#include "review/review_replies.h"

namespace quill::review {

namespace {

// A member read as text only when it is one: asString() on an object or array throws, and a
// number shown as a report would be a guess.
std::string TextMember(const Json::Value& element, const char* name) {
    if (!element.isObject()) return {};
    const Json::Value& member = element[name];
    if (!member.isString()) return {};
    // The server's texts are UTF-8 whatever the system code page says.
    return platform::TrimUtf8(member.asString());
}

}  // namespace

bool ReadFeedbackSummary(const std::string& reply, FeedbackSummaryTexts& texts) {
    Json::Value root;
    if (!ParseJsonReply(reply, kFeedbackSummaryOpening, root)) return false;
    const Json::Value& list = static_cast<const Json::Value&>(root)["summary"];
    if (!list.isArray()) return false;
    FeedbackSummaryTexts read;
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const Json::Value& element = list[i];
        read.finishReport = TextMember(element, "CMPLT_RPT_CONT");
        read.resultSummary = TextMember(element, "OUTCOM_CONT");
    }
    texts = std::move(read);
    return true;
}

}  // namespace quill::review
