// The dialog that shows a participant the initiator's finish report and result summary when the
// client starts in the feedback step.
#pragma once
#include "ui/ui_names.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace quill::review {
class ReviewClient;
}

namespace quill::ui {

class CFeedbackReviewSummaryDlg : public QDialog {
    Q_OBJECT
public:
    // Client size: 186 x 147 dialog units in the system font.
    static constexpr int kWidth = 280;
    static constexpr int kHeight = 240;

    // Sends "FEEDBACKSUMMARY" through client and fills the two edits. Without a summary reply
    // it shows "Feedback summary network error." and is over at once: exec() then returns
    // Accepted without showing anything.
    explicit CFeedbackReviewSummaryDlg(const ReviewClient& client, QWidget* parent = nullptr);

    // The dialog ended while it was being opened.
    bool EndedAtOnce() const { return endedAtOnce_; }
    QString FinishReport() const;
    QString ResultSummary() const;
    QPlainTextEdit* FinishReportEdit() const { return finishReport_; }
    QPlainTextEdit* ResultSummaryEdit() const { return resultSummary_; }

    // Qt drops an accept() made before exec() runs its loop, so the early end is kept here.
    int exec() override;
    void open() override;
    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Load(const ReviewClient& client);

    QPlainTextEdit* finishReport_ = nullptr;
    QPlainTextEdit* resultSummary_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool endedAtOnce_ = false;
};

}  // namespace quill::ui
