// Readers of the review server's short replies: numbers, "0" and JSON objects.
#pragma once
#include "review/review_names.h"

#include <json/value.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quill::review {

// Opening texts by which the JSON replies are recognised, exactly as the server writes them.
inline constexpr const char* kRevnoOpening = "{\"revno\":";
inline constexpr const char* kCmntReviewOpening = "{\"cmntReview\":";
inline constexpr const char* kParticipantsOpening = "{\"cmnt\":";
inline constexpr const char* kLastModifiedOpening = "{\"lastmodifieddate\":";
inline constexpr const char* kFeedbackSummaryOpening = "{\"summary\":";

// The number of "PUBLISH" and "UDQSIZE": an optional "-", then digits only. An empty text and
// a lone "-" pass and read as 0. False for anything else, and for a number outside 32 bits.
bool ReadReplyNumber(const std::string& reply, int32_t& value);

// True when the reply of review.do, feedback.do, finish.do, cmntDtl.do or delCmntDtl.do
// reports success: exactly "0".
bool IsSuccessReply(const std::string& reply);

// True when the reply holds the opening text of the expected object, e.g. {"revno":.
bool IsJsonReply(const std::string& reply, const std::string& opening);

// Recognises the reply by its opening text and parses it into root. False, with a reason
// in error when given, when the opening is missing or the text is not a JSON object.
bool ParseJsonReply(const std::string& reply, const std::string& opening, Json::Value& root,
                    std::string* error = nullptr);

// The count of "REVISION": revno, a text holding a number (a number is taken too).
bool ReadRevisionReply(const std::string& reply, int32_t& revno);

// One review decision of "REVIEW": the comment id and "Y", "N" or "C".
struct ReviewDecision {
    std::string cmntId;
    std::string decision;
    bool operator==(const ReviewDecision&) const = default;
};

// The decisions of the cmntReview array, in its order. In each element the string members
// are visited in the order of their names: a value other than "Y", "N" or "C" names the
// comment, and a following "Y", "N" or "C" gives its decision. False when the reply is not a
// cmntReview object with an array.
bool ReadReviewDecisions(const std::string& reply, std::vector<ReviewDecision>& decisions);

}  // namespace quill::review
