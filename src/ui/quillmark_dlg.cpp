#include "ui/quillmark_dlg.h"
#include "ui/ui_names.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTextEdit>

#include "app/app_folders.h"
#include "app/launch_params.h"
#include "app/logs.h"
#include "app/terminate_client.h"
#include "control/pdf_viewer_control.h"
#include "platform/code_page.h"
#include "platform/prompter.h"
#include "review/comment_outcome_reply.h"
#include "review/review_replies.h"
#include "session/comment_entries.h"
#include "session/comment_goto.h"
#include "session/consolidation_requests.h"
#include "session/resolution_sheet.h"
#include "session/resolution_sheet_source.h"
#include "session/review_sheet_fetch.h"
#include "session/review_steps.h"
#include "sync/annot_by_name.h"
#include "sync/autosave_worker.h"
#include "ui/busy_event_pump.h"
#include "ui/comment_list_box.h"
#include "ui/feedback_review_summary_dlg.h"
#include "ui/finish_dialog_context.h"
#include "ui/gather_tab_dlg.h"
#include "ui/main_window_title.h"
#include "ui/opener_finish_dlg.h"
#include "ui/opener_review_dlg.h"
#include "ui/patcp_finish_dlg.h"
#include "ui/resolution_sheet_export.h"
#include "ui/spinner_dlg.h"
#include "ui/tool_bar_table.h"
#include "viewer/widget/find_window.h"
#include "viewer/widget/page_labels.h"
#include "viewer/widget/pdf_viewer_widget.h"
#include "widgets/arial_font.h"
#include "widgets/art_ids.h"
#include "widgets/colour_picker.h"
#include "widgets/font_list.h"
#include "widgets/hover_button.h"
#include "widgets/icon_menu.h"
#include "widgets/picture_source.h"

