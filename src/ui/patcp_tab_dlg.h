// CPatcpTabDlg: the initiator's own participation, the first page of the initiator's finish
// dialog.
#pragma once
#include "ui/ui_names.h"

#include <QWidget>

#include "ui/finish_dialog_context.h"

class QCheckBox;
class QPlainTextEdit;

namespace quill::widgets {
class CHoverButton;
}

namespace quill::ui {

class CPatcpTabDlg : public QWidget {
    Q_OBJECT
public:
    CPatcpTabDlg(FinishDialogContext context, QWidget* parent = nullptr);

    QCheckBox* FinishBox() const { return box_; }
    QPlainTextEdit* SummaryEdit() const { return summary_; }
    widgets::CHoverButton* OkButton() const { return ok_; }

    void RunOk();

signals:
    // The finish went through: the dialog holding the tab control ends with OK.
    void Finished();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FinishDialogContext context_;
    QCheckBox* box_ = nullptr;
    QPlainTextEdit* summary_ = nullptr;
    widgets::CHoverButton* ok_ = nullptr;
};

}  // namespace quill::ui
