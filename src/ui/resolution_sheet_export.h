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
namespace quill::engine {
class EngineControl;
}

namespace quill::ui {

// The index's comments with their replies read from the viewer (depth first, in the order
// the viewer keeps them); without a control, or for a comment the viewer no longer holds,
// the comment goes without replies.
std::vector<session::SheetComment> GatherSheetComments(const app::CommentIndex& index,
                                                       control::PdfViewerControl* control);

// Writes the sheet to path: PDF when it ends in ".pdf" (any case), CSV otherwise. The PDF shows
// each comment's area when the engine holding the comments is given. With a parent, a
// cancellable progress dialog shows for a review of many comments. False, with a reason in
// error, on failure or when cancelled.
bool SaveResolutionSheetFile(const QString& path, const session::SheetTitle& title,
                             const std::vector<session::SheetRow>& rows,
                             const engine::EngineControl* engine, QWidget* parent, QString* error);

}  // namespace quill::ui
