// CPatcpFinishDlg: a participant closes his part of the review with a result summary.
#pragma once
#include "ui/ui_names.h"

#include "ui/finish_dialog_context.h"
#include "ui/shaped_dialog.h"

class QCheckBox;
class QPlainTextEdit;

namespace quill::ui {

class CPatcpFinishDlg : public ShapedDialog {
    Q_OBJECT
public:
    static constexpr QPoint kOkPos{223, 227};

    explicit CPatcpFinishDlg(FinishDialogContext context, QWidget* parent = nullptr);

    QCheckBox* FinishBox() const { return box_; }
    QPlainTextEdit* SummaryEdit() const { return summary_; }

    void RunOk() override;

protected:
    void PaintOver(QPainter& painter) override;

private:
    FinishDialogContext context_;
    QCheckBox* box_ = nullptr;
    QPlainTextEdit* summary_ = nullptr;
};

}  // namespace quill::ui
