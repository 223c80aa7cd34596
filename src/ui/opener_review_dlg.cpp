#include "ui/opener_review_dlg.h"

#include <QPainter>
#include <QPlainTextEdit>

#include "app/comment_index.h"
#include "platform/code_page.h"
#include "widgets/art_ids.h"

namespace quill::ui {

namespace {
constexpr QRect kSummaryRect(15, 80, 284, 60);
}  // namespace

COpenerReviewDlg::COpenerReviewDlg(ReviewDecisionContext context, QWidget* parent)
    : ShapedDialog(ArtId::ReviewDialogBackground, kOkPos, parent), context_(std::move(context)) {
    summary_ = new QPlainTextEdit(this);
    summary_->setGeometry(kSummaryRect);
    summary_->setFont(role_style::BodyFont());
    SetPositive(true);
}

void COpenerReviewDlg::SetPositive(bool positive) {
    positive_ = positive;
    // The negative form writes its summary in pure red.
    QPalette palette = summary_->palette();
    palette.setColor(QPalette::Text, positive ? QColor(Qt::black) : QColor(0xFF, 0x00, 0x00));
    summary_->setPalette(palette);
    setWindowTitle(Title());
    update();
}

QString COpenerReviewDlg::Title() const {
    return QString::fromStdString(ReviewTitle(positive_, context_.feedbackMode));
}

void COpenerReviewDlg::PaintOver(QPainter& painter) {
    // "Disagree" is the longest title and gets a wider box.
    const int titleRight = (!positive_ && context_.feedbackMode) ? 180 : 150;
    DrawTextIn(painter, Box(15, 18, titleRight, 130), Title(), role_style::TitleFont(),
               role_style::kTitleColour);
    DrawTextIn(painter, Box(15, 60, 150, 80), QStringLiteral("Review Summary:"),
               role_style::BodyFont(), role_style::kLabelColour);
}

void COpenerReviewDlg::showEvent(QShowEvent* event) {
    ShapedDialog::showEvent(event);
    summary_->setFocus(Qt::OtherFocusReason);
}

void COpenerReviewDlg::RunOk() {
    const std::string text = platform::Utf8ToAnsi(summary_->toPlainText().toStdString());
    if (RunReviewDecision(context_, name_, positive_, text)) accept();
}

ReviewDialogFactory MakeReviewDialogFactory(ReviewDecisionContext context, QWidget* parent) {
    return [context = std::move(context), parent](const std::string& name, bool positive) {
        COpenerReviewDlg dialog(context, parent);
        dialog.SetPositive(positive);
        dialog.SetAnnotationName(name);
        dialog.exec();
    };
}

ReviewDialogFactory MakeAppReviewDialogFactory(
    const ReviewClient& client, CommentIndex& comments,
    std::function<std::vector<std::string>()> selectedNames,
    std::function<void(const std::string& name, const std::string& label)> setCardLabel,
    bool feedbackMode, QWidget* parent) {
    // The steps live as long as the factory that hands them to each dialog.
    auto steps = std::make_shared<ClientReviewSteps>(client, comments);
    ReviewDecisionContext context;
    context.steps = steps.get();
    context.comments = &comments;
    context.selectedNames = std::move(selectedNames);
    context.prompter = &platform::Prompts();
    context.setCardLabel = std::move(setCardLabel);
    context.feedbackMode = feedbackMode;
    ReviewDialogFactory open = MakeReviewDialogFactory(std::move(context), parent);
    return [steps, open = std::move(open)](const std::string& name, bool positive) {
        open(name, positive);
    };
}

}  // namespace quill::ui
