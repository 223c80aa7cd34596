// What the viewer dialog asks of the window that hosts it (the main window).
#pragma once
#include "viewer/viewer_names.h"

#include <string>

namespace quill::viewer {

class ViewerDialogHost {
public:
    virtual ~ViewerDialogHost() = default;

    // The initiator holds (or lets go of) the Ctrl key: the comment list selects several.
    virtual void SetMultiSelect(bool on) {}
    // Escape: back to the hand tool.
    virtual void SelectHandTool() {}
    // The waiting state over the window ("Waiting..."), and its end.
    virtual void ShowBusy(const std::string& text) {}
    virtual void HideBusy() {}
    // The comment list is built again from the comment index.
    virtual void RefillCommentList() {}
    // The reviewer deleted a comment (a move to another page deletes it first): its detail
    // is marked for deletion at the next publish. Delivered after the handler's event, in the
    // order of the events, before a move of the same comment clears the mark again.
    virtual void CommentDeleted(const std::string& uniqueName) {}
};

}  // namespace quill::viewer
