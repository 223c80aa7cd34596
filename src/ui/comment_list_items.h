// The comment list's cards as the rows of an item model, for the list view that shows them.
#pragma once
#include "ui/ui_names.h"

#include <QAbstractListModel>

#include "session/comment_list_model.h"

namespace quill::ui {

class CommentListItems : public QAbstractListModel {
    Q_OBJECT
public:
    // Rows hold the card (CardRole, a const CommentCard*) and its entry's feedback status.
    static constexpr int kCardRole = Qt::UserRole + 1;
    static constexpr int kStatusRole = Qt::UserRole + 2;

    explicit CommentListItems(QObject* parent = nullptr);

    session::CommentListModel& Cards() { return cards_; }
    const session::CommentListModel& Cards() const { return cards_; }

    // Builds the rows again (see CommentListModel::Refill).
    void Refill(CommentIndex& index, int sortOrder, const std::string& filter,
                const AnnotSubjectTable& subjects);
    // The row was changed in place: views repaint it.
    void RowChanged(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    session::CommentListModel cards_;
};

}  // namespace quill::ui
