// The comment index: what the comment list shows for each comment, keyed by annotation name.
#pragma once

#include <map>
#include <string>

namespace quill::sync {
class CNMObject;  // the sync layer's record of a comment, held here by pointer only
}
namespace quill::session {
struct CommentCard;  // the comment list's card, held here by pointer only
}

namespace quill::app {

// Feedback status of a comment in the initiator's review.
enum FeedbackStatus : int {
    kFeedbackUnderReview = 0,
    kFeedbackApply = 1,
    kFeedbackDoNotApply = 2,
};

struct CommentEntry {
    int annotIndex = 0;    // index of the annotation within its page
    int pageIndex = 0;     // page of the annotation, from 0
    int listPosition = 0;  // position of the comment's card in the list, from 0
    std::string author;    // "name-discipline", as authorName
    std::string date;      // ModDate as "yyyy-mm-dd hh:mm:ss" (local time)
    std::string contents;
    std::string subject;  // the tool that drew it ("cloudy", "arrow", ...)
    int replyCount = 0;
    sync::CNMObject* record = nullptr;  // the client's record of the comment; not owned
    // The comment's card in the list, or none; owned by the list, cleared when it empties.
    session::CommentCard* card = nullptr;
    int feedbackStatus = kFeedbackUnderReview;
};

// A lookup of a name that is not in the map (operator[]) creates an empty entry: readers
// use find().
using CommentIndex = std::map<std::string, CommentEntry>;

// The process-wide index, owned by the application object.
CommentIndex& AppCommentIndex();

}  // namespace quill::app
