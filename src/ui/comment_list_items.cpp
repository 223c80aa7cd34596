#include "ui/comment_list_items.h"
#include "ui/ui_names.h"

#include "platform/code_page.h"

namespace quill::ui {

CommentListItems::CommentListItems(QObject* parent) : QAbstractListModel(parent) {}

void CommentListItems::Refill(CommentIndex& index, int sortOrder, const std::string& filter,
                              const AnnotSubjectTable& subjects) {
    beginResetModel();
    cards_.Refill(index, sortOrder, filter, subjects);
    endResetModel();
}

void CommentListItems::RowChanged(int row) {
    if (row < 0 || row >= cards_.Count()) return;
    const QModelIndex at = this->index(row);
    emit dataChanged(at, at);
}

int CommentListItems::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cards_.Count();
}

QVariant CommentListItems::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= cards_.Count()) return {};
    const session::CommentCard& card = cards_.Card(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(platform::AnsiToUtf8(card.contents));
        case kCardRole:
            return QVariant::fromValue(static_cast<const void*>(&card));
        case kStatusRole:
            return cards_.FeedbackStatusOf(index.row());
        default:
            return {};
    }
}

}  // namespace quill::ui
