// Temporary top-level window that start-up runs until the main window exists: it hosts the
// viewer dialog with the review document and everyone's comments.
#pragma once
#include "shell/shell_names.h"

#include <QTimer>
#include <QWidget>

#include "viewer/viewer_dialog_host.h"

namespace quill::app {
struct LaunchParams;
}
namespace quill::viewer {
class CPdfViewerDlg;
}

namespace quill::shell {

class StartupWindow : public QWidget, public ViewerDialogHost {
    Q_OBJECT
public:
    // Without a viewer the window shows the title only (tests of the title).
    explicit StartupWindow(const LaunchParams& params, bool withViewer = false,
                           QWidget* parent = nullptr);

    CPdfViewerDlg* ViewerDialog() const { return dialog_; }
    bool MultiSelect() const { return multiSelect_; }

    // ViewerDialogHost
    void SetMultiSelect(bool on) override { multiSelect_ = on; }
    void SelectHandTool() override;
    void ShowBusy(const std::string& text) override;
    void HideBusy() override;
    // Until the main window takes it over: the deleted comment's detail goes at publish.
    void CommentDeleted(const std::string& uniqueName) override;

signals:
    // The comments are loaded and shown, and every page tile in view is rendered.
    void CommentsOnScreen();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadComments();
    void CheckRendered();

    CPdfViewerDlg* dialog_ = nullptr;
    bool multiSelect_ = false;
    bool loadStarted_ = false;
    bool commentsShown_ = false;
    QTimer renderWait_;
    int renderChecks_ = 0;
};

// "Ostrel Lumaro  %s - %s(%s)" of SITEUSENM, USERKNM and USERID.
QString MainWindowTitle(const LaunchParams& params);

}  // namespace quill::shell