namespace quill::ui {

namespace {

constexpr int kStartTimerMs = 500;
constexpr int kCheckMinimumMs = 1000;
constexpr int kDrainStepMs = 500;
constexpr int kDrainTries = 13;
constexpr int kDrainSettleMs = 1000;
constexpr int kRenderChecks = 300;  // 100 ms steps
constexpr int kToolButtons = 16;    // the buttons a tool selection highlights
constexpr int kIndicatorStrip = 48;
const QColor kBackground(171, 171, 169);
const QColor kBusyBackground(91, 91, 89);
const QColor kBusyHatch(80, 80, 80);

QString FromAnsi(const std::string& text) {
    return QString::fromStdString(platform::AnsiToUtf8(text));
}
std::string ToAnsi(const QString& text) { return platform::Utf8ToAnsi(text.toStdString()); }

QColor FromBgr(uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}
uint32_t ToBgr(const QColor& colour) {
    return static_cast<uint32_t>(colour.red()) | (static_cast<uint32_t>(colour.green()) << 8) |
           (static_cast<uint32_t>(colour.blue()) << 16);
}

bool IsTextEditor(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QComboBox*>(widget);
}

// Marks a workflow step as running for its whole length: while it pumps events, a second
// click or a close request is refused.
class FlowScope {
public:
    explicit FlowScope(bool& running) : running_(running) { running_ = true; }
    ~FlowScope() { running_ = false; }
    FlowScope(const FlowScope&) = delete;
    FlowScope& operator=(const FlowScope&) = delete;

private:
    bool& running_;
};

}  // namespace

CQuillmarkDlg::Context CQuillmarkDlg::Context::FromApp(const std::string& commandTail) {
    Context context;
    context.params = &AppLaunchParams();
    context.commandTail = commandTail;
    const AppFolders& folders = AppFoldersInstance();
    context.installFolder = folders.installFolder;
    context.logFolder = folders.installFolder;
    context.viewer = CPdfViewerDlg::Context::FromApp(nullptr);
    context.terminate = [] { TerminateClient(); };
    return context;
}

CQuillmarkDlg::CQuillmarkDlg(Context context, QWidget* parent)
    : QWidget(parent),
      context_(std::move(context)),
      params_(context_.params ? *context_.params : AppLaunchParams()),
      client_(params_, context_.viewer.session ? *context_.viewer.session : AppReviewSession()) {
    setMinimumSize(800, 600);
    setAutoFillBackground(false);
    if (!context_.terminate) context_.terminate = [] { TerminateClient(); };

    if (!context_.installFolder.empty())
        fonts_ = ReadFontSettings(context_.installFolder + "/" + FontSettings::kFileName);
    tools_.SetDrawingSubTool(fonts_.drawingSubTool);

    WriteRequestLog("Open", context_.commandTail);

    CreateToolBar();
    subjects_ = AppAnnotSubjectTable().empty() ? BuildAnnotSubjectTable() : AppAnnotSubjectTable();
    CCommentListBox::Context listContext;
    listContext.params = &params_;
    listContext.index = &Index();
    listContext.copyBuffer =
        context_.viewer.copyBuffer ? context_.viewer.copyBuffer : &AppCommentCopyBuffer();
    listContext.subjects = &subjects_;
    listContext.workingFolder = context_.viewer.workingFolder.empty()
                                    ? AppFoldersInstance().workingFolder
                                    : context_.viewer.workingFolder;
    listContext.host = this;
    list_ = new CCommentListBox(std::move(listContext), this);
    context_.viewer.host = this;
    if (!context_.viewer.params) context_.viewer.params = &params_;
    viewer_ = new CPdfViewerDlg(context_.viewer, this);
    viewer_->show();
    // A document that cannot be had ends the client here.
    viewer_->OnInitDialog();
    spinner_ = new CSpinnerDlg(this);
    const QPixmap wheel = widgets::Picture(widgets::ArtId::SpinnerWheel);
    if (!wheel.isNull()) spinner_->LoadWheel(wheel);
    spinner_->hide();
    CreateFontBar();

    session::ReviewWorkflow::Parts parts;
    parts.client = &client_;
    parts.session = context_.viewer.session ? context_.viewer.session : &AppReviewSession();
    parts.index = context_.viewer.commentIndex ? context_.viewer.commentIndex : &AppCommentIndex();
    parts.pending =
        context_.viewer.pendingDetails ? context_.viewer.pendingDetails : &AppPendingDetails();
    parts.watcher = watcherState_;
    parts.worker = [this] { return viewer_->Worker(); };
    parts.takeInComments = [this] { TakeInComments(); };
    parts.cardChanged = [this](const std::string& name, const std::string& label) {
        SetCardLabel(name, label);
    };
    parts.waitForDrain = [this] { return WaitForQueueDrainPumping(); };
    // A publish of many details keeps the busy wheel turning between its requests.
    parts.betweenRequests = [] { PumpPendingBusyEvents(); };
    parts.selectHandTool = [this] { SelectHandTool(); };
    parts.indicatorChanged = [this] { RepaintIndicator(); };
    workflow_ = std::make_unique<session::ReviewWorkflow>(std::move(parts));

    // Whatever this reviewer left unpublished last time is gone; a failure is no reason to stop.
    const CommandReply clear = client_.SendCommand("CLEAR");
    if (!clear.arrived || !IsSuccessReply(clear.body))
        platform::Prompts().Error("Init queue network error.");

    StartWatcher();
    ApplyRoleRestrictions();
    // The card menu's decisions open the review dialog.
    reviewDialog_ = MakeAppReviewDialogFactory(
        client_, context_.viewer.commentIndex ? *context_.viewer.commentIndex : AppCommentIndex(),
        [this] { return SelectedCommentNames(); },
        [this](const std::string& name, const std::string& label) { SetCardLabel(name, label); },
        params_.feedbackMode, this);
    setWindowTitle(MainWindowTitle(params_));

    startTimer_.setSingleShot(true);
    startTimer_.setInterval(kStartTimerMs);
    connect(&startTimer_, &QTimer::timeout, this, &CQuillmarkDlg::OnStartTimer);
    renderWait_.setInterval(100);
    connect(&renderWait_, &QTimer::timeout, this, &CQuillmarkDlg::WaitForRendering);
    qApp->installEventFilter(this);
    RunLayout();
}

CQuillmarkDlg::~CQuillmarkDlg() {
    qApp->removeEventFilter(this);
    if (watcher_) watcher_->Stop();
    if (AutosaveWorker* worker = viewer_ ? viewer_->Worker() : nullptr) WaitForWorkerStop(*worker);
    if (!context_.installFolder.empty()) {
        fonts_.drawingSubTool = tools_.DrawingSubTool();
        WriteFontSettings(context_.installFolder + "/" + FontSettings::kFileName, fonts_);
    }
}

// ---------------------------------------------------------------------------------------
// Construction

void CQuillmarkDlg::CreateToolBar() {
    for (int i = 0; i < kToolBarButtons; ++i) {
        const ToolBarEntry& entry = kToolBarEntries[static_cast<size_t>(i)];
        auto* button = new widgets::CHoverButton(this);
        button->setObjectName(QStringLiteral("button%1").arg(entry.controlId));
        button->LoadStrip(entry.bitmapId);
        if (entry.toolTip) button->SetToolTipText(QString::fromUtf8(entry.toolTip));
        button->SetHandCursor(true);
        button->hide();
        connect(button, &QAbstractButton::clicked, this, [this, i] { PressButton(i); });
        connect(button, &widgets::CHoverButton::ToolMenuRequested, this,
                &CQuillmarkDlg::OpenToolMenu);
        connect(button, &widgets::CHoverButton::HandToolRequested, this,
                &CQuillmarkDlg::SelectHandTool);
        buttons_[static_cast<size_t>(i)] = button;
    }
    buttons_[kButtonDrawing]->SetDropDown(true);
    buttons_[kButtonDrawing]->SetGroup(0);
    buttons_[kButtonDrawing]->SetDrawingSubTool(tools_.DrawingSubTool());
    buttons_[kButtonMeasuring]->SetDropDown(true);
    buttons_[kButtonMeasuring]->SetGroup(1);
    buttons_[kButtonImage]->setEnabled(false);
    buttons_[kButtonHand]->SetSelected(true);

    search_ = new QLineEdit(this);
    search_->setGeometry(30, 68, 175, 19);
    search_->setFrame(false);
    search_->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid rgb(90,90,90); }"));
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        filterText_ = platform::TrimMultiByte(ToAnsi(text));
        RefillCommentList();
    });
    sortButton_ = new widgets::CHoverButton(this);
    sortButton_->setObjectName(QStringLiteral("button1040"));
    sortButton_->LoadStrip(widgets::ArtId::SortButton);
    sortButton_->setGeometry(208, 67, 25, 20);
    sortButton_->SetHandCursor(true);
    connect(sortButton_, &QAbstractButton::clicked, this, &CQuillmarkDlg::OpenSortMenu);
}

