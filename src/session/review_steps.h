// The review steps that the role dialogs send: decision, feedback and finish, each reduced to
// success when the server answers exactly "0".
#pragma once
#include "session/session_names.h"

#include <string>

#include "app/comment_index.h"

namespace quill::review {
class ReviewClient;
}

namespace quill::session {

class ReviewSteps {
public:
    virtual ~ReviewSteps() = default;
    // The initiator's decision on a comment (apply or do not apply) with its summary text.
    virtual bool SendReview(const std::string& name, bool apply, const std::string& text) = 0;
    // A participant's answer in the feedback step.
    virtual bool SendFeedback(const std::string& name, bool agree, const std::string& text) = 0;
    // The engineer's finish of the review step: finish is 1 or 0.
    virtual bool SendFinish(int finish, const std::string& text) = 0;
};

// The steps over the review client; the decision carries the comment's contents from the index.
class ClientReviewSteps : public ReviewSteps {
public:
    // Both must outlive the object.
    ClientReviewSteps(const ReviewClient& client, const CommentIndex& comments)
        : client_(client), comments_(comments) {}

    bool SendReview(const std::string& name, bool apply, const std::string& text) override;
    bool SendFeedback(const std::string& name, bool agree, const std::string& text) override;
    bool SendFinish(int finish, const std::string& text) override;

private:
    const ReviewClient& client_;
    const CommentIndex& comments_;
};

}  // namespace quill::session
