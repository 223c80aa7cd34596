#include "app/comment_copy_buffer.h"

namespace quill::app {

// Owned by the application object for the life of the process.
CommentCopyBuffer& AppCommentCopyBuffer() {
    static CommentCopyBuffer buffer;
    return buffer;
}

}  // namespace quill::app
