// A plain list of the comments in the main window's list area, until the comment cards exist:
// one line per comment (author, date, contents, review status), refilled from the comment index.
#pragma once
#include "ui/ui_names.h"

#include <QListWidget>
#include <string>

#include "app/comment_index.h"

namespace quill::ui {

class CommentListPlaceholder : public QListWidget {
    Q_OBJECT
public:
    explicit CommentListPlaceholder(QWidget* parent = nullptr);

    // Every comment whose contents hold filter (empty: all), by name.
    void Refill(const CommentIndex& index, const std::string& filter);
    // The review status shown for one comment; nothing when it has no line.
    void SetStatusLabel(const std::string& name, const std::string& label);

signals:
    // A line was double-clicked: go to that comment.
    void GoToComment(const QString& name);
};

}  // namespace quill::ui
