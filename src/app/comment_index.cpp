#include "app/comment_index.h"

namespace quill::app {

// Owned by the application object for the life of the process.
CommentIndex& AppCommentIndex() {
    static CommentIndex index;
    return index;
}

}  // namespace quill::app
