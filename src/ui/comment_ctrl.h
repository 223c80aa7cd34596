// CCommentCtrl: paints one comment card of the comment list (203 x 82 pixels).
#pragma once
#include "ui/ui_names.h"

#include <QFont>
#include <QStyledItemDelegate>
#include <string>

#include "session/comment_list_card.h"

class QFontMetrics;

namespace quill::ui {

class CCommentCtrl : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kWidth = 203;
    static constexpr int kHeight = 82;
    static constexpr int kContentsLimit = 145;
    static constexpr int kDisciplineLimit = 45;
    static constexpr int kEngineerLimit = 40;
    static constexpr int kStatusGap = 6;  // pixels between the status text and the author

    explicit CCommentCtrl(QObject* parent = nullptr);

    // The card's font: Arial, 14 pixels, normal weight.
    static QFont CardFont();
    // text (system code page) taken a character at a time (a double-byte character is one)
    // until its width in metrics exceeds limit; then suffix is appended. The character that
    // overflowed stays. The result as screen text.
    static QString CutText(const std::string& text, int limit, const QString& suffix,
                           const QFontMetrics& metrics);
    // The author as drawn: the cut discipline, a blank, the cut engineer.
    // When the text is wider than room (what the status text to its left leaves), the engineer
    // and then the discipline are cut shorter, so that the two never print over each other.
    static QString AuthorText(const std::string& author, const QFontMetrics& metrics,
                              int room = 1 << 20);
    // Paints card with the background of feedback status (none outside 0 to 2) at origin.
    static void PaintCard(QPainter& painter, const QPoint& origin, const session::CommentCard& card,
                          int feedbackStatus);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace quill::ui
