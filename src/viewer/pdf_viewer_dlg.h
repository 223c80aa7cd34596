// CPdfViewerDlg: the child dialog of the main window that hosts the viewer control, downloads
// and opens the review document, and keeps the control's comments in step with the client's
// record of them.
#pragma once
#include "viewer/viewer_names.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/comment_copy_buffer.h"
#include "app/comment_index.h"
#include "app/pending_details.h"
#include "session/comment_event_sink.h"
#include "session/reviewer_role.h"
#include "session/subject_tool_table.h"
#include "sync/wire/autosave_connection.h"

class QKeyEvent;
namespace quill::app {
struct LaunchParams;
}
namespace quill::review {
class ReviewSession;
}
namespace quill::sync {
class AutosaveWorker;
class CNMObject;
class CAnnot;
}  // namespace quill::sync
namespace quill::session {
class ViewerCommentSync;
class CommentEventHandler;
class ToolSettings;
}  // namespace quill::session
namespace quill::control {
class PdfViewerControl;
class PdfViewerEvents;
class PdfReplyList;
}  // namespace quill::control
namespace quill::widget {
class PdfViewerWidget;
}

namespace quill::viewer {

class ViewerDialogHost;
class ViewerKeyFilter;

class CPdfViewerDlg : public QWidget, private session::CommentEventSink {
    Q_OBJECT
public:
    // What the dialog reads and fills; FromApp() gives the application's own.
    struct Context {
        const LaunchParams* params = nullptr;
        std::string installFolder;
        std::string workingFolder;
        std::string documentFile;
        CommentIndex* commentIndex = nullptr;
        PendingDetails* pendingDetails = nullptr;
        CommentCopyBuffer* copyBuffer = nullptr;
        ReviewSession* session =
            nullptr;  // latestRevision and publishToParent; the app's when null
        ViewerDialogHost* host = nullptr;  // may stay null
        // Called when the document cannot be had; TerminateClient unless a test says otherwise.
        std::function<void()> terminate;
        // The worker's connections; empty: HTTP to HOST:PORT.
        AutosaveConnectionFactory connections;
        // Folder of the registry store that keeps the tools' styles; empty: the machine's.
        std::string registryRoot;

        static Context FromApp(ViewerDialogHost* host);
    };

    explicit CPdfViewerDlg(Context context, QWidget* parent = nullptr);
    ~CPdfViewerDlg() override;

    // The opening sequence: the keyboard hook, the comment tools' tables, SetupViewer,
    // OpenReviewDocument (on failure the client ends, and nothing more happens), the page
    // count, latestRevision 0, and the autosave worker with the merge callbacks. False when
    // the document could not be had.
    bool OnInitDialog();

    void SetupViewer();
    bool OpenReviewDocument();
    // Loads every comment from the server afresh (at start and on request); the comments are
    // hidden afterwards until ShowComments(true).
    void ReloadComments();
    // Shows or hides every annotation but images ("Stamp").
    void ShowComments(bool show);
    void ApplyReadOnlyRules(bool lock);
    void SetReplyReadOnly(const control::PdfReplyList& replies);
    // The page number labels; the reader's result code.
    int DrawPageLabels();

    // Merge callbacks, in the worker's slot order.
    int OnRemoteAnnotCreated(CNMObject& record);
    int OnRemoteAnnotUpdated(CNMObject& record);
    int OnRemoteAnnotDeleted(CNMObject& record);
    int OnRemoteRepliesChanged(CNMObject& record);
    int OnRemoteAnnotRegistered(CNMObject& record);
    std::string ShowCommentInViewer(CAnnot& annot);
    void SDK_AppendAnnot(CNMObject& record);
    void SDK_AppendReply(CNMObject& record);
    std::vector<const CNMObject*> CollectCommentObjects(const CNMObject& record) const;

    // The dialog's key handling before the control sees a key: true when the key is
    // consumed.
    bool PreTranslateKey(const QKeyEvent& event);

    // Closing: the document is closed and its file deleted.
    void CloseDocument();

    widget::PdfViewerWidget* Viewer() const { return viewer_; }
    control::PdfViewerControl& Control() const;
    // Null until the document is open.
    AutosaveWorker* Worker() const { return worker_.get(); }
    int PageCount() const { return pageCount_; }
    const ReviewerRole& Role() const { return role_; }
    // The control's comment events go to handler (not owned; nullptr detaches). The dialog
    // attaches its own handlers once the document and the worker are there.
    void SetCommentEvents(control::PdfViewerEvents* handler);
    // The dialog's handlers of the reviewer's own comments; null until the document is open.
    CommentEventHandler* CommentEvents() const { return events_.get(); }
    // The tools' remembered styles, loaded when the dialog opens.
    ToolSettings* Tools() const { return tools_.get(); }
    // A changed comment is queued and its tool's style remembered (the consolidation calls
    // this for the comments it changes).
    void AnnotModified(int page, int annotIndex);
    // The comment list's request to delete a comment; handled once the current event is
    // through, asking the reviewer first.
    void RequestDeleteComment(int page, const std::string& uniqueName);

    // Where the control sits in a client area of that size: all of it.
    static QRect ViewerGeometry(const QSize& clientSize);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // CommentEventSink: posted to the dialog itself, so that a deletion and the move that
    // follows it are delivered in the order they were fired.
    void PostCommentDeleted(const std::string& uniqueName) override;
    void PostCommentMoved(int page, int annotIndex, const std::string& uniqueName) override;
    void RefillCommentList() override;

    Context context_;
    ReviewerRole role_;
    widget::PdfViewerWidget* viewer_ = nullptr;  // a child, owned by the dialog
    ViewerKeyFilter* keyFilter_ = nullptr;       // installed on the application while open
    std::unique_ptr<AutosaveWorker> worker_;
    std::unique_ptr<ViewerCommentSync> sync_;
    SubjectToolTable subjectTools_;
    std::unique_ptr<ToolSettings> tools_;
    std::unique_ptr<CommentEventHandler> events_;
    int pageCount_ = 0;
    bool labelsDrawn_ = false;
    bool documentClosed_ = false;
};

}  // namespace quill::viewer
