#include "shell/startup_window.h"
#include "shell/shell_names.h"

#include <QApplication>

#include "app/launch_params.h"
#include "app/pending_details.h"
#include "control/pdf_viewer_control.h"
#include "platform/code_page.h"
#include "shell/screenshot.h"
#include "viewer/pdf_viewer_dlg.h"
#include "viewer/widget/pdf_viewer_widget.h"

namespace quill::shell {

namespace {
QString FromAnsi(const std::string& text) {
    return QString::fromStdString(platform::AnsiToUtf8(text));
}
// How long a screenshot run waits for the page tiles in view: 100 ms steps.
constexpr int kRenderChecks = 300;
}  // namespace

QString MainWindowTitle(const LaunchParams& params) {
    return FromAnsi("Ostrel Lumaro  " + params.SITEUSENM + " - " + params.USERKNM + "(" +
                    params.USERID + ")");
}

StartupWindow::StartupWindow(const LaunchParams& params, bool withViewer, QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(MainWindowTitle(params));
    resize(1280, 900);
    renderWait_.setInterval(100);
    connect(&renderWait_, &QTimer::timeout, this, &StartupWindow::CheckRendered);
    if (!withViewer) return;
    CPdfViewerDlg::Context context = CPdfViewerDlg::Context::FromApp(this);
    context.params = &params;
    dialog_ = new CPdfViewerDlg(std::move(context), this);
    dialog_->setGeometry(rect());
    // A document that cannot be had ends the client here.
    dialog_->OnInitDialog();
}

void StartupWindow::SelectHandTool() {
    if (dialog_) dialog_->Control().SetCurrentTool("Hand Tool");
}

void StartupWindow::ShowBusy(const std::string&) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void StartupWindow::HideBusy() { QApplication::restoreOverrideCursor(); }

void StartupWindow::CommentDeleted(const std::string& uniqueName) {
    // The dialog works on the application's tables (Context::FromApp).
    AppPendingDetails().SetDelete(uniqueName, 1);
}

void StartupWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!dialog_ || loadStarted_) return;
    loadStarted_ = true;
    // Once the window is on screen: load the comments, then show them (the main window's
    // "show comments" toggle will do the second step).
    QTimer::singleShot(0, this, &StartupWindow::LoadComments);
}

void StartupWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (dialog_) dialog_->setGeometry(rect());
}

void StartupWindow::LoadComments() {
    dialog_->ReloadComments();
    dialog_->ShowComments(true);
    commentsShown_ = true;
    renderWait_.start();
}

void StartupWindow::CheckRendered() {
    const bool ready = dialog_->Viewer()->VisibleTilesReady();
    if (!ready && ++renderChecks_ < kRenderChecks) return;
    renderWait_.stop();
    if (ready) {
        emit CommentsOnScreen();
        TakeScreenshotNowIfAsked(this);
    } else {
        // The picture would not show the document: the run fails.
        ScreenshotFailed("the page tiles were not rendered in time");
    }
}

}  // namespace quill::shell
