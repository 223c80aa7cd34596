// The viewer dialog's side of the merge: putting other reviewers' comments into the viewer
// control and the comment index, and the callbacks it hands to the autosave worker.
#pragma once
#include "session/session_names.h"

#include <string>

#include "app/comment_index.h"
#include "app/pending_details.h"
#include "session/reviewer_role.h"
#include "sync/autosave_callbacks.h"

namespace quill::control {
class PdfViewerControl;
}

namespace quill::session {

class ViewerCommentSync {
public:
    // Nothing is owned; everything outlives this object.
    ViewerCommentSync(control::PdfViewerControl& control, CommentIndex& index,
                      PendingDetails& pending, std::string workingFolder, ReviewerRole role);

    // ---- merge callbacks (each returns 0) ----
    int OnRemoteAnnotCreated(CNMObject& record);
    int OnRemoteAnnotUpdated(CNMObject& record);
    int OnRemoteAnnotDeleted(CNMObject& record);
    int OnRemoteRepliesChanged(CNMObject& record);
    int OnRemoteAnnotRegistered(CNMObject& record);
    // Writes the comment and its descendants to a new temporary FDF file of the working
    // folder and returns its path (empty when it cannot be written); importing is the
    // caller's.
    std::string ShowCommentInViewer(CAnnot& annot);
    // The nine slots, in the worker's order.
    AutosaveCallbacks Callbacks();

    // ---- importing a record ----
    // Imports the record and its descendants as a new annotation of its page; its annotation
    // index becomes the page's last, or -1 when the control did not take it in.
    void SDK_AppendAnnot(CNMObject& record);
    // The same for a comment whose replies changed: the annotation at the record's place is
    // replaced, and its replies get the reviewer's read-only rule.
    void SDK_AppendReply(CNMObject& record);

    const ReviewerRole& Role() const { return role_; }

private:
    // Removes the record's annotation from its page, found by name (FindAnnotByName), so
    // that an index out of step never costs another reviewer's comment.
    void RemoveRecordAnnot(const CNMObject& record);
    // Writes the record's FDF into a new file and imports it; false when nothing was imported.
    bool ImportRecord(CNMObject& record, const char* step, const char* importLine,
                      const char* importedLine);

    control::PdfViewerControl& control_;
    CommentIndex& index_;
    PendingDetails& pending_;
    std::string workingFolder_;
    ReviewerRole role_;
};

}  // namespace quill::session
