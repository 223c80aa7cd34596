// What the comment event handlers hand on to the windows: deletions, moves and list refills.
#pragma once
#include "session/session_names.h"

#include <string>

namespace quill::session {

// The handlers run inside the control's events; what they post is delivered later, on the
// GUI thread, in the order it was posted (a move posts a deletion and then a move, and the
// move must see the deletion's flag already set).
class CommentEventSink {
public:
    virtual ~CommentEventSink() = default;

    // A comment was deleted: the main window marks its detail for deletion at publish. The
    // name is a copy the receiver keeps.
    virtual void PostCommentDeleted(const std::string& uniqueName) = 0;
    // A comment without a record was changed (a move to another page lands here): the
    // handlers' OnCommentMoved is to run with the same values once the deletion is through.
    virtual void PostCommentMoved(int page, int annotIndex, const std::string& uniqueName) = 0;
    // The comment list is built again from the comment index, at once.
    virtual void RefillCommentList() = 0;
};

}  // namespace quill::session
