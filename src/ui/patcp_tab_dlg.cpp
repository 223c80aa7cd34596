#include "ui/patcp_tab_dlg.h"

#include <QCheckBox>
#include <QPainter>
#include <QPlainTextEdit>

#include "platform/code_page.h"
#include "session/review_decision_flow.h"
#include "ui/shaped_dialog.h"
#include "widgets/artwork.h"
#include "widgets/hover_button.h"

namespace quill::ui {

CPatcpTabDlg::CPatcpTabDlg(FinishDialogContext context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
    box_ = new QCheckBox(this);
    box_->setGeometry(15, 15, 14, 14);
    summary_ = new QPlainTextEdit(this);
    summary_->setGeometry(15, 87, 263, 55);
    summary_->setFont(role_style::BodyFont());
    ok_ = new CHoverButton(this);
    ok_->LoadStrip(Artwork(ArtId::OkButton, devicePixelRatioF()));
    ok_->move(211, 150);
    connect(ok_, &QAbstractButton::clicked, this, &CPatcpTabDlg::RunOk);
}

void CPatcpTabDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setBackgroundMode(Qt::TransparentMode);
    ShapedDialog::DrawTextIn(painter, ShapedDialog::Box(33, 13, 283, 60),
                             FinishNotice(context_.squadDocNo), role_style::BodyFont(),
                             role_style::kNoticeColour);
    ShapedDialog::DrawTextIn(painter, ShapedDialog::Box(15, 68, 150, 83),
                             QStringLiteral("Result Summary:"), role_style::BodyFont(),
                             role_style::kLabelColour);
}

void CPatcpTabDlg::RunOk() {
    if (!context_.steps || !context_.prompter) return;
    const std::string text = platform::Utf8ToAnsi(summary_->toPlainText().toStdString());
    if (RunFinishStep(*context_.steps, *context_.prompter, box_->isChecked(), text))
        emit Finished();
}

}  // namespace quill::ui
