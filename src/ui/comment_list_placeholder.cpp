#include "ui/comment_list_placeholder.h"
#include "ui/ui_names.h"

#include "platform/code_page.h"

namespace quill::ui {

namespace {
constexpr int kNameRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;

QString FromAnsi(const std::string& text) {
    return QString::fromStdString(platform::AnsiToUtf8(text));
}
const char* StatusLabel(int status) {
    switch (status) {
        case kFeedbackApply:
            return "Apply";
        case kFeedbackDoNotApply:
            return "Do Not Apply";
        default:
            return "Under SC";
    }
}
}  // namespace

CommentListPlaceholder::CommentListPlaceholder(QWidget* parent) : QListWidget(parent) {
    setWordWrap(true);
    setStyleSheet(QStringLiteral(
        "QListWidget { background: rgb(216,218,222); border: none; }"
        "QListWidget::item { background: white; margin: 2px 0px; padding: 4px; }"
        "QListWidget::item:selected { background: rgb(200,214,235); color: black; }"));
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit GoToComment(item->data(kNameRole).toString()); });
}

void CommentListPlaceholder::Refill(const CommentIndex& index, const std::string& filter) {
    clear();
    for (const auto& [name, entry] : index) {
        if (!filter.empty() && entry.contents.find(filter) == std::string::npos) continue;
        const QString line = FromAnsi(entry.author) + QStringLiteral("  ") + FromAnsi(entry.date) +
                             QStringLiteral("\n") + FromAnsi(entry.contents);
        auto* item = new QListWidgetItem(line + QStringLiteral("\n") +
                                         QString::fromLatin1(StatusLabel(entry.feedbackStatus)));
        item->setData(kNameRole, QString::fromStdString(name));
        item->setData(kLineRole, line);
        addItem(item);
    }
}

void CommentListPlaceholder::SetStatusLabel(const std::string& name, const std::string& label) {
    const QString key = QString::fromStdString(name);
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem* it = item(i);
        if (it->data(kNameRole).toString() != key) continue;
        it->setText(it->data(kLineRole).toString() + QStringLiteral("\n") +
                    QString::fromStdString(label));
        return;
    }
}

}  // namespace quill::ui
