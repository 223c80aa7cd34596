// CQuillmarkDlg: the client's top-level window: the comment list, the viewer dialog, the tool
// bar and the workflow buttons, and the review workflow behind them.
#pragma once
#include "ui/ui_names.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/annot_subject_table.h"
#include "review/review_client.h"
#include "session/font_settings.h"
#include "session/main_window_layout.h"
#include "session/review_workflow.h"
#include "session/revision_watcher.h"
#include "session/tool_selection.h"
#include "ui/comment_list_host.h"
#include "viewer/pdf_viewer_dlg.h"
#include "viewer/viewer_dialog_host.h"

class QComboBox;
class QLineEdit;

namespace quill::widgets {
class CHoverButton;
class CFontList;
class CColourPicker;
}  // namespace quill::widgets

namespace quill::ui {

class CSpinnerDlg;
class CCommentListBox;

class CQuillmarkDlg : public QWidget, public ViewerDialogHost, private CommentListHost {
    Q_OBJECT
public:
    // Opens the finish dialog of the initiator (isOpener) or of a participant over parent; true
    // when it ended with OK.
    using FinishDialogFactory = std::function<bool(bool isOpener, QWidget* parent)>;
    // Opens the review dialog for the comment name in its positive ("Apply", "Agree") or
    // negative form, from a card's menu.
    using ReviewDialogFactory = std::function<void(const std::string& name, bool positive)>;

    struct Context {
        const LaunchParams* params = nullptr;  // the application's when null
        std::string commandTail;               // written with the "Open" record
        std::string installFolder;             // where "setFont.dat" is kept
        std::string logFolder;                 // old logs are purged here at start
        CPdfViewerDlg::Context viewer;         // its host is set to the window
        FinishDialogFactory finishDialog;
        // Ends the process at once when the review is closed; TerminateClient by default.
        std::function<void()> terminate;
        RevisionWatcher::Timing watcherTiming;

        // The running application's values.
        static Context FromApp(const std::string& commandTail);
    };

    explicit CQuillmarkDlg(Context context, QWidget* parent = nullptr);
    ~CQuillmarkDlg() override;

    // ---- ViewerDialogHost ----
    void SetMultiSelect(bool on) override;
    void SelectHandTool() override;
    void ShowBusy(const std::string& text) override;
    void HideBusy() override;
    void RefillCommentList() override;
    // The deleted comment's detail goes at the next publish.
    void CommentDeleted(const std::string& uniqueName) override;

    // ---- the comment list's entries (record: the comment's record) ----
    void RecordComment(CNMObject& record);
    void UpdateComment(CNMObject& record);
    void RemoveComment(CNMObject& record);
    // The card of the comment shows a new review status (nothing while it has no card).
    void SetCardLabel(const std::string& name, const std::string& label);
    // Scrolls the viewer to the comment and selects it.
    void GoToComment(const std::string& name);
    // The names of the selected cards, in list order.
    std::vector<std::string> SelectedCommentNames() const;
    // The card menu's choices open the review dialog through factory; until one is set they
    // do nothing.
    void SetReviewDialogFactory(ReviewDialogFactory factory);

    // The finish dialog of the initiator (with its consolidation page) or of a participant;
    // true when it ended with OK.
    bool RunFinishDialog(bool isOpener);

    // ---- the workflow buttons ----
    void CheckNewComments();
    void PublishButton();
    void FinishReview();

    // ---- tool bar ----
    // Presses the tool bar button of that index (a click on it).
    void PressButton(int index);
    // Runs a command of the drawing, measuring, more or sort menus.
    void RunMenuCommand(int command);
    // The items the more menu offers now (their labels).
    QStringList MoreMenuItems() const;
    // Writes the resolution sheet of the review to path (PDF by a ".pdf" ending, else CSV);
    // the more menu's "Resolution sheet..." asks for the path first.
    bool SaveResolutionSheetTo(const QString& path, QString* error = nullptr);

