// Entering comments of the viewer control in the comment index that feeds the comment list.
#pragma once
#include "session/session_names.h"

#include <string>

#include "app/comment_index.h"

namespace quill::sync {
class CNMObject;
}

namespace quill::control {
class PdfViewerControl;
}

namespace quill::session {

// An automation date (days since 1899-12-30, local time) as "yyyy-mm-dd hh:mm:ss"; a date
// that cannot be converted gives -1 for every part.
std::string FormatCommentDate(double automationDate);

// Writes the comment's author, contents, subject, modification time and reply count, as the
// control has them at the record's page and annotation index, into its entry (made when
// missing), with the record's page, index and the record itself. Feedback status, list
// position and card stay as they are. False when the control has no annotation there.
bool EnterComment(CommentIndex& index, control::PdfViewerControl& control, CNMObject& record);

}  // namespace quill::session