void CQuillmarkDlg::CreateFontBar() {
    fontList_ = new widgets::CFontList(this);
    fontList_->setGeometry(310, 3, 200, 22);
    fontList_->SelectFace(QString::fromStdString(platform::AnsiToUtf8(fonts_.face)));
    sizeList_ = new QComboBox(this);
    sizeList_->setGeometry(515, 3, 60, 22);
    int selected = 6;  // 16
    for (size_t i = 0; i < kTextSizes.size(); ++i) {
        sizeList_->addItem(QString::number(kTextSizes[i]));
        if (kTextSizes[i] == fonts_.size) selected = static_cast<int>(i);
    }
    sizeList_->setCurrentIndex(selected);
    fonts_.size = kTextSizes[static_cast<size_t>(selected)];
    colourButton_ = new widgets::CColourPicker(widgets::CustomColours(), this);
    colourButton_->setGeometry(580, 4, 60, 22);
    colourButton_->SetColour(FromBgr(fonts_.colour));

    connect(fontList_, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        fonts_.face = ToAnsi(font.family());
        ApplyFontSettings();
    });
    connect(sizeList_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(kTextSizes.size())) return;
        fonts_.size = kTextSizes[static_cast<size_t>(index)];
        ApplyFontSettings();
    });
    connect(colourButton_, &widgets::CColourPicker::ColourChosen, this,
            [this](const QColor& colour) {
                fonts_.colour = ToBgr(colour);
                ApplyFontSettings();
                update(QRect(255, 7, 35, 19));
            });
    for (QWidget* w : {static_cast<QWidget*>(fontList_), static_cast<QWidget*>(sizeList_),
                       static_cast<QWidget*>(colourButton_)})
        w->hide();
}

void CQuillmarkDlg::StartWatcher() {
    RevisionWatcher::Events events;
    QPointer<CQuillmarkDlg> self(this);
    // The watcher's thread only posts to the GUI thread; the pointer is checked there.
    events.started = [self] {
        QMetaObject::invokeMethod(
            qApp,
            [self] {
                if (self) self->setWindowState(self->windowState() | Qt::WindowMaximized);
            },
            Qt::QueuedConnection);
    };
    events.countChanged = [self](int count) {
        QMetaObject::invokeMethod(
            qApp,
            [self, count] {
                if (self) self->OnCountChanged(count);
            },
            Qt::QueuedConnection);
    };
    events.reviewClosed = [self](const std::string& message) {
        QMetaObject::invokeMethod(
            qApp,
            [self, message] {
                if (self) self->OnReviewClosed(message);
            },
            Qt::QueuedConnection);
    };
    watcher_ = std::make_unique<RevisionWatcher>(
        watcherState_, RevisionWatcher::ReviewServerPoll(client_),
        [session = context_.viewer.session ? context_.viewer.session : &AppReviewSession()] {
            return session->LatestRevision();
        },
        std::move(events), context_.watcherTiming);
    watcher_->Start();
}

void CQuillmarkDlg::ApplyRoleRestrictions() {
    if (!params_.patcpClass02 && !params_.patcpClass03) return;
    for (int i = kButtonDrawing; i <= kButtonAttachment; ++i)
        buttons_[static_cast<size_t>(i)]->setEnabled(false);
    buttons_[kButtonPublish]->setEnabled(false);
    if (params_.patcpClass03) buttons_[kButtonFinish]->setEnabled(false);
}

// ---------------------------------------------------------------------------------------
// Start

void CQuillmarkDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Restoring a minimised window shows it again: the start step must not run twice.
    if (!startDone_ && !startTimer_.isActive()) startTimer_.start();
}

void CQuillmarkDlg::OnStartTimer() {
    if (startDone_) return;
    startDone_ = true;
    ++startRuns_;
    if (!context_.logFolder.empty()) PurgeOldLogs(context_.logFolder);
    viewer_->ReloadComments();
    RefillCommentList();
    workflow_->ApplyReviewDecisions();
    watcherState_->ready = true;
    RunLayout();
    update();
    emit Ready();
    renderWait_.start();
    if (params_.feedbackMode) {
        CFeedbackReviewSummaryDlg summary(client_, this);
        summary.exec();
    }
}

