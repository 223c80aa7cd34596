#include "ui/comment_ctrl.h"
#include "ui/ui_names.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "platform/code_page.h"
#include "ui/comment_list_items.h"
#include "widgets/arial_font.h"
#include "widgets/art_ids.h"
#include "widgets/picture_source.h"

namespace quill::ui {

namespace {

QString FromAnsi(const std::string& text) {
    return QString::fromStdString(platform::AnsiToUtf8(text));
}

// Rectangles given as left, top, right, bottom.
QRect Box(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int BackgroundId(int status, bool selected) {
    return widgets::ArtId::BlueCard + status + (selected ? 3 : 0);
}

// Each text stays inside its own rectangle, as the card's layout assumes.
void DrawText(QPainter& painter, const QRect& box, int flags, const QString& text) {
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.drawText(box, flags | Qt::TextSingleLine, text);
    painter.restore();
}

void DrawPicture(QPainter& painter, const QPoint& at, int id) {
    const QPixmap picture = widgets::Picture(id);
    if (!picture.isNull()) painter.drawPixmap(at, picture);
}

}  // namespace

CCommentCtrl::CCommentCtrl(QObject* parent) : QStyledItemDelegate(parent) {}

QFont CCommentCtrl::CardFont() {
    QFont font = widgets::ArialPixelFont(14, 400);
    font.setStyleHint(QFont::SansSerif, QFont::PreferQuality);
    return font;
}

QString CCommentCtrl::CutText(const std::string& text, int limit, const QString& suffix,
                              const QFontMetrics& metrics) {
    std::string taken;
    taken.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = platform::CharLength(text, pos);
        taken.append(text, pos, length);
        pos += length;
        const QString shown = FromAnsi(taken);
        if (metrics.horizontalAdvance(shown) > limit) return shown + suffix;
    }
    return FromAnsi(taken);
}

QString CCommentCtrl::AuthorText(const std::string& author, const QFontMetrics& metrics, int room) {
    const session::AuthorParts parts = session::SplitAuthor(author);
    const QString dots = QStringLiteral("..");
    int disciplineLimit = kDisciplineLimit;
    int engineerLimit = kEngineerLimit;
    auto compose = [&] {
        return CutText(parts.discipline, disciplineLimit, dots, metrics) + QLatin1Char(' ') +
               CutText(parts.engineer, engineerLimit, dots, metrics);
    };
    QString text = compose();
    while (metrics.horizontalAdvance(text) > room && (engineerLimit > 0 || disciplineLimit > 0)) {
        if (engineerLimit > 0)
            engineerLimit = std::max(0, engineerLimit - 4);
        else
            disciplineLimit = std::max(0, disciplineLimit - 4);
        text = compose();
    }
    return text;
}

void CCommentCtrl::PaintCard(QPainter& painter, const QPoint& origin,
                             const session::CommentCard& card, int feedbackStatus) {
    painter.save();
    painter.translate(origin);
    painter.setClipRect(QRect(0, 0, kWidth, kHeight));
    if (feedbackStatus >= 0 && feedbackStatus <= 2)
        DrawPicture(painter, QPoint(0, 0), BackgroundId(feedbackStatus, card.selected));
    DrawPicture(painter, QPoint(7, 8), widgets::ArtId::PinIcon);
    if (card.typeCode >= 0 && card.typeCode <= 16)
        DrawPicture(painter, QPoint(7, 25), widgets::ArtId::TypeIconFirst + card.typeCode);
    DrawPicture(painter, QPoint(7, 57), widgets::ArtId::ReplyIcon);
    if (card.hasLink) DrawPicture(painter, QPoint(180, 57), widgets::ArtId::LinkIcon);

    const QFont font = CardFont();
    const QFontMetrics metrics(font);
    painter.setFont(font);
    painter.setPen(Qt::white);
    // The status and author rows sit at the top of their boxes, level with the pin; the
    // date row below them starts at 25.
    const QString status = FromAnsi(card.statusText);
    DrawText(painter, Box(30, 8, 99, 35), Qt::AlignLeft | Qt::AlignTop, status);
    // The author keeps clear of the status text ("Do Not Apply" reaches into its box).
    const int statusEnd = 30 + std::min(metrics.horizontalAdvance(status), 99 - 30);
    DrawText(painter, Box(80, 8, 190, 35), Qt::AlignRight | Qt::AlignTop,
             AuthorText(card.author, metrics, std::min(190 - 80, 190 - statusEnd - kStatusGap)));
    DrawText(painter, Box(30, 25, 215, 57), Qt::AlignLeft | Qt::AlignTop, FromAnsi(card.date));
    const QString contents = CutText(card.contents, kContentsLimit, QStringLiteral("..."), metrics);
    // Black first, one pixel lower and to the right: a shadow under the white.
    painter.setPen(Qt::black);
    DrawText(painter, Box(31, 41, 196, 56), Qt::AlignLeft | Qt::AlignTop, contents);
    painter.setPen(Qt::white);
    DrawText(painter, Box(30, 40, 195, 55), Qt::AlignLeft | Qt::AlignTop, contents);
    DrawText(painter, Box(30, 57, 90, 111), Qt::AlignLeft | Qt::AlignTop,
             QStringLiteral("Reply(%1)").arg(card.replyCount));
    painter.restore();
}

void CCommentCtrl::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const auto* card = static_cast<const session::CommentCard*>(
        index.data(CommentListItems::kCardRole).value<const void*>());
    if (!card) return;
    PaintCard(*painter, option.rect.topLeft(), *card,
              index.data(CommentListItems::kStatusRole).toInt());
}

QSize CCommentCtrl::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(kWidth, kHeight);
}

}  // namespace quill::ui
