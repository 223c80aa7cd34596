// CommentNoteDialog: a comment's popup note: its text and the thread of replies (add, edit,
// delete), each change going through the control so that its event fires.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QDialog>

#include "viewer/engine/engine_control.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quill::widget {

class CommentNoteDialog : public QDialog {
    Q_OBJECT
public:
    CommentNoteDialog(engine::EngineControl& engine, AnnotId annot, QWidget* parent);

    AnnotId Annot() const { return annot_; }
    QPlainTextEdit* ContentsEdit() const { return contents_; }
    QPlainTextEdit* ReplyEdit() const { return replyText_; }
    QTreeWidget* ReplyTree() const { return replies_; }
    // The reply shown in the tree's row; 0 for none.
    AnnotId ReplyOf(QTreeWidgetItem* item) const;
    // Selects the row of a reply.
    void SelectReply(AnnotId reply);

    // What the buttons do.
    bool SaveContents();
    // Answers the selected reply, or the comment when none is selected.
    AnnotId AddReply();
    bool EditReply();
    bool DeleteReply();
    void Refresh();

private:
    void AddItems(QTreeWidgetItem* parentItem, AnnotId parent);
    void UpdateButtons();

    engine::EngineControl& engine_;
    AnnotId annot_;
    QLabel* header_ = nullptr;
    QPlainTextEdit* contents_ = nullptr;
    QTreeWidget* replies_ = nullptr;
    QPlainTextEdit* replyText_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace quill::widget
