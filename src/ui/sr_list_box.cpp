#include "ui/sr_list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include "platform/code_page.h"

namespace quill::ui {

namespace {

constexpr int kAnsiRole = Qt::UserRole + 1;
constexpr int kDataRole = Qt::UserRole + 2;

// Draws each engineer with his suffix in the colours of his state.
class EngineerDelegate : public QStyledItemDelegate {
public:
    explicit EngineerDelegate(SRListBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int row = index.row();
        if (row < 0 || row >= list_->count()) return;
        painter->save();
        painter->fillRect(option.rect, list_->BackColour(row));
        painter->setPen(list_->TextColour(row));
        painter->setFont(list_->font());
        painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          list_->ShownText(row));
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {list_->viewport()->width(), SRListBox::kItemHeight};
    }

private:
    SRListBox* list_;
};

}  // namespace

SRListBox::SRListBox(QWidget* parent, EngineerIndex* index, platform::Prompter* prompter)
    : QListWidget(parent),
      index_(index ? index : &AppEngineerIndex()),
      prompter_(prompter ? prompter : &platform::Prompts()) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setItemDelegate(new EngineerDelegate(this));
}

void SRListBox::AddEngineer(const std::string& authorText, std::intptr_t itemData) {
    auto* item = new QListWidgetItem(QString::fromStdString(platform::AnsiToUtf8(authorText)));
    item->setData(kAnsiRole, QByteArray::fromStdString(authorText));
    item->setData(kDataRole, QVariant::fromValue<qintptr>(itemData));
    addItem(item);
}

std::string SRListBox::AuthorText(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(kAnsiRole).toByteArray().toStdString() : std::string();
}

void SRListBox::UpdateData() {
    std::vector<EngineerListRow> rows;
    rows.reserve(static_cast<size_t>(count()));
    for (int row = 0; row < count(); ++row) {
        const QListWidgetItem* it = item(row);
        rows.push_back({AuthorText(row),
                        static_cast<std::intptr_t>(it->data(kDataRole).value<qintptr>()),
                        it->isSelected()});
    }
    selection_.UpdateData(rows, currentRow(), *index_);
    // Unselecting here is not a selection change of the user's: the page must not run its
    // selection handler again from inside it.
    const QSignalBlocker blocker(this);
    for (int row = 0; row < count(); ++row) {
        if (!rows[static_cast<size_t>(row)].selected && item(row)->isSelected())
            item(row)->setSelected(false);
    }
    viewport()->update();
}

void SRListBox::StoreSummary(const QString& text) {
    const std::string ansi = platform::Utf8ToAnsi(text.toStdString());
    if (!selection_.StoreSummary(ansi, *index_)) emit SummaryTargetMissing();
}

QString SRListBox::ShownText(int row) const {
    const std::string text = platform::TrimMultiByte(AuthorText(row));
    return QString::fromStdString(platform::AnsiToUtf8(text)) +
           QString::fromLatin1(EngineerSuffix(*index_, text));
}

QColor SRListBox::TextColour(int row) const {
    if (IsConsolidationFinished(*index_, platform::TrimMultiByte(AuthorText(row))))
        return {0x5A, 0x5A, 0x5A};
    if (item(row) && item(row)->isSelected()) return palette().color(QPalette::HighlightedText);
    return {0x1D, 0x88, 0xD9};
}

QColor SRListBox::BackColour(int row) const {
    if (IsConsolidationFinished(*index_, platform::TrimMultiByte(AuthorText(row))))
        return {0xF2, 0xF2, 0xF2};
    if (item(row) && item(row)->isSelected()) return palette().color(QPalette::Highlight);
    return palette().color(QPalette::Base);
}

void SRListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 || event->key() == Qt::Key_F4) return;
    if (event->key() == Qt::Key_Control) selection_.SetSingleSelection(false);
    QListWidget::keyPressEvent(event);
}

void SRListBox::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 || event->key() == Qt::Key_F4) return;
    if (event->key() == Qt::Key_Control) selection_.SetSingleSelection(true);
    QListWidget::keyReleaseEvent(event);
}

void SRListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (selectedItems().isEmpty()) prompter_->Info("Please select engineer.");
        return;
    }
    QListWidget::mousePressEvent(event);
}

}  // namespace quill::ui
