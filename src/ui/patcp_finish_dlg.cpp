#include "ui/patcp_finish_dlg.h"

#include <QCheckBox>
#include <QPainter>
#include <QPlainTextEdit>

#include "platform/code_page.h"
#include "session/review_decision_flow.h"
#include "widgets/art_ids.h"
#include "widgets/artwork.h"

namespace quill::ui {

CPatcpFinishDlg::CPatcpFinishDlg(FinishDialogContext context, QWidget* parent)
    : ShapedDialog(ArtId::ParticipantFinishBackground, kOkPos, parent),
      context_(std::move(context)) {
    setWindowTitle(QStringLiteral("Closed"));
    box_ = new QCheckBox(this);
    box_->setGeometry(25, 60, 14, 14);
    summary_ = new QPlainTextEdit(this);
    summary_->setGeometry(25, 127, 265, 92);
    summary_->setFont(role_style::BodyFont());
}

void CPatcpFinishDlg::PaintOver(QPainter& painter) {
    painter.drawPixmap(15, 10, Artwork(ArtId::FinishDialogIcon, devicePixelRatioF()));
    DrawTextIn(painter, Box(47, 18, 150, 130), QStringLiteral("Closed"), role_style::TitleFont(),
               role_style::kTitleColour);
    DrawTextIn(painter, Box(50, 58, 280, 100), FinishNotice(context_.squadDocNo),
               role_style::BodyFont(), role_style::kNoticeColour);
    DrawTextIn(painter, Box(25, 110, 150, 125), QStringLiteral("Result Summary:"),
               role_style::BodyFont(), role_style::kLabelColour);
}

void CPatcpFinishDlg::RunOk() {
    if (!context_.steps || !context_.prompter) return;
    const std::string text = platform::Utf8ToAnsi(summary_->toPlainText().toStdString());
    if (RunFinishStep(*context_.steps, *context_.prompter, box_->isChecked(), text)) accept();
}

}  // namespace quill::ui