    // ---- state, for the window's tests ----
    bool ViewerReady() const { return watcherState_->ready; }
    bool Busy() const { return busy_; }
    bool MultiSelect() const { return multiSelect_; }
    bool KeepSelectionValue() const { return keepSelection_; }
    CCommentListBox* CommentList() const { return list_; }
    int NewCommentCount() const { return watcherState_->newCommentCount; }
    int ListSortKey() const { return listSortKey_; }
    int CurrentTool() const { return tools_.CurrentTool(); }
    const session::FontSettings& Fonts() const { return fonts_; }
    const session::MainWindowLayout& Layout() const { return layout_; }
    widgets::CHoverButton* Button(int index) const { return buttons_[static_cast<size_t>(index)]; }
    CPdfViewerDlg* ViewerDialog() const { return viewer_; }
    CSpinnerDlg* Spinner() const { return spinner_; }
    QLineEdit* SearchField() const { return search_; }
    session::ReviewWorkflow& Workflow() { return *workflow_; }
    int StartRuns() const { return startRuns_; }

signals:
    // The start step has run: comments loaded, decisions read, the tool bar laid out.
    void Ready();
    // Every page tile in view is rendered after the start step (for a screenshot run).
    void CommentsOnScreen();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateToolBar();
    void CreateFontBar();
    void StartWatcher();
    void ApplyRoleRestrictions();
    void OnStartTimer();
    void RunLayout();
    void ApplyTool(const std::string& viewerTool, int button);
    void UpdateFontBar();
    void ApplyFontSettings();
    void OpenToolMenu(int group);
    void OpenMoreMenu();
    void SaveResolutionSheet();
    void OpenSortMenu();
    void ToggleShowAll();
    void ShowFindWindow();
    void OnCountChanged(int count);
    void OnReviewClosed(const std::string& message);
    void RepaintIndicator();
    // Waits for the autosave queue to drain while the spinner turns; true when it drained.
    bool WaitForQueueDrainPumping();
    void TakeInComments();
    bool IsOwnButton(const QObject* object) const;
    void WaitForRendering();
    CommentIndex& Index() const;

    // ---- CommentListHost: the cards' messages ----
    void KeepSelection(bool keep) override;
    void CommentClicked(int page, const std::string& name) override;
    void ShowComment(int page, const std::string& name) override;
    void DeleteComment(int page, const std::string& name) override;
    void OpenReviewDialog(const std::string& name, bool positive) override;
    control::PdfViewerControl* CommentControl() override;
    sync::AutosaveWorker* CommentWorker() override;

    Context context_;
    const LaunchParams& params_;
    review::ReviewClient client_;
    std::shared_ptr<WatcherState> watcherState_ = std::make_shared<WatcherState>();
    std::unique_ptr<RevisionWatcher> watcher_;
    std::unique_ptr<session::ReviewWorkflow> workflow_;
    session::ToolSelection tools_;
    session::FontSettings fonts_;
    session::MainWindowLayout layout_;

    std::array<widgets::CHoverButton*, kToolBarButtons> buttons_{};
    widgets::CHoverButton* sortButton_ = nullptr;
    QLineEdit* search_ = nullptr;
    CCommentListBox* list_ = nullptr;
    AnnotSubjectTable subjects_;
    ReviewDialogFactory reviewDialog_;
    CPdfViewerDlg* viewer_ = nullptr;
    CSpinnerDlg* spinner_ = nullptr;
    widgets::CFontList* fontList_ = nullptr;
    QComboBox* sizeList_ = nullptr;
    widgets::CColourPicker* colourButton_ = nullptr;

    QTimer startTimer_;
    QTimer renderWait_;
    int renderChecks_ = 0;
    bool startDone_ = false;
    int startRuns_ = 0;
    bool busy_ = false;
    bool flowRunning_ = false;  // a workflow step runs (and pumps events)
    bool closeApproved_ = false;
    bool multiSelect_ = false;
    bool keepSelection_ = false;  // a right click on a selected card keeps the others
    int listSortKey_ = 0;
    std::string filterText_;
};

}  // namespace quill::ui
