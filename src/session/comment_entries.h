// Entering comments of the viewer control in the comment index that feeds the comment list.
#pragma once

#include <string>

#include "app/comment_index.h"

class CNMObject;

namespace viewer {
class PdfViewerControl;
}

// An automation date (days since 1899-12-30, local time) as "yyyy-mm-dd hh:mm:ss"; a date
// that cannot be converted gives -1 for every part.
std::string FormatCommentDate(double automationDate);

// Writes the comment's author, contents, subject, modification time and reply count, as the
// control has them at the record's page and annotation index, into its entry (made when
// missing), with the record's page, index and the record itself. Feedback status, list
// position and card stay as they are. False when the control has no annotation there.
bool EnterComment(CommentIndex& index, viewer::PdfViewerControl& control, CNMObject& record);