void CQuillmarkDlg::WaitForRendering() {
    widget::PdfViewerWidget* view = viewer_->Viewer();
    const bool ready = !view || view->VisibleTilesReady();
    if (!ready && ++renderChecks_ < kRenderChecks) return;
    renderWait_.stop();
    if (ready) emit CommentsOnScreen();
}

// ---------------------------------------------------------------------------------------
// Viewer host

void CQuillmarkDlg::SetMultiSelect(bool on) { multiSelect_ = on && params_.isOpener; }

void CQuillmarkDlg::SelectHandTool() { ApplyTool(tools_.SelectTool(kToolHand), kButtonHand); }

void CQuillmarkDlg::ShowBusy(const std::string& text) {
    busy_ = true;
    spinner_->SetText(FromAnsi(text.empty() ? std::string("Waiting...") : text));
    spinner_->raise();
    RunLayout();
    update();
}

void CQuillmarkDlg::HideBusy() {
    busy_ = false;
    spinner_->SetText(QString());
    RunLayout();
    update();
}

void CQuillmarkDlg::RefillCommentList() { list_->Refill(listSortKey_, filterText_); }

CommentIndex& CQuillmarkDlg::Index() const {
    return context_.viewer.commentIndex ? *context_.viewer.commentIndex : AppCommentIndex();
}

void CQuillmarkDlg::CommentDeleted(const std::string& uniqueName) {
    PendingDetails& pending =
        context_.viewer.pendingDetails ? *context_.viewer.pendingDetails : AppPendingDetails();
    pending.SetDelete(uniqueName, 1);
}

// ---------------------------------------------------------------------------------------
// Comment entries

void CQuillmarkDlg::RecordComment(CNMObject& record) {
    CommentIndex& index =
        context_.viewer.commentIndex ? *context_.viewer.commentIndex : AppCommentIndex();
    EnterComment(index, viewer_->Control(), record);
    RefillCommentList();
    RunLayout();
}

void CQuillmarkDlg::UpdateComment(CNMObject& record) {
    CommentIndex& index =
        context_.viewer.commentIndex ? *context_.viewer.commentIndex : AppCommentIndex();
    EnterComment(index, viewer_->Control(), record);
    RefillCommentList();
}

void CQuillmarkDlg::RemoveComment(CNMObject& record) {
    CommentIndex& index =
        context_.viewer.commentIndex ? *context_.viewer.commentIndex : AppCommentIndex();
    auto entry = index.find(record.uniqueName);
    if (entry == index.end() || entry->second.pageIndex != record.page) return;
    index.erase(entry);
    RefillCommentList();
}

void CQuillmarkDlg::SetCardLabel(const std::string& name, const std::string& label) {
    list_->SetStatusText(name, label);
}

std::vector<std::string> CQuillmarkDlg::SelectedCommentNames() const {
    return list_->SelectedNames();
}

void CQuillmarkDlg::SetReviewDialogFactory(ReviewDialogFactory factory) {
    reviewDialog_ = std::move(factory);
}

// ---------------------------------------------------------------------------------------
// The cards' messages

void CQuillmarkDlg::KeepSelection(bool keep) { keepSelection_ = keep; }

void CQuillmarkDlg::CommentClicked(int page, const std::string& name) {
    list_->ApplySelection(page, name, multiSelect_, keepSelection_);
}

void CQuillmarkDlg::ShowComment(int, const std::string& name) { GoToComment(name); }

void CQuillmarkDlg::DeleteComment(int page, const std::string& name) {
    viewer_->RequestDeleteComment(page, name);
}

void CQuillmarkDlg::OpenReviewDialog(const std::string& name, bool positive) {
    if (reviewDialog_) reviewDialog_(name, positive);
}

control::PdfViewerControl* CQuillmarkDlg::CommentControl() { return &viewer_->Control(); }

AutosaveWorker* CQuillmarkDlg::CommentWorker() { return viewer_->Worker(); }

void CQuillmarkDlg::GoToComment(const std::string& name) {
    const CommentIndex& index =
        context_.viewer.commentIndex ? *context_.viewer.commentIndex : AppCommentIndex();
    auto entry = index.find(name);
    if (entry == index.end() || !entry->second.record) return;
    const CNMObject& record = *entry->second.record;
    double rect[4];
    if (!CommentRect(record, rect)) return;
    control::PdfViewerControl& control = viewer_->Control();
    const auto page = static_cast<int16_t>(record.page);
    const GoToPoint point =
        GoToCommentPoint(rect[0], rect[1], rect[2], rect[3], control.GetPageWidth(page),
                         control.GetPageHeight(page), control.Rotation());
    control.GoToPagePosition(record.page, static_cast<float>(point.x), static_cast<float>(point.y));
    control::PdfAnnot annot = AnnotOfRecord(control, record);
    if (annot.IsValid()) control.SelectAnnot(record.page, annot.Index());
}

