#include "review/review_session.h"
#include "review/review_names.h"

namespace quill::review {

ReviewSession& AppReviewSession() {
    static ReviewSession session;
    return session;
}

}  // namespace quill::review
