#include "review/review_session.h"

ReviewSession& AppReviewSession() {
    static ReviewSession session;
    return session;
}