// ---------------------------------------------------------------------------------------
// Workflow

void CQuillmarkDlg::TakeInComments() {
    viewer_->ShowComments(false);
    if (AutosaveWorker* worker = viewer_->Worker()) worker->GetLastestRevisions();
    viewer_->ShowComments(true);
    RefillCommentList();
}

bool CQuillmarkDlg::WaitForQueueDrainPumping() {
    const AutosaveWorker* worker = viewer_->Worker();
    if (!worker) return true;
    int slept = 0;
    while (worker->Busy() && slept < kDrainTries) {
        PumpBusyEvents(kDrainStepMs);
        ++slept;
    }
    if (slept > 0) PumpBusyEvents(kDrainSettleMs);
    return !worker->Busy();
}

void CQuillmarkDlg::CheckNewComments() {
    if (flowRunning_ || busy_) return;
    FlowScope flow(flowRunning_);
    QElapsedTimer shown;
    shown.start();
    ShowBusy("Waiting...");
    PumpBusyEvents(0);
    workflow_->TakeInNewComments();
    // The spinner stays long enough to be seen, so the reviewer knows the check ran.
    const qint64 left = kCheckMinimumMs - shown.elapsed();
    if (left > 0) PumpBusyEvents(static_cast<int>(left));
    HideBusy();
}

void CQuillmarkDlg::PublishButton() {
    if (flowRunning_ || busy_) return;
    FlowScope flow(flowRunning_);
    ShowBusy("Waiting...");
    SelectHandTool();
    PumpBusyEvents(0);
    workflow_->PublishButton();
    HideBusy();
}

void CQuillmarkDlg::FinishReview() {
    if (flowRunning_ || busy_) return;
    bool finished = false;
    {
        FlowScope flow(flowRunning_);
        finished = workflow_->FinishReview(params_.isOpener, [this](bool isOpener) {
            return context_.finishDialog ? context_.finishDialog(isOpener, this)
                                         : RunFinishDialog(isOpener);
        });
    }
    if (finished) {
        // The finish path has asked about unpublished comments already.
        closeApproved_ = true;
        close();
    }
}

bool CQuillmarkDlg::RunFinishDialog(bool isOpener) {
    const CommentIndex& index =
        context_.viewer.commentIndex ? *context_.viewer.commentIndex : AppCommentIndex();
    ClientReviewSteps steps(client_, index);
    ReviewClientRequests requests(client_);
    FinishDialogContext finish;
    finish.steps = &steps;
    finish.prompter = &platform::Prompts();
    finish.squadDocNo = params_.SQUADDOCNO;
    if (!isOpener) {
        CPatcpFinishDlg dialog(finish, this);
        return dialog.exec() == QDialog::Accepted;
    }
    finish.consolidationPage = [this, &requests](QWidget* parent, std::function<void()> endWithOk) {
        ConsolidationFlow::Parts parts;
        parts.workingFolder = context_.viewer.workingFolder;
        parts.session = context_.viewer.session ? context_.viewer.session : &AppReviewSession();
        parts.index =
            context_.viewer.commentIndex ? context_.viewer.commentIndex : &AppCommentIndex();
        parts.requests = &requests;
        parts.control = &viewer_->Control();
        parts.pageMaps = [this]() -> PageAnnotMap* {
            AutosaveWorker* worker = viewer_->Worker();
            return worker ? &worker->PageMaps() : nullptr;
        };
        parts.annotModified = [this](int page, int annotIndex) {
            viewer_->AnnotModified(page, annotIndex);
        };
        parts.waitForDrain = [this] { return WaitForQueueDrainPumping(); };
        parts.publishComments = [this] {
            return workflow_->PublishComments(false) == PublishOutcome::kPublished;
        };
        parts.showBusy = [this](bool on, const std::string& text) {
            if (on)
                ShowBusy(text);
            else
                HideBusy();
        };
        parts.pumpEvents = [] { PumpBusyEvents(0); };
        parts.watcher = watcherState_;
        parts.mainWindow = static_cast<uintptr_t>(winId());
        auto* page = new CGatherTabDlg(params_, std::move(parts), std::move(endWithOk), parent);
        page->Open();
        return page;
    };
    COpenerFinishDlg dialog(finish, this);
    return dialog.exec() == QDialog::Accepted;
}

