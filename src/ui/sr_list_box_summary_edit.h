// The summary edit beside the engineer list: what the user types goes to the selected waiting
// engineers; what the page shows there itself goes nowhere.
#pragma once
#include "ui/ui_names.h"

#include <QPlainTextEdit>

namespace quill::ui {

class SRListBox;

class SRSummaryEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    // list must outlive the edit.
    explicit SRSummaryEdit(SRListBox* list, QWidget* parent = nullptr);

    // Shows text without storing it as anyone's summary.
    void SetTextQuietly(const QString& text);
    // Shows what fits the list's selection: nothing (and editable) unless exactly one engineer
    // is selected; that engineer's summary when he is waiting; nothing and read-only when he is
    // finished. Call it after the list's UpdateData.
    void FollowSelection();

private:
    void OnTextChanged();

    SRListBox* list_;
    bool quiet_ = false;
};

}  // namespace quill::ui
