// The viewer dialog's answer to the control's comment events: the reviewer's own comments and
// replies are stamped, styled and queued for the server.
#pragma once
#include "session/session_names.h"

#include <cstdint>
#include <functional>
#include <string>

#include "app/comment_index.h"
#include "app/pending_details.h"
#include "control/pdf_annot.h"
#include "control/pdf_viewer_events.h"
#include "session/subject_tool_table.h"
#include "session/tool_settings.h"

namespace quill::control {
class PdfViewerControl;
}
namespace quill::sync {
class AutosaveWorker;
}

namespace quill::session {

class CommentEventSink;

inline constexpr const char* kAuthorNameError = "Comment author name error.";
inline constexpr const char* kCannotModify = "Can't modify this comment.";
inline constexpr const char* kOwnCommentsOnly =
    "You can delete your comments and the engineers\nin the same discipline as you only.";
inline constexpr const char* kDeleteQuestion = "Do you want to delete the comment(s)?";

// Who the reviewer is for new comments and the queue.
struct CommentAuthoring {
    std::string authorName;
    int32_t commentColor = 0;  // 0x00BBGGRR
    std::string docId;
    std::string userId;
};

// Nothing is owned; everything outlives the handler. Every handler catches what the queue
// throws (an FDF that cannot be exported or parsed) and shows its message: the comment stays
// in the control without a list entry, and the client goes on.
class CommentEventHandler : public control::PdfViewerEvents {
public:
    CommentEventHandler(control::PdfViewerControl& control, AutosaveWorker& worker,
                        CommentIndex& index, PendingDetails& pending, ToolSettings& tools,
                        const SubjectToolTable& subjects, CommentEventSink& sink,
                        CommentAuthoring authoring);

    // ---- the control's events ----
    void AnnotAdded(int32_t page, int32_t index) override;
    // Also called directly (the consolidation), not only by the control.
    void AnnotModified(int32_t page, int32_t index) override;
    void AnnotDeleted(int32_t page, int32_t index) override;
    void ReplyAdded(int32_t page, int32_t index, const std::string& reply) override;
    void ReplyModified(int32_t page, int32_t index, const std::string& reply) override;
    void ReplyDeleted(int32_t page, int32_t index, const std::string& reply) override;

    // ---- what the windows deliver later ----
    // A changed comment without a record, posted by AnnotModified: when it is the comment
    // deleted last, a move to this page (queued as a move and a creation, its author,
    // colour and style kept); otherwise a new comment of the reviewer's.
    void OnCommentMoved(int page, int annotIndex, const std::string& uniqueName);
    // The comment list asks for a comment to be deleted: refused for a read-only comment,
    // asked for otherwise; nothing when the comment is no longer recorded.
    void OnDeleteRequest(int page, const std::string& uniqueName);

    // The comment deleted last, for the move that may follow; empty name when none.
    int LastDeletedPage() const { return lastDeletedPage_; }
    const std::string& LastDeletedName() const { return lastDeletedName_; }

private:
    // Runs the handler's body; an exception's message is shown instead of ending the client.
    void Guarded(const char* step, const std::function<void()>& body);
    void AddOwnComment(int page, int index);
    // Queues the annotation as a new comment and lists it; false when nothing was queued.
    bool QueueNewComment(int page, control::PdfAnnot& annot);
    void ApplyToolStyle(control::PdfAnnot& annot, const std::string& subject);
    void RememberToolStyle(const control::PdfAnnot& annot);
    void DeleteRecorded(int page, int index);
    // Refreshes the comment's entry from the control; false when it has no record.
    bool RefreshEntry(int page, const control::PdfAnnot& annot);

    control::PdfViewerControl& control_;
    AutosaveWorker& worker_;
    CommentIndex& index_;
    PendingDetails& pending_;
    ToolSettings& tools_;
    const SubjectToolTable& subjects_;
    CommentEventSink& sink_;
    CommentAuthoring authoring_;
    int lastDeletedPage_ = -1;
    std::string lastDeletedName_;
};

}  // namespace quill::session