void CQuillmarkDlg::closeEvent(QCloseEvent* event) {
    if (closeApproved_) {
        event->accept();
        return;
    }
    if (busy_ || flowRunning_) {
        event->ignore();
        return;
    }
    CloseDecision decision;
    {
        FlowScope flow(flowRunning_);
        decision = workflow_->CloseRequested();
    }
    if (decision == CloseDecision::kClose) {
        closeApproved_ = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void CQuillmarkDlg::OnCountChanged(int) { RepaintIndicator(); }

void CQuillmarkDlg::OnReviewClosed(const std::string& message) {
    platform::Prompts().Error(message);
    closeApproved_ = true;
    close();
    context_.terminate();
}

// ---------------------------------------------------------------------------------------
// Tool bar and menus

void CQuillmarkDlg::ApplyTool(const std::string& viewerTool, int button) {
    if (viewerTool.empty()) return;
    viewer_->Control().SetCurrentTool(viewerTool);
    for (int i = 0; i < kToolButtons; ++i) {
        widgets::CHoverButton* b = buttons_[static_cast<size_t>(i)];
        b->SetSelected(i == button);
        b->update();
    }
    if (watcherState_->ready) {
        UpdateFontBar();
        RunLayout();
    }
}

void CQuillmarkDlg::PressButton(int index) {
    if (index < 0 || index >= kToolBarButtons) return;
    widgets::CHoverButton* button = buttons_[static_cast<size_t>(index)];
    if (!button->isEnabled()) return;
    control::PdfViewerControl& control = viewer_->Control();
    switch (index) {
        case kButtonHand:
            return ApplyTool(tools_.SelectTool(kToolHand), index);
        case kButtonDrawing:
            if (button->ArrowHit()) return OpenToolMenu(0);
            return ApplyTool(tools_.SelectDrawing(), index);
        case kButtonMeasuring:
            if (button->ArrowHit()) return OpenToolMenu(1);
            return ApplyTool(tools_.SelectMeasuring(), index);
        case kButtonText:
            ApplyTool(tools_.SelectTool(kToolText), index);
            return ApplyFontSettings();
        case kButtonNote:
            return ApplyTool(tools_.SelectTool(kToolNote), index);
        case kButtonHighlight:
            return ApplyTool(tools_.SelectTool(kToolHighlight), index);
        case kButtonStrikeout:
            return ApplyTool(tools_.SelectTool(kToolStrikeout), index);
        case kButtonImage:
            return ApplyTool(tools_.SelectTool(kToolImage), index);
        case kButtonAttachment:
            return ApplyTool(tools_.SelectTool(kToolAttachment), index);
        case kButtonZoomIn:
            return ApplyTool(tools_.SelectTool(kToolZoomIn), index);
        case kButtonZoomOut:
            return ApplyTool(tools_.SelectTool(kToolZoomOut), index);
        case kButtonFindText:
            ApplyTool(tools_.SelectTool(kToolFindText), index);
            return ShowFindWindow();
        case kButtonFit:
            return control.SetFitMode(tools_.NextFitMode());
        case kButtonRotation:
            return control.SetRotation(tools_.NextRotation());
        case kButtonAll:
            return ToggleShowAll();
        case kButtonPrinter:
            control.Printer().Print();
            return;
        case kButtonMore:
            return OpenMoreMenu();
        case kButtonCheck:
            return CheckNewComments();
        case kButtonPublish:
            return PublishButton();
        case kButtonFinish:
            return FinishReview();
        default:
            return;  // the publish-to-original button has no action here
    }
}

void CQuillmarkDlg::RunMenuCommand(int command) {
    if (command >= kFirstDrawingCommand && command < kFirstDrawingCommand + 8) {
        const int subTool = command - kFirstDrawingCommand;
        buttons_[kButtonDrawing]->SetDrawingSubTool(subTool);
        return ApplyTool(tools_.ChooseDrawing(subTool), kButtonDrawing);
    }
    if (command >= kFirstMeasuringCommand && command < kFirstMeasuringCommand + 3) {
        const int subTool = command - kFirstMeasuringCommand;
        buttons_[kButtonMeasuring]->SetMeasuringSubTool(subTool);
        return ApplyTool(tools_.ChooseMeasuring(subTool), kButtonMeasuring);
    }
    for (int i = 0; i < kViewButtons; ++i) {
        if (kMoreMenuEntries[static_cast<size_t>(i)].command == command)
            return PressButton(kButtonZoomIn + i);
    }
    if (command == kResolutionSheetCommand) return SaveResolutionSheet();
    for (size_t key = 0; key < kSortCommands.size(); ++key) {
        if (kSortCommands[key] == command) {
            listSortKey_ = static_cast<int>(key);
            return RefillCommentList();
        }
    }
}

QStringList CQuillmarkDlg::MoreMenuItems() const {
    QStringList items;
    const int first = layout_.visibleViewButtons;
    for (int i = first; i < kViewButtons; ++i)
        items << QString::fromLatin1(kMoreMenuEntries[static_cast<size_t>(i)].label);
    items << QString::fromLatin1(kResolutionSheetLabel);
    return items;
}

void CQuillmarkDlg::OpenToolMenu(int group) {
    widgets::CIconMenu menu(this);
    widgets::CHoverButton* button = buttons_[group == 0 ? kButtonDrawing : kButtonMeasuring];
    if (group == 0) {
        for (int i = 0; i < 8; ++i)
            menu.AddItem(QString::fromLatin1(ToolSelection::DrawingMenuLabel(i)),
                         kDrawingPictures[static_cast<size_t>(i)], kFirstDrawingCommand + i);
    } else {
        for (int i = 0; i < 3; ++i)
            menu.AddItem(QString::fromLatin1(ToolSelection::MeasuringMenuLabel(i)),
                         kMeasuringPictures[static_cast<size_t>(i)], kFirstMeasuringCommand + i);
    }
    const QPoint at = button->mapToGlobal(QPoint(group == 0 ? -100 : -menu.sizeHint().width(), 0));
    if (const int command = menu.Run(at)) RunMenuCommand(command);
}

void CQuillmarkDlg::OpenMoreMenu() {
    widgets::CIconMenu menu(this);
    menu.SetColours(QColor(0, 51, 102), Qt::white);
    const int first = layout_.visibleViewButtons;
    for (int i = first; i < kViewButtons; ++i) {
        if (i > first) menu.addSeparator();
        const MoreMenuEntry& entry = kMoreMenuEntries[static_cast<size_t>(i)];
        menu.AddItem(QString::fromLatin1(entry.label), entry.pictureId, entry.command);
    }
    if (!menu.isEmpty()) menu.addSeparator();
    menu.AddItem(QString::fromLatin1(kResolutionSheetLabel), 0, kResolutionSheetCommand);
    widgets::CHoverButton* more = buttons_[kButtonMore];
    const QPoint at = more->mapToGlobal(QPoint(-menu.sizeHint().width(), 0));
    if (const int command = menu.Run(at)) RunMenuCommand(command);
}

void CQuillmarkDlg::SaveResolutionSheet() {
    // Offered in the reviewer's documents folder, named after the document.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A slash in the document number would name a folder.
    QString number = QString::fromStdString(platform::AnsiToUtf8(params_.SQUADDOCNO));
    number.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    const QString name = number + QStringLiteral("_resolution.csv");
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Resolution sheet"),
                                     documents.isEmpty() ? name : QDir(documents).filePath(name),
                                     QStringLiteral("CSV (*.csv);;PDF (*.pdf)"));
    if (path.isEmpty()) return;
    QString error;
    if (!SaveResolutionSheetTo(path, &error))
        platform::Prompts().Error(platform::Utf8ToAnsi(error.toStdString()));
}

bool CQuillmarkDlg::SaveResolutionSheetTo(const QString& path, QString* error) {
    const CommentIndex& index =
        context_.viewer.commentIndex ? *context_.viewer.commentIndex : AppCommentIndex();
    control::PdfViewerControl* control = viewer_ ? &viewer_->Control() : nullptr;
    widget::PdfViewerWidget* view = viewer_ ? viewer_->Viewer() : nullptr;
    const engine::EngineControl* engine = view ? &view->Engine() : nullptr;
    // The index keeps "Apply" and "Do Not Apply" only: ask the server again so that comments
    // under SC show as such. Without an answer the index's decisions stand.
    std::map<std::string, std::string> decisions;
    const review::CommandReply reply = client_.SendCommand("REVIEW");
    if (reply.arrived) ReadSheetDecisions(reply.body, decisions);
    // Summaries and feedback: without an answer those columns stay empty.
    std::map<std::string, review::CommentOutcome> outcomes;
    const review::CommandReply outcomeReply = client_.SendCommand("OUTCOME");
    if (outcomeReply.arrived) ReadCommentOutcomes(outcomeReply.body, outcomes);
    std::vector<SheetComment> comments = GatherSheetComments(index, control);
    if (engine) FillSheetPositions(*engine, comments);
    // Pages go by the labels the drawing set gives its sheets, where it gives them.
    const std::vector<SheetRow> rows = CollectSheetRows(
        std::move(comments), decisions, outcomes,
        engine ? widget::ReadPageLabels(engine->FilePath()) : std::map<int, std::string>{});
    const SheetTitle title =
        SheetTitleOf(params_, QDate::currentDate().toString(Qt::ISODate).toStdString());
    return SaveResolutionSheetFile(path, title, rows, engine, this, error);
}

void CQuillmarkDlg::OpenSortMenu() {
    widgets::CIconMenu menu(this);
    for (size_t key = 0; key < kSortLabels.size(); ++key) {
        QAction* action =
            menu.AddItem(QString::fromLatin1(kSortLabels[key]), 0, kSortCommands[key]);
        action->setCheckable(true);
        action->setChecked(static_cast<int>(key) == listSortKey_);
    }
    if (const int command = menu.Run(sortButton_->mapToGlobal(QPoint(0, sortButton_->height()))))
        RunMenuCommand(command);
}

void CQuillmarkDlg::ToggleShowAll() {
    // 1 shows every comment but images, 0 hides them: after loading they are hidden, so the
    // first press brings them on screen.
    viewer_->ShowComments(tools_.NextShowAll() == 1);
}

void CQuillmarkDlg::ShowFindWindow() {
    widget::PdfViewerWidget* view = viewer_->Viewer();
    if (!view) return;
    widget::FindWindow* finder = view->Finder();
    if (!finder) return;
    const QPoint centre = viewer_->mapToGlobal(viewer_->rect().center());
    finder->move(centre - QPoint(121, 35));
    finder->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    finder->show();
    finder->raise();
}

void CQuillmarkDlg::UpdateFontBar() {
    const bool shown = watcherState_->ready && !busy_ && tools_.CurrentTool() == kToolText;
    fontList_->setVisible(shown);
    sizeList_->setVisible(shown);
    colourButton_->setVisible(shown);
    update(QRect(255, 7, 35, 19));
}

void CQuillmarkDlg::ApplyFontSettings() {
    control::PdfTextFont font = viewer_->Control().GetTextFont();
    font.SetFaceName(fonts_.face);
    font.SetSize(static_cast<float>(fonts_.size));
    font.SetColor(static_cast<int32_t>(fonts_.colour));
}

// ---------------------------------------------------------------------------------------
// Layout, painting and keys

void CQuillmarkDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RunLayout();
}

