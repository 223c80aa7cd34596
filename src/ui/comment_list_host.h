// What the comment list asks of the window that owns it (the main window).
#pragma once
#include "ui/ui_names.h"

#include <string>

namespace quill::control {
class PdfViewerControl;
}
namespace quill::sync {
class AutosaveWorker;
}

namespace quill::ui {

class CommentListHost {
public:
    virtual ~CommentListHost() = default;

    // A click is about to select a card: 1 keeps the other selected cards (0x5FC).
    virtual void KeepSelection(bool keep) = 0;
    // A card was clicked: the selection rule runs and it becomes the current comment (0x5F5).
    virtual void CommentClicked(int page, const std::string& name) = 0;
    // A card was double-clicked: show the comment in the viewer (0x5F6).
    virtual void ShowComment(int page, const std::string& name) = 0;
    // Delete was pressed on the current comment: the viewer dialog deletes it (0x5F8).
    virtual void DeleteComment(int page, const std::string& name) = 0;
    // The initiator holds (or lets go of) Ctrl.
    virtual void SetMultiSelect(bool on) = 0;
    // Escape: back to the hand tool.
    virtual void SelectHandTool() = 0;
    // A card menu's choice: the review dialog for that comment, positive or negative.
    virtual void OpenReviewDialog(const std::string& name, bool positive) = 0;
    // The viewer's control and autosave worker (null while the document is not open).
    virtual control::PdfViewerControl* CommentControl() = 0;
    virtual sync::AutosaveWorker* CommentWorker() = 0;
};

}  // namespace quill::ui
