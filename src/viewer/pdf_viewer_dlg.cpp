#include "viewer/pdf_viewer_dlg.h"
#include "viewer/viewer_names.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>

#include <cstdio>

#include "app/app_folders.h"
#include "app/launch_params.h"
#include "app/logs.h"
#include "app/terminate_client.h"
#include "control/pdf_viewer_control.h"
#include "platform/prompter.h"
#include "platform/registry_store.h"
#include "review/review_client.h"
#include "review/review_session.h"
#include "session/comment_event_handler.h"
#include "session/page_labels.h"
#include "session/pdf_viewer_sdk.h"
#include "session/read_only_rules.h"
#include "session/tool_settings.h"
#include "session/viewer_comment_sync.h"
#include "sync/autosave_settings.h"
#include "sync/autosave_worker.h"
#include "sync/base_exception.h"
#include "sync/fdf/comment_fdf.h"
#include "viewer/viewer_dialog_host.h"
#include "viewer/viewer_key_filter.h"
#include "viewer/widget/pdf_viewer_widget.h"

namespace quill::viewer {

namespace {
constexpr const char* kDownloadFail = "PDF download fail.";
}  // namespace

CPdfViewerDlg::Context CPdfViewerDlg::Context::FromApp(ViewerDialogHost* host) {
    Context c;
    const AppFolders& folders = AppFoldersInstance();
    c.params = &AppLaunchParams();
    c.installFolder = folders.installFolder;
    c.workingFolder = folders.workingFolder;
    c.documentFile = folders.documentFile;
    c.commentIndex = &AppCommentIndex();
    c.pendingDetails = &AppPendingDetails();
    c.copyBuffer = &AppCommentCopyBuffer();
    c.session = &AppReviewSession();
    c.host = host;
    return c;
}

CPdfViewerDlg::CPdfViewerDlg(Context context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
    if (!context_.params) context_.params = &AppLaunchParams();
    if (!context_.commentIndex) context_.commentIndex = &AppCommentIndex();
    if (!context_.pendingDetails) context_.pendingDetails = &AppPendingDetails();
    if (!context_.session) context_.session = &AppReviewSession();
    if (!context_.copyBuffer) context_.copyBuffer = &AppCommentCopyBuffer();
    if (!context_.terminate) context_.terminate = [] { TerminateClient(); };
    role_ = ReviewerRole::From(*context_.params);

    // The dialog's own background shows where the control leaves the client area free.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(171, 171, 169));
    setPalette(palette);
    setAutoFillBackground(true);

    viewer_ = new widget::PdfViewerWidget(this);
    viewer_->setGeometry(ViewerGeometry(size()));
}

CPdfViewerDlg::~CPdfViewerDlg() {
    // The handlers call the worker: they are detached and go first; the worker calls the
    // control: it goes before the control does.
    if (viewer_ && events_) SetCommentEvents(nullptr);
    events_.reset();
    worker_.reset();
    sync_.reset();
    CloseDocument();
    if (keyFilter_) qApp->removeEventFilter(keyFilter_);
    if (viewer_ && CPdfViewerSdk::Instance() == &viewer_->Control())
        CPdfViewerSdk::Publish(nullptr);
}

control::PdfViewerControl& CPdfViewerDlg::Control() const { return viewer_->Control(); }

bool CPdfViewerDlg::OnInitDialog() {
    keyFilter_ = new ViewerKeyFilter(this);
    qApp->installEventFilter(keyFilter_);
    subjectTools_ = BuildSubjectToolTable();
    tools_ = std::make_unique<ToolSettings>(platform::RegistryStore(
        context_.registryRoot.empty() ? platform::RegistryStore::DefaultRoot()
                                      : context_.registryRoot));
    tools_->LoadToolSettings();
    SetupViewer();
    if (!OpenReviewDocument()) {
        context_.terminate();
        return false;
    }
    pageCount_ = Control().PageCount();
    AutosaveSettings settings = AutosaveSettings::From(*context_.params, context_.workingFolder);
    settings.session = context_.session;
    worker_ = std::make_unique<AutosaveWorker>(&Control(), pageCount_, std::move(settings),
                                               context_.connections);
    context_.session->SetLatestRevision(0);
    sync_ = std::make_unique<ViewerCommentSync>(
        Control(), *context_.commentIndex, *context_.pendingDetails, context_.workingFolder, role_);
    worker_->SetCallbacks(sync_->Callbacks());
    CommentAuthoring authoring;
    authoring.authorName = context_.params->authorName;
    authoring.commentColor = static_cast<int32_t>(context_.params->COMMENTCOLOR);
    authoring.docId = context_.params->docId;
    authoring.userId = context_.params->USERID;
    events_ = std::make_unique<CommentEventHandler>(
        Control(), *worker_, *context_.commentIndex, *context_.pendingDetails, *tools_,
        subjectTools_, static_cast<CommentEventSink&>(*this), std::move(authoring));
    SetCommentEvents(events_.get());
    return true;
}

void CPdfViewerDlg::SetupViewer() {
    control::PdfViewerControl& control = Control();
    control.ShowToolbar(false);
    control.ShowMenuBar(false);
    control.ShowStatusBar(false);
    control.ShowNavigationPane(false);
    control.ShowScrollBars(false);
    control.SetCJKResourcePath(context_.installFolder + "/cjkfont.bin");
    // Comments the reviewer draws carry the reviewer's name from the start.
    viewer_->Engine().SetDefaultAuthor(role_.authorName);
    CPdfViewerSdk::Publish(&control);
}

bool CPdfViewerDlg::OpenReviewDocument() {
    const LaunchParams& params = *context_.params;
    std::string error;
    const int result =
        ReviewClient(params, *context_.session).DownloadDocument(context_.documentFile, &error);
    if (result <= 0) {
        WriteLog("OpenReviewDocument", "download failed (" + std::to_string(result) + ") " + error);
        platform::Prompts().Error(kDownloadFail);
        return false;
    }
    // A reply that is no PDF (an error page served as 200, a cut-off file) fails like a
    // failed download instead of leaving an empty viewer.
    if (!Control().OpenFile(context_.documentFile, nullptr)) {
        WriteLog("OpenReviewDocument",
                 "the downloaded file does not open: " + context_.documentFile);
        platform::Prompts().Error(kDownloadFail);
        return false;
    }
    return true;
}

void CPdfViewerDlg::ReloadComments() {
    if (!worker_) return;
    if (context_.host) context_.host->ShowBusy("Waiting...");
    QApplication::processEvents();

    control::PdfViewerControl& control = Control();
    for (int page = 0; page < pageCount_; ++page) {
        control::PdfPage pdfPage = control.GetPage(page);
        for (int i = pdfPage.AnnotCount() - 1; i >= 0; --i)
            pdfPage.RemoveAnnot(pdfPage.GetAnnot(i));
    }
    ApplyReadOnlyRules(false);

    // Everything is fetched again: the records and the revision start afresh, so that a
    // second reload does not find every comment known already and leave the viewer empty.
    // The index keeps its entries' review status; entries whose comment is gone are dropped.
    worker_->PageMaps() = PageAnnotMap(pageCount_);
    context_.session->SetLatestRevision(0);
    CommentIndex& index = *context_.commentIndex;
    for (auto& [name, entry] : index) entry.record = nullptr;
    worker_->GetLastestRevisions();
    // Only what the server no longer holds leaves the list: a fetch that failed (the reviewer
    // was told) keeps every entry with its review state, and the next check fills them again.
    if (!worker_->LastCheckFailed()) {
        for (auto it = index.begin(); it != index.end();) {
            it = it->second.record ? std::next(it) : index.erase(it);
        }
    }

    DrawPageLabels();
    ShowComments(false);
    ApplyReadOnlyRules(true);
    if (context_.host) {
        context_.host->RefillCommentList();
        context_.host->HideBusy();
    }
}

void CPdfViewerDlg::ShowComments(bool show) {
    control::PdfViewerControl& control = Control();
    const int pages = control.PageCount();
    for (int page = 0; page < pages; ++page) {
        control::PdfPage pdfPage = control.GetPage(page);
        const int count = pdfPage.AnnotCount();
        for (int i = 0; i < count; ++i) {
            control::PdfAnnot annot = pdfPage.GetAnnot(i);
            if (annot.GetTypeName() != "Stamp") annot.SetShown(show);
        }
    }
    viewer_->viewport()->update();
}

void CPdfViewerDlg::ApplyReadOnlyRules(bool lock) {
    if (!worker_) return;
    session::ApplyReadOnlyRules(Control(), worker_->PageMaps(), role_, lock);
}

void CPdfViewerDlg::SetReplyReadOnly(const control::PdfReplyList& replies) {
    session::SetReplyReadOnly(replies, role_);
}

int CPdfViewerDlg::DrawPageLabels() {
    // Page texts add up: the labels are drawn once for the document.
    if (labelsDrawn_) return engine::kQuireOk;
    const int result = session::DrawPageLabels(Control(), context_.documentFile);
    labelsDrawn_ = result == engine::kQuireOk;
    return result;
}

int CPdfViewerDlg::OnRemoteAnnotCreated(CNMObject& record) {
    return sync_ ? sync_->OnRemoteAnnotCreated(record) : 0;
}
int CPdfViewerDlg::OnRemoteAnnotUpdated(CNMObject& record) {
    return sync_ ? sync_->OnRemoteAnnotUpdated(record) : 0;
}
int CPdfViewerDlg::OnRemoteAnnotDeleted(CNMObject& record) {
    return sync_ ? sync_->OnRemoteAnnotDeleted(record) : 0;
}
int CPdfViewerDlg::OnRemoteRepliesChanged(CNMObject& record) {
    return sync_ ? sync_->OnRemoteRepliesChanged(record) : 0;
}
int CPdfViewerDlg::OnRemoteAnnotRegistered(CNMObject& record) {
    return sync_ ? sync_->OnRemoteAnnotRegistered(record) : 0;
}
std::string CPdfViewerDlg::ShowCommentInViewer(CAnnot& annot) {
    return sync_ ? sync_->ShowCommentInViewer(annot) : std::string();
}
void CPdfViewerDlg::SDK_AppendAnnot(CNMObject& record) {
    if (sync_) sync_->SDK_AppendAnnot(record);
}
void CPdfViewerDlg::SDK_AppendReply(CNMObject& record) {
    if (sync_) sync_->SDK_AppendReply(record);
}
std::vector<const CNMObject*> CPdfViewerDlg::CollectCommentObjects(const CNMObject& record) const {
    return sync::CollectCommentObjects(record);
}

bool CPdfViewerDlg::PreTranslateKey(const QKeyEvent& event) {
    const bool press = event.type() == QEvent::KeyPress;
    const int key = event.key();
    const bool ctrl = event.modifiers().testFlag(Qt::ControlModifier);
    CommentCopyBuffer& copy = *context_.copyBuffer;

    if (key == Qt::Key_Control) {
        if (role_.isOpener && context_.host) context_.host->SetMultiSelect(press);
        return true;
    }
    if (!press) return false;
    switch (key) {
        case Qt::Key_Escape:
            if (context_.host) context_.host->SelectHandTool();
            return true;
        case Qt::Key_F1:
        case Qt::Key_F4:
            return true;
        case Qt::Key_Delete:
            copy.ClearComment();
            return false;
        case Qt::Key_C:
            if (ctrl && copy.HoldsComment()) copy.Clear();
            return false;
        case Qt::Key_V: {
            if (!ctrl || !copy.HoldsComment() || !worker_) return false;
            try {
                const std::string path = worker_->CopyComment(copy.page, copy.name, true);
                if (!path.empty()) {
                    worker_->AddCommentFromFdf(Control().CurrentPage(), path);
                    copy.Clear();
                }
            } catch (const BaseException& e) {
                platform::Prompts().Error(e.what());
            }
            return true;
        }
        default:
            return false;
    }
}

void CPdfViewerDlg::CloseDocument() {
    if (documentClosed_) return;
    documentClosed_ = true;
    if (viewer_) Control().CloseFile();
    if (!context_.documentFile.empty()) std::remove(context_.documentFile.c_str());
}

void CPdfViewerDlg::SetCommentEvents(control::PdfViewerEvents* handler) {
    Control().SetEventListener(handler);
}

void CPdfViewerDlg::AnnotModified(int page, int annotIndex) {
    if (events_) events_->AnnotModified(page, annotIndex);
}

void CPdfViewerDlg::RequestDeleteComment(int page, const std::string& uniqueName) {
    // Queued: the question it asks must not open inside the list's own click handling.
    QMetaObject::invokeMethod(
        this,
        [this, page, uniqueName] {
            if (events_) events_->OnDeleteRequest(page, uniqueName);
        },
        Qt::QueuedConnection);
}

void CPdfViewerDlg::PostCommentDeleted(const std::string& uniqueName) {
    // Both messages go through the dialog's own queue: one queue keeps their order.
    QMetaObject::invokeMethod(
        this,
        [this, uniqueName] {
            if (context_.host) context_.host->CommentDeleted(uniqueName);
        },
        Qt::QueuedConnection);
}

void CPdfViewerDlg::PostCommentMoved(int page, int annotIndex, const std::string& uniqueName) {
    QMetaObject::invokeMethod(
        this,
        [this, page, annotIndex, uniqueName] {
            if (events_) events_->OnCommentMoved(page, annotIndex, uniqueName);
        },
        Qt::QueuedConnection);
}

void CPdfViewerDlg::RefillCommentList() {
    if (context_.host) context_.host->RefillCommentList();
}

QRect CPdfViewerDlg::ViewerGeometry(const QSize& clientSize) {
    // Our control has no tool bars or margins to hide: every pixel of it shows the page.
    return QRect(QPoint(0, 0), clientSize);
}

void CPdfViewerDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (viewer_) viewer_->setGeometry(ViewerGeometry(size()));
}

void CPdfViewerDlg::closeEvent(QCloseEvent* event) {
    CloseDocument();
    QWidget::closeEvent(event);
}

}  // namespace quill::viewer