void CQuillmarkDlg::RunLayout() {
    session::MainWindowLayoutInput input;
    input.width = width();
    input.height = height();
    input.busy = busy_;
    input.viewerReady = watcherState_->ready;
    input.fontBarShown = watcherState_->ready && tools_.CurrentTool() == kToolText;
    const CommentIndex* index =
        context_.viewer.commentIndex ? context_.viewer.commentIndex : &AppCommentIndex();
    input.commentCount = static_cast<int>(index->size());
    layout_ = ComputeMainWindowLayout(input);

    auto place = [](QWidget* widget, const LayoutBox& box) {
        widget->setGeometry(box.x, box.y, box.width, box.height);
        widget->setVisible(box.visible);
    };
    place(spinner_, layout_.spinner);
    if (busy_) spinner_->raise();
    place(list_, layout_.commentList);
    // Hidden, never shrunk, while busy: the reader keeps page and zoom.
    place(viewer_, layout_.viewer);
    for (int i = 0; i < kToolBarButtons; ++i)
        place(buttons_[static_cast<size_t>(i)], layout_.buttons[static_cast<size_t>(i)]);
    search_->setVisible(!busy_);
    sortButton_->setVisible(!busy_);
    UpdateFontBar();
}

void CQuillmarkDlg::RepaintIndicator() { update(QRect(width() - 50, height() - 200, 50, 50)); }

void CQuillmarkDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int W = width();
    const int H = height();
    if (busy_) {
        p.fillRect(rect(), kBusyBackground);
        p.fillRect(rect(), QBrush(kBusyHatch, Qt::CrossPattern));
        return;
    }
    p.fillRect(rect(), kBackground);
    if (!watcherState_->ready) return;

    const QPixmap left = widgets::Picture(130);
    if (!left.isNull()) p.drawTiledPixmap(QRect(0, 0, left.width(), H), left);
    const QPixmap strip = widgets::Picture(146);
    if (!strip.isNull())
        p.drawTiledPixmap(QRect(W - kIndicatorStrip, 0, kIndicatorStrip, H), strip);
    const QPixmap foot = widgets::Picture(149);
    if (!foot.isNull()) p.drawPixmap(W - kIndicatorStrip, H - 153, foot);

    const int count = watcherState_->newCommentCount;
    if (count != 0) {
        const QPixmap badge = widgets::Picture(150);
        const QRect badgeRect(W - kIndicatorStrip, H - 199, 48, 46);
        if (!badge.isNull()) p.drawPixmap(badgeRect.topLeft(), badge);
        p.setPen(Qt::white);
        p.setFont(widgets::ArialPixelFont(16, QFont::Normal));
        p.drawText(badgeRect, Qt::AlignCenter, widgets::CHoverButton::CountText(count));
    }
    if (tools_.CurrentTool() == kToolText) {
        p.setPen(FromBgr(fonts_.colour));
        p.setFont(widgets::ArialPixelFont(17, QFont::Bold));
        p.drawText(QRect(255, 7, 35, 19), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Font:"));
    }
}

bool CQuillmarkDlg::IsOwnButton(const QObject* object) const {
    if (object == sortButton_) return true;
    for (const widgets::CHoverButton* button : buttons_)
        if (object == button) return true;
    return false;
}

bool CQuillmarkDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QWidget::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    // Keys of this window only; dialogs over it keep theirs.
    if (!widget || (widget != this && !isAncestorOf(widget)))
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QWidget* focus = QApplication::focusWidget();
    if (key->key() == Qt::Key_Control) {
        if (params_.isOpener) SetMultiSelect(event->type() == QEvent::KeyPress);
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F1:
        case Qt::Key_F4:
            // Only the window's own buttons: editors keep their Enter.
            return watched == this || IsOwnButton(watched) || IsOwnButton(focus);
        case Qt::Key_Escape:
            if (IsTextEditor(focus)) return false;
            SelectHandTool();
            return true;
        default:
            return false;
    }
}

void CQuillmarkDlg::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A Ctrl released in another window never reaches this one.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) multiSelect_ = false;
}

}  // namespace quill::ui
