#include "ui/feedback_review_summary_dlg.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/prompter.h"
#include "review/feedback_summary_reply.h"
#include "review/review_client.h"
#include "widgets/arial_font.h"

namespace quill::ui {

namespace {

const QColor kCaptionColour(0x18, 0x4B, 0x79);

QPlainTextEdit* MakeEdit(QWidget* parent, const QRect& place) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setReadOnly(true);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setGeometry(place);
    return edit;
}

}  // namespace

CFeedbackReviewSummaryDlg::CFeedbackReviewSummaryDlg(const ReviewClient& client, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Review Summary"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    setFixedSize(kWidth, kHeight);

    finishReport_ = MakeEdit(this, QRect(10, 30, 260, 70));
    resultSummary_ = MakeEdit(this, QRect(10, 130, 260, 70));
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setGeometry(210, 207, 60, 26);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    Load(client);
}

void CFeedbackReviewSummaryDlg::Load(const ReviewClient& client) {
    const std::string reply = client.SendReviewCommand("FEEDBACKSUMMARY");
    FeedbackSummaryTexts texts;
    if (!ReadFeedbackSummary(reply, texts)) {
        platform::Prompts().Error("Feedback summary network error.");
        endedAtOnce_ = true;
        setResult(QDialog::Accepted);
        return;
    }
    // The reply is UTF-8 JSON: its texts go on screen as UTF-8, not through the code page.
    finishReport_->setPlainText(QString::fromUtf8(texts.finishReport));
    resultSummary_->setPlainText(QString::fromUtf8(texts.resultSummary));
}

QString CFeedbackReviewSummaryDlg::FinishReport() const { return finishReport_->toPlainText(); }

QString CFeedbackReviewSummaryDlg::ResultSummary() const { return resultSummary_->toPlainText(); }

int CFeedbackReviewSummaryDlg::exec() {
    if (endedAtOnce_) {
        setResult(QDialog::Accepted);
        return QDialog::Accepted;
    }
    return QDialog::exec();
}

void CFeedbackReviewSummaryDlg::open() {
    if (endedAtOnce_) {
        setResult(QDialog::Accepted);
        emit finished(QDialog::Accepted);
        emit accepted();
        return;
    }
    QDialog::open();
}

void CFeedbackReviewSummaryDlg::setVisible(bool visible) {
    if (visible && endedAtOnce_) return;
    QDialog::setVisible(visible);
}

void CFeedbackReviewSummaryDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setFont(widgets::ArialPixelFont(14, 400));
    painter.setPen(kCaptionColour);
    painter.drawText(QRect(QPoint(10, 10), QPoint(149, 31)), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Review Finish:"));
    painter.drawText(QRect(QPoint(10, 110), QPoint(149, 131)), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Result Summary:"));
}

}  // namespace quill::ui
