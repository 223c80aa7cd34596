#include "session/review_steps.h"

#include "review/review_client.h"

namespace quill::session {

bool ClientReviewSteps::SendReview(const std::string& name, bool apply, const std::string& text) {
    // A name the list no longer holds goes with empty contents (sent as "N/A"); looking it up
    // must not add an entry to the list.
    const auto it = comments_.find(name);
    const std::string contents = it != comments_.end() ? it->second.contents : std::string();
    return client_.SendReview(name, apply, text, contents) == "0";
}

bool ClientReviewSteps::SendFeedback(const std::string& name, bool agree, const std::string& text) {
    return client_.SendFeedback(name, agree, text) == "0";
}

bool ClientReviewSteps::SendFinish(int finish, const std::string& text) {
    return client_.SendFinish(finish, text) == "0";
}

}  // namespace quill::session
