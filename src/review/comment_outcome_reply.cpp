#include "review/comment_outcome_reply.h"
#include "review/review_names.h"

#include <json/value.h>

#include "review/review_replies.h"

namespace quill::review {

namespace {

// The text with every byte that starts no well-formed UTF-8 sequence replaced by U+FFFD: the
// texts go into UTF-8 files as they are.
std::string WellFormedUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = byte(i);
        size_t length = lead < 0x80           ? 1
                        : (lead >> 5) == 0x6  ? 2
                        : (lead >> 4) == 0xE  ? 3
                        : (lead >> 3) == 0x1E ? 4
                                              : 0;
        bool ok = length > 0 && i + length <= text.size() && !(lead == 0xC0 || lead == 0xC1) &&
                  lead <= 0xF4;
        for (size_t k = 1; ok && k < length; ++k) ok = (byte(i + k) & 0xC0) == 0x80;
        // No overlong three- and four-byte forms, no surrogates, nothing past U+10FFFF.
        if (ok && length == 3) {
            const unsigned char second = byte(i + 1);
            ok = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second >= 0xA0);
        }
        if (ok && length == 4) {
            const unsigned char second = byte(i + 1);
            ok = !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second >= 0x90);
        }
        if (ok) {
            out.append(text, i, length);
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string TextMember(const Json::Value& element, const char* name) {
    const Json::Value& member = element[name];
    return member.isString() ? WellFormedUtf8(member.asString()) : std::string();
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
