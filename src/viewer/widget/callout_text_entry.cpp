#include "viewer/widget/callout_text_entry.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "viewer/widget/annot_painter.h"
#include "viewer/widget/ansi_text.h"
#include "viewer/widget/draw_session.h"
#include "viewer/widget/pdf_viewer_widget.h"

namespace quill::widget {

CalloutTextEntry::CalloutTextEntry(PdfViewerWidget& view) : view_(view) {}

CalloutTextEntry::~CalloutTextEntry() = default;

QPlainTextEdit* CalloutTextEntry::Editor() const { return editor_; }

void CalloutTextEntry::Start(const DrawSession& s) {
    std::optional<engine::AnnotDraft> draft = s.Draft();
    if (!draft) return;
    const engine::TextStyle& font = view_.Engine().TextFont();
    const double zoom = view_.Zoom();
    const engine::PointF target = s.DragStart();
    engine::PointF at = s.Current();
    const bool clicked = std::hypot(at.x - target.x, at.y - target.y) < 2;
    if (clicked) at = {target.x + 30, target.y + 30};
    draft->points = {target, at};
    draft->rect = {at.x, at.y - font.size * 2, at.x + 150, at.y};
    draft->useControlTextFont = true;
    draft_ = draft;
    delete editor_;
    editor_ = new QPlainTextEdit(view_.viewport());
    editor_->setObjectName("CalloutEditor");
    QFont f(QString::fromStdString(font.face));
    f.setPixelSize(std::max(6, static_cast<int>(std::lround(font.size * zoom))));
    editor_->setFont(f);
    QPalette pal = editor_->palette();
    pal.setColor(QPalette::Text, FromBgr(font.color));
    editor_->setPalette(pal);
    editor_->setFrameShape(QFrame::Box);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QPointF tl = view_.ToViewport(draft->page, {at.x, at.y});
    editor_->setGeometry(QRect(tl.toPoint(), QSize(std::max(120, int(150 * zoom)),
                                                   std::max(30, int(font.size * 2.4 * zoom)))));
    editor_->installEventFilter(this);
    editor_->show();
    editor_->setFocus();
}

bool CalloutTextEntry::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Escape) {
            Cancel();
            return true;
        }
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            (k->modifiers() & Qt::ControlModifier)) {
            Commit();
            return true;
        }
    }
    if (watched == editor_ && event->type() == QEvent::FocusOut) {
        // Clicking elsewhere keeps what was typed.
        QTimer::singleShot(0, this, [this] {
            if (editor_ && !editor_->hasFocus()) Commit();
        });
    }
    return QObject::eventFilter(watched, event);
}

void CalloutTextEntry::Close() {
    if (!editor_) return;
    // No focus-out from the box being hidden: the text is taken or dropped already.
    editor_->removeEventFilter(this);
    editor_->hide();
    editor_->deleteLater();
    editor_ = nullptr;
}

void CalloutTextEntry::Commit() {
    if (!editor_ || !draft_) return;
    const QString text = editor_->toPlainText();
    engine::AnnotDraft draft = *draft_;
    draft_.reset();
    Close();
    view_.setFocus();
    if (text.trimmed().isEmpty()) return;
    engine::EngineControl& engine = view_.Engine();
    const engine::TextStyle& font = engine.TextFont();
    // The box fits the text: measured with the font at its size in points.
    QFont f(QString::fromStdString(font.face));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.size))));
    const QFontMetricsF fm(f);
    double w = 0;
    const QStringList lines = text.split('\n');
    for (const QString& line : lines) w = std::max(w, fm.horizontalAdvance(line));
    const double h = fm.lineSpacing() * lines.size();
    const engine::PointF at = draft.points.back();
    // Room for the border and a margin around the text.
    const double pad = 4 + view_.DrawStyle().width;
    engine::RectF box{at.x, at.y - h - 2 * pad, at.x + w + 2 * pad + font.size * 0.5, at.y};
    // The line ends at the middle of the box's side that faces the target.
    const engine::PointF target = draft.points.front();
    engine::PointF attach;
    if (target.x < box.x1) {
        attach = {box.x1, (box.y1 + box.y2) / 2};
    } else if (target.x > box.x2) {
        attach = {box.x2, (box.y1 + box.y2) / 2};
    } else if (target.y > box.y2) {
        attach = {(box.x1 + box.x2) / 2, box.y2};
    } else {
        attach = {(box.x1 + box.x2) / 2, box.y1};
    }
    draft.points = {target, attach};
    draft.rect = box;
    draft.contents = ToAnsi(text);
    const AnnotId id = engine.UserCreateAnnot(draft);
    if (id) view_.Select(id);
    view_.viewport()->update();
}

void CalloutTextEntry::Cancel() {
    draft_.reset();
    Close();
}

void CalloutTextEntry::FollowView() {
    if (!editor_ || !draft_) return;
    const engine::RectF r = draft_->rect;
    editor_->move(view_.ToViewport(draft_->page, {r.x1, r.y2}).toPoint());
}

}  // namespace quill::widget
