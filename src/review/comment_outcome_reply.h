// Reader of the "OUTCOME" reply: per comment, the initiator's decision and the participant's
// feedback, each with its text.
#pragma once
#include "review/review_names.h"

#include <map>
#include <string>

namespace quill::review {

// What was said of one comment; texts UTF-8 as the server sends them.
struct CommentOutcome {
    std::string decision;         // "Y", "N", or empty before a decision
    std::string decisionSummary;  // the initiator's text with the decision
    std::string feedback;         // "Y" (agree), "N" (disagree), or empty
    std::string feedbackText;
    bool operator==(const CommentOutcome&) const = default;
};

inline constexpr const char* kCommentOutcomeOpening = "{\"cmntOutcome\":";

// Reads {"cmntOutcome":[{"CMNT_ID":"..","RVW_YN":"..","RVW_CONT":"..","FDBK_YN":"..",
// "FDBK_CONT":".."},...]} into comment id -> outcome. An element that is not an object or has
// no string CMNT_ID is skipped; a member that is missing or not a string reads empty; a flag
// other than "Y" or "N" reads empty; a byte of a text that is not well-formed UTF-8 reads as
// U+FFFD. False (outcomes untouched) when the reply is not such an
// object with an array. Never throws.
bool ReadCommentOutcomes(const std::string& reply, std::map<std::string, CommentOutcome>& outcomes);

}  // namespace quill::review
