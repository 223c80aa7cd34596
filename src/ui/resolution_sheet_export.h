// Saving the comment-resolution sheet from the main window: gathering, progress, CSV or PDF.
#pragma once

#include <QString>

#include <vector>

#include "app/comment_index.h"
#include "session/resolution_sheet.h"

class QWidget;

namespace quill::control {
class PdfViewerControl;
}

namespace quill::ui {

// The index's comments with their replies read from the viewer (depth first, in the order
// the viewer keeps them); without a control, or for a comment the viewer no longer holds,
// the comment goes without replies.
std::vector<session::SheetComment> GatherSheetComments(const app::CommentIndex& index,
                                                       control::PdfViewerControl* control);

// Writes the sheet to path: PDF when it ends in ".pdf" (any case), CSV otherwise. With a
// parent, a cancellable progress dialog shows for a review of many comments. False, with a
// reason in error, on failure or when cancelled.
bool SaveResolutionSheetFile(const QString& path, const session::SheetTitle& title,
                             const std::vector<session::SheetRow>& rows, QWidget* parent,
                             QString* error);

}  // namespace quill::ui
