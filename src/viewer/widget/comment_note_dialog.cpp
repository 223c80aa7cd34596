#include "viewer/widget/comment_note_dialog.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "viewer/widget/ansi_text.h"

namespace quill::widget {
namespace {

constexpr int kIdRole = Qt::UserRole + 1;

QString DateText(double automationDate) {
    if (automationDate <= 0) return {};
    // Days since 1899-12-30, local time.
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    return base.addMSecs(static_cast<qint64>(automationDate * 86400000.0))
        .toString("yyyy-MM-dd HH:mm");
}

}  // namespace

CommentNoteDialog::CommentNoteDialog(engine::EngineControl& engine, AnnotId annot, QWidget* parent)
    : QDialog(parent), engine_(engine), annot_(annot) {
    setObjectName("CommentNote");
    setWindowTitle(tr("Comment"));
    resize(520, 460);
    auto* layout = new QVBoxLayout(this);
    header_ = new QLabel(this);
    layout->addWidget(header_);
    contents_ = new QPlainTextEdit(this);
    contents_->setObjectName("Contents");
    contents_->setMaximumHeight(110);
    layout->addWidget(contents_);
    save_ = new QPushButton(tr("Save Text"), this);
    save_->setObjectName("SaveContents");
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch();
    saveRow->addWidget(save_);
    layout->addLayout(saveRow);

    layout->addWidget(new QLabel(tr("Replies:"), this));
    replies_ = new QTreeWidget(this);
    replies_->setObjectName("Replies");
    replies_->setColumnCount(3);
    replies_->setHeaderLabels({tr("Author"), tr("Date"), tr("Reply")});
    replies_->header()->setStretchLastSection(true);
    replies_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    replies_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    layout->addWidget(replies_, 1);
    replyText_ = new QPlainTextEdit(this);
    replyText_->setObjectName("ReplyText");
    replyText_->setMaximumHeight(70);
    layout->addWidget(replyText_);
    auto* row = new QHBoxLayout;
    add_ = new QPushButton(tr("Reply"), this);
    add_->setObjectName("AddReply");
    edit_ = new QPushButton(tr("Edit Reply"), this);
    edit_->setObjectName("EditReply");
    delete_ = new QPushButton(tr("Delete Reply"), this);
    delete_->setObjectName("DeleteReply");
    auto* close = new QPushButton(tr("Close"), this);
    row->addWidget(add_);
    row->addWidget(edit_);
    row->addWidget(delete_);
    row->addStretch();
    row->addWidget(close);
    layout->addLayout(row);

    connect(save_, &QPushButton::clicked, this, [this] { SaveContents(); });
    connect(add_, &QPushButton::clicked, this, [this] { AddReply(); });
    connect(edit_, &QPushButton::clicked, this, [this] { EditReply(); });
    connect(delete_, &QPushButton::clicked, this, [this] { DeleteReply(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(replies_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (const AnnotId id = ReplyOf(item)) {
            replyText_->setPlainText(FromAnsi(engine_.GetAnnotText(id, AnnotText::Contents)));
        }
        UpdateButtons();
    });
    Refresh();
}

AnnotId CommentNoteDialog::ReplyOf(QTreeWidgetItem* item) const {
    return item ? item->data(0, kIdRole).toULongLong() : 0;
}

void CommentNoteDialog::Refresh() {
    const AnnotId keep = ReplyOf(replies_->currentItem());
    const std::string author = engine_.GetAnnotText(annot_, AnnotText::Author);
    const std::string subject = engine_.GetAnnotText(annot_, AnnotText::Subject);
    header_->setText(QString("<b>%1</b> &nbsp; %2 &nbsp; %3")
                         .arg(FromAnsi(author).toHtmlEscaped(), FromAnsi(subject).toHtmlEscaped(),
                              DateText(engine_.GetModDate(annot_))));
    contents_->setPlainText(FromAnsi(engine_.GetAnnotText(annot_, AnnotText::Contents)));
    contents_->setReadOnly(engine_.GetReadOnly(annot_));
    replies_->clear();
    AddItems(nullptr, annot_);
    replies_->expandAll();
    if (keep) SelectReply(keep);
    UpdateButtons();
}

void CommentNoteDialog::AddItems(QTreeWidgetItem* parentItem, AnnotId parent) {
    const int n = engine_.ReplyCount(parent);
    for (int i = 0; i < n; ++i) {
        const AnnotId id = engine_.ReplyAt(parent, i);
        if (!id) continue;
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(replies_);
        item->setData(0, kIdRole, QVariant::fromValue<qulonglong>(id));
        item->setText(0, FromAnsi(engine_.GetAnnotText(id, AnnotText::Author)));
        item->setText(1, DateText(engine_.GetModDate(id)));
        item->setText(2, FromAnsi(engine_.GetAnnotText(id, AnnotText::Contents)));
        if (engine_.GetReadOnly(id)) item->setForeground(2, QColor(110, 110, 110));
        AddItems(item, id);
    }
}

void CommentNoteDialog::SelectReply(AnnotId reply) {
    for (QTreeWidgetItemIterator it(replies_); *it; ++it) {
        if (ReplyOf(*it) == reply) {
            replies_->setCurrentItem(*it);
            return;
        }
    }
}

void CommentNoteDialog::UpdateButtons() {
    const bool locked = engine_.GetReadOnly(annot_);
    save_->setEnabled(!locked);
    const AnnotId reply = ReplyOf(replies_->currentItem());
    const bool replyLocked = reply && engine_.GetReadOnly(reply);
    edit_->setEnabled(reply && !replyLocked);
    delete_->setEnabled(reply && !replyLocked);
}

bool CommentNoteDialog::SaveContents() {
    if (engine_.GetReadOnly(annot_)) return false;
    const std::string text = ToAnsi(contents_->toPlainText());
    if (text == engine_.GetAnnotText(annot_, AnnotText::Contents)) return false;
    const bool ok = engine_.UserChangeAnnot(annot_, [&](PdfAnnot& a) { a.SetContents(text); });
    Refresh();
    return ok;
}

AnnotId CommentNoteDialog::AddReply() {
    const QString text = replyText_->toPlainText();
    if (text.trimmed().isEmpty()) return 0;
    AnnotId parent = ReplyOf(replies_->currentItem());
    if (!parent) parent = annot_;
    const AnnotId id = engine_.UserAddReply(parent, ToAnsi(text));
    if (id) {
        replyText_->clear();
        Refresh();
        SelectReply(id);
    }
    return id;
}

bool CommentNoteDialog::EditReply() {
    const AnnotId reply = ReplyOf(replies_->currentItem());
    if (!reply || engine_.GetReadOnly(reply)) return false;
    const std::string text = ToAnsi(replyText_->toPlainText());
    if (text == engine_.GetAnnotText(reply, AnnotText::Contents)) return false;
    const bool ok = engine_.UserEditReply(reply, text);
    Refresh();
    return ok;
}

bool CommentNoteDialog::DeleteReply() {
    const AnnotId reply = ReplyOf(replies_->currentItem());
    if (!reply || engine_.GetReadOnly(reply)) return false;
    const bool ok = engine_.UserDeleteReply(reply);
    replyText_->clear();
    Refresh();
    return ok;
}

}  // namespace quill::widget
