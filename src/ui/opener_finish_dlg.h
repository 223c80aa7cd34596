// COpenerFinishDlg: the initiator's finish, with the "Participation" and "Consolidation" pages.
#pragma once
#include "ui/ui_names.h"

#include "ui/finish_dialog_context.h"
#include "ui/shaped_dialog.h"

class QTabBar;

namespace quill::ui {

class CPatcpTabDlg;

class COpenerFinishDlg : public ShapedDialog {
    Q_OBJECT
public:
    static constexpr QRect kTabRect{8, 52, 298, 247};
    static constexpr QRect kPageRect{3, 23, 292, 221};
    static constexpr QPoint kOkPos{240, 20};

    explicit COpenerFinishDlg(FinishDialogContext context, QWidget* parent = nullptr);

    QTabBar* Tabs() const { return tabs_; }
    QWidget* TabControl() const { return tabControl_; }
    CPatcpTabDlg* ParticipationPage() const { return participation_; }
    QWidget* ConsolidationPage() const { return consolidation_; }

    // The initiator's finish is done from a page: the dialog ends with OK.
    void RunOk() override;

protected:
    void PaintOver(QPainter& painter) override;

private:
    void ShowPage(int index);

    FinishDialogContext context_;
    QWidget* tabControl_ = nullptr;
    QTabBar* tabs_ = nullptr;
    CPatcpTabDlg* participation_ = nullptr;
    QWidget* consolidation_ = nullptr;
};

}  // namespace quill::ui
