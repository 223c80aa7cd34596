// Feeds arbitrary reply bytes through every reader of the review server's replies.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "review/comment_outcome_reply.h"
#include "review/review_replies.h"

using namespace quill;
using namespace quill::review;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string reply(reinterpret_cast<const char*>(data), size);
    int32_t number = 0;
    ReadReplyNumber(reply, number);
    IsSuccessReply(reply);
    int32_t revno = 0;
    ReadRevisionReply(reply, revno);
    std::vector<ReviewDecision> decisions;
    ReadReviewDecisions(reply, decisions);
    std::map<std::string, CommentOutcome> outcomes;
    ReadCommentOutcomes(reply, outcomes);
    Json::Value root;
    std::string error;
    for (const char* opening :
         {kParticipantsOpening, kLastModifiedOpening, kFeedbackSummaryOpening})
        ParseJsonReply(reply, opening, root, &error);
    return 0;
}
