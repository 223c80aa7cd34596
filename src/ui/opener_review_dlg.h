// COpenerReviewDlg: the decision on a comment ("Apply"/"Do Not Apply", or "Agree"/"Disagree" in
// the feedback step) with a review summary.
#pragma once
#include "ui/ui_names.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "session/review_decision_flow.h"
#include "ui/shaped_dialog.h"

class QPlainTextEdit;

namespace quill::ui {

class COpenerReviewDlg : public ShapedDialog {
    Q_OBJECT
public:
    static constexpr QPoint kOkPos{233, 155};

    explicit COpenerReviewDlg(ReviewDecisionContext context, QWidget* parent = nullptr);

    // Set both before running the dialog.
    void SetPositive(bool positive);
    void SetAnnotationName(const std::string& name) { name_ = name; }

    bool Positive() const { return positive_; }
    QString Title() const;
    QPlainTextEdit* SummaryEdit() const { return summary_; }

    // Runs the OK button's action.
    void RunOk() override;

protected:
    void PaintOver(QPainter& painter) override;
    void showEvent(QShowEvent* event) override;

private:
    ReviewDecisionContext context_;
    bool positive_ = true;
    std::string name_;
    QPlainTextEdit* summary_ = nullptr;
};

// What the comment card's review commands call: opens the dialog for the comment (positive:
// "Apply"/"Agree") over the parent, modally.
using ReviewDialogFactory = std::function<void(const std::string& name, bool positive)>;
ReviewDialogFactory MakeReviewDialogFactory(ReviewDecisionContext context, QWidget* parent);

// The same for a main window: decisions go out through client (which must outlive the factory)
// with the contents from the application's comment index; selectedNames and setCardLabel are
// the window's; messages go to the application's prompter.
ReviewDialogFactory MakeAppReviewDialogFactory(
    const ReviewClient& client, CommentIndex& comments,
    std::function<std::vector<std::string>()> selectedNames,
    std::function<void(const std::string& name, const std::string& label)> setCardLabel,
    bool feedbackMode, QWidget* parent);

}  // namespace quill::ui
