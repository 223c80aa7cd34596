// Reader of the "FEEDBACKSUMMARY" reply: the initiator's finish report and result summary.
#pragma once
#include "review/review_names.h"

#include <string>

namespace quill::review {

// The texts the participant reads before giving feedback, UTF-8 as the server sends them.
struct FeedbackSummaryTexts {
    std::string finishReport;   // CMPLT_RPT_CONT
    std::string resultSummary;  // OUTCOM_CONT
    bool operator==(const FeedbackSummaryTexts&) const = default;
};

// Reads a reply of the form {"summary":[{"CMPLT_RPT_CONT":"..","OUTCOM_CONT":".."},...]}.
// Every element in turn replaces the texts, so the last one stays; the texts are trimmed of
// blanks, tabs and line breaks at both ends. A member that is missing or not a string, and an
// element that is not an object, give empty texts. An empty array gives empty texts too.
// False (texts untouched) when the reply lacks the opening text, is not a JSON object, or its
// summary is not an array. Never throws.
bool ReadFeedbackSummary(const std::string& reply, FeedbackSummaryTexts& texts);

}  // namespace quill::review
