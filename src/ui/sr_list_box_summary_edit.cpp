#include "ui/sr_list_box_summary_edit.h"

#include "platform/code_page.h"
#include "ui/sr_list_box.h"

namespace quill::ui {

SRSummaryEdit::SRSummaryEdit(SRListBox* list, QWidget* parent)
    : QPlainTextEdit(parent), list_(list) {
    connect(this, &QPlainTextEdit::textChanged, this, &SRSummaryEdit::OnTextChanged);
    // No engineer to take the text: the edit is emptied, which must not be taken for typing.
    connect(list_, &SRListBox::SummaryTargetMissing, this, [this] { SetTextQuietly({}); });
}

void SRSummaryEdit::SetTextQuietly(const QString& text) {
    if (toPlainText() == text) return;
    const bool was = quiet_;
    quiet_ = true;
    setPlainText(text);
    quiet_ = was;
}

void SRSummaryEdit::FollowSelection() {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.size() != 1) {
        setEnabled(true);
        SetTextQuietly({});
        return;
    }
    if (list_->Selection().empty()) {
        SetTextQuietly({});
        setEnabled(false);
        return;
    }
    setEnabled(true);
    const auto& engineers = list_->Engineers();
    const auto it = engineers.find(list_->Selection().front().text);
    const std::string summary = it != engineers.end() ? it->second.summary : std::string();
    SetTextQuietly(QString::fromStdString(platform::AnsiToUtf8(summary)));
}

void SRSummaryEdit::OnTextChanged() {
    if (quiet_) return;
    const std::string trimmed = platform::TrimUtf8(toPlainText().toStdString());
    list_->StoreSummary(QString::fromStdString(trimmed));
}

}  // namespace quill::ui
