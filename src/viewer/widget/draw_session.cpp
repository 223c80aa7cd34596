#include "viewer/widget/draw_session.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "viewer/widget/annot_painter.h"
#include "viewer/widget/measure_text.h"

namespace quill::widget {
namespace {

double Dist(engine::PointF a, engine::PointF b) { return std::hypot(a.x - b.x, a.y - b.y); }

}  // namespace

DrawSession::DrawSession(AnnotTool tool, int page, engine::AnnotStyle style)
    : tool_(tool), page_(page), style_(style) {}

bool DrawSession::IsVertexTool() const {
    switch (tool_) {
        case AnnotTool::Cloudy:
        case AnnotTool::Polygon:
        case AnnotTool::PolyLine:
        case AnnotTool::Perimeter:
        case AnnotTool::Area:
            return true;
        default:
            return false;
    }
}

bool DrawSession::IsClosedShape() const {
    return tool_ == AnnotTool::Cloudy || tool_ == AnnotTool::Polygon || tool_ == AnnotTool::Area;
}

void DrawSession::Press(engine::PointF p, double tolerance) {
    pressed_ = true;
    current_ = p;
    if (IsVertexTool()) {
        if (vertices_.empty()) {
            start_ = p;
            hasStart_ = true;
            vertices_.push_back(p);
        } else if (Dist(vertices_.back(), p) > tolerance) {
            vertices_.push_back(p);
        }
        return;
    }
    start_ = p;
    hasStart_ = true;
    if (tool_ == AnnotTool::Pencil) stroke_ = {p};
}

void DrawSession::Move(engine::PointF p, bool buttonDown) {
    current_ = p;
    if (!buttonDown || !pressed_) return;
    dragging_ = true;
    if (tool_ == AnnotTool::Pencil) {
        if (stroke_.empty() || Dist(stroke_.back(), p) > 0.5) stroke_.push_back(p);
    }
}

DrawSession::Step DrawSession::Release(engine::PointF p, double tolerance) {
    current_ = p;
    pressed_ = false;
    const bool moved = Dist(start_, p) > tolerance;
    if (IsVertexTool()) {
        // A cloud dragged out in one go becomes a rectangular cloud.
        if (tool_ == AnnotTool::Cloudy && vertices_.size() == 1 && moved) {
            cloudRect_ = true;
            const engine::RectF r = engine::RectF{start_.x, start_.y, p.x, p.y}.Normalized();
            vertices_ = {{r.x1, r.y1}, {r.x2, r.y1}, {r.x2, r.y2}, {r.x1, r.y2}};
            return Step::Finish;
        }
        // A click on the first vertex closes a closed shape.
        if (IsClosedShape() && vertices_.size() >= 4 &&
            Dist(vertices_.front(), vertices_.back()) <= tolerance) {
            vertices_.pop_back();
            return Step::Finish;
        }
        dragging_ = false;
        return Step::Continue;
    }
    dragging_ = false;
    switch (tool_) {
        case AnnotTool::Pencil:
            if (stroke_.empty() || stroke_.back() != p) stroke_.push_back(p);
            return stroke_.size() >= 2 && moved ? Step::Finish : Step::Cancel;
        case AnnotTool::Line:
        case AnnotTool::Arrow:
        case AnnotTool::Distance:
        case AnnotTool::Rectangle:
        case AnnotTool::Circle:
            return moved ? Step::Finish : Step::Cancel;
        case AnnotTool::Highlight:
        case AnnotTool::StrikeOut:
            return quads_.empty() ? Step::Cancel : Step::Finish;
        default:
            // Call-out, note, image, file attachment: a click or a drag.
            return Step::Finish;
    }
}

DrawSession::Step DrawSession::DoubleClick(engine::PointF p, double tolerance) {
    if (!IsVertexTool()) return Step::Continue;
    // The double click's second press added (at most) one vertex at the same spot.
    while (vertices_.size() >= 2 &&
           Dist(vertices_[vertices_.size() - 2], vertices_.back()) <= tolerance) {
        vertices_.pop_back();
    }
    return FinishVertices();
}

DrawSession::Step DrawSession::FinishVertices() {
    if (!IsVertexTool()) return Step::Continue;
    const size_t need = IsClosedShape() ? 3 : 2;
    return vertices_.size() >= need ? Step::Finish : Step::Cancel;
}

engine::RectF DrawSession::DragRect(double defaultSize) const {
    engine::RectF r = engine::RectF{start_.x, start_.y, current_.x, current_.y}.Normalized();
    if (r.Width() < 2 && r.Height() < 2) {
        r = {start_.x, start_.y - defaultSize, start_.x + defaultSize, start_.y};
    }
    return r;
}

std::vector<engine::Quad> DrawSession::MergeLines(const std::vector<engine::Quad>& words) {
    // Words are in reading order; words on one line (overlapping vertically, following each
    // other) join into one quad.
    std::vector<engine::Quad> lines;
    engine::RectF cur;
    bool open = false;
    auto flush = [&] {
        if (!open) return;
        lines.push_back(engine::Quad{engine::PointF{cur.x1, cur.y2}, engine::PointF{cur.x2, cur.y2},
                                     engine::PointF{cur.x1, cur.y1},
                                     engine::PointF{cur.x2, cur.y1}});
        open = false;
    };
    for (const engine::Quad& q : words) {
        const engine::RectF r = engine::BoundsOf(std::vector<engine::PointF>(q.begin(), q.end()));
        if (open) {
            const double overlap = std::min(cur.y2, r.y2) - std::max(cur.y1, r.y1);
            const double minH = std::min(cur.Height(), r.Height());
            if (overlap > 0.5 * minH && r.x1 >= cur.x1 - 1) {
                cur = {std::min(cur.x1, r.x1), std::min(cur.y1, r.y1), std::max(cur.x2, r.x2),
                       std::max(cur.y2, r.y2)};
                continue;
            }
            flush();
        }
        cur = r;
        open = true;
    }
    flush();
    return lines;
}

namespace {

struct Word {
    engine::RectF box;
    size_t index;  // in the page's list
    int line = -1;
};

struct Line {
    engine::RectF box;
    std::vector<size_t> words;  // indexes into the word vector, left to right
};

}  // namespace

std::vector<engine::Quad> DrawSession::SelectWords(const std::vector<engine::Quad>& quads,
                                                   engine::PointF from, engine::PointF to,
                                                   double reach) {
    std::vector<Word> words;
    for (size_t i = 0; i < quads.size(); ++i) {
        words.push_back({engine::BoundsOf({quads[i].begin(), quads[i].end()}), i});
    }
    if (words.empty()) return {};
    // Lines: words that overlap vertically and follow each other closely.
    std::vector<size_t> order(words.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return words[a].box.x1 < words[b].box.x1; });
    std::vector<Line> lines;
    for (size_t i : order) {
        Word& w = words[i];
        const double h = std::max(1.0, w.box.Height());
        for (size_t l = 0; l < lines.size(); ++l) {
            const engine::RectF& b = lines[l].box;
            const double overlap = std::min(b.y2, w.box.y2) - std::max(b.y1, w.box.y1);
            const double gap = w.box.x1 - b.x2;
            if (overlap > 0.5 * std::min(h, b.Height()) && gap < 3 * h) {
                w.line = static_cast<int>(l);
                break;
            }
        }
        if (w.line < 0) {
            w.line = static_cast<int>(lines.size());
            lines.push_back({w.box, {}});
        }
        Line& line = lines[w.line];
        line.box = {std::min(line.box.x1, w.box.x1), std::min(line.box.y1, w.box.y1),
                    std::max(line.box.x2, w.box.x2), std::max(line.box.y2, w.box.y2)};
        line.words.push_back(i);
    }
    auto nearest = [&](engine::PointF p) {
        size_t best = 0;
        double bestD = 1e300;
        for (size_t i = 0; i < words.size(); ++i) {
            const engine::RectF& r = words[i].box;
            const double dx = std::max({r.x1 - p.x, 0.0, p.x - r.x2});
            const double dy = std::max({r.y1 - p.y, 0.0, p.y - r.y2});
            const double d = dx * dx + 4 * dy * dy;
            if (d < bestD) {
                bestD = d;
                best = i;
            }
        }
        return std::make_pair(best, std::sqrt(bestD));
    };
    auto [a, da] = nearest(from);
    auto [b, db] = nearest(to);
    if (da > reach && db > reach) return {};
    // a comes first in reading order: the higher line, or the left word on one line.
    auto before = [&](size_t x, size_t y) {
        const Line& lx = lines[words[x].line];
        const Line& ly = lines[words[y].line];
        if (words[x].line == words[y].line) return words[x].box.x1 <= words[y].box.x1;
        return (lx.box.y1 + lx.box.y2) > (ly.box.y1 + ly.box.y2);
    };
    if (!before(a, b)) std::swap(a, b);
    const int la = words[a].line, lb = words[b].line;
    std::vector<size_t> chosen;
    if (la == lb) {
        for (size_t i : lines[la].words) {
            if (words[i].box.x1 >= words[a].box.x1 && words[i].box.x1 <= words[b].box.x1) {
                chosen.push_back(i);
            }
        }
    } else {
        const engine::RectF& A = lines[la].box;
        const engine::RectF& B = lines[lb].box;
        const double colX1 = std::min(A.x1, B.x1), colX2 = std::max(A.x2, B.x2);
        const double top = (A.y1 + A.y2) / 2, bottom = (B.y1 + B.y2) / 2;
        for (size_t i : lines[la].words) {
            if (words[i].box.x1 >= words[a].box.x1) chosen.push_back(i);
        }
        std::vector<size_t> middle;
        for (size_t l = 0; l < lines.size(); ++l) {
            if (static_cast<int>(l) == la || static_cast<int>(l) == lb) continue;
            const double mid = (lines[l].box.y1 + lines[l].box.y2) / 2;
            if (mid >= top || mid <= bottom) continue;
            if (lines[l].box.x2 < colX1 || lines[l].box.x1 > colX2) continue;
            middle.push_back(l);
        }
        std::sort(middle.begin(), middle.end(),
                  [&](size_t x, size_t y) { return lines[x].box.y2 > lines[y].box.y2; });
        for (size_t l : middle) {
            for (size_t i : lines[l].words) chosen.push_back(i);
        }
        for (size_t i : lines[lb].words) {
            if (words[i].box.x1 <= words[b].box.x1) chosen.push_back(i);
        }
    }
    std::vector<engine::Quad> out;
    for (size_t i : chosen) out.push_back(quads[words[i].index]);
    return out;
}

std::vector<engine::PointF> DrawSession::PreviewVertices() const {
    std::vector<engine::PointF> v = vertices_;
    if (!v.empty() && Dist(v.back(), current_) > 0) v.push_back(current_);
    return v;
}

std::optional<engine::AnnotDraft> DrawSession::Draft() const {
    engine::AnnotDraft draft;
    draft.tool = tool_;
    draft.page = page_;
    draft.style = style_;
    draft.scale = scale_;
    switch (tool_) {
        case AnnotTool::Line:
        case AnnotTool::Arrow:
        case AnnotTool::Distance:
            if (Dist(start_, current_) <= 0) return std::nullopt;
            draft.points = {start_, current_};
            break;
        case AnnotTool::Rectangle:
        case AnnotTool::Circle: {
            const engine::RectF r =
                engine::RectF{start_.x, start_.y, current_.x, current_.y}.Normalized();
            if (r.Width() <= 0 || r.Height() <= 0) return std::nullopt;
            draft.rect = r;
            break;
        }
        case AnnotTool::Cloudy:
        case AnnotTool::Polygon:
        case AnnotTool::Area:
            if (vertices_.size() < 3) return std::nullopt;
            draft.points = vertices_;
            break;
        case AnnotTool::PolyLine:
        case AnnotTool::Perimeter:
            if (vertices_.size() < 2) return std::nullopt;
            draft.points = vertices_;
            break;
        case AnnotTool::Pencil:
            if (stroke_.size() < 2) return std::nullopt;
            draft.strokes = {stroke_};
            break;
        case AnnotTool::Highlight:
        case AnnotTool::StrikeOut:
            if (quads_.empty()) return std::nullopt;
            draft.quads = MergeLines(quads_);
            break;
        case AnnotTool::Note:
        case AnnotTool::FileAttachment:
            draft.rect = {start_.x, start_.y - 20, start_.x + 20, start_.y};
            break;
        case AnnotTool::Image:
            draft.rect = DragRect(100);
            break;
        case AnnotTool::Callout:
            // The widget places the text box; here only the line from the target.
            draft.points = {start_, current_};
            break;
    }
    return draft;
}

std::string DrawSession::MeasureText() const {
    switch (tool_) {
        case AnnotTool::Distance:
            return hasStart_ ? FormatLength(PathLength({start_, current_}, false), scale_)
                             : std::string();
        case AnnotTool::Perimeter:
            return FormatLength(PathLength(PreviewVertices(), false), scale_);
        case AnnotTool::Area:
            return FormatArea(PolygonArea(PreviewVertices()), scale_);
        default:
            return {};
    }
}

void DrawSession::PaintPreview(QPainter& painter, const QTransform& t) const {
    if (!hasStart_) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double scale = std::sqrt(std::abs(t.determinant()));
    QColor color = FromBgr(style_.color);
    QPen pen(color);
    pen.setWidthF(std::max(1.0, style_.width * scale));
    if (style_.borderStyle >= 2 && style_.borderStyle <= 6) pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    auto map = [&](engine::PointF p) { return t.map(QPointF(p.x, p.y)); };
    switch (tool_) {
        case AnnotTool::Line:
        case AnnotTool::Arrow:
        case AnnotTool::Distance: {
            const QPointF a = map(start_), b = map(current_);
            painter.drawLine(a, b);
            if (tool_ == AnnotTool::Arrow) {
                const double ang = std::atan2(b.y() - a.y(), b.x() - a.x());
                const double len = 10 * std::max(1.0, style_.width * scale / 2);
                for (double d : {2.6, -2.6}) {
                    painter.drawLine(b,
                                     b + QPointF(std::cos(ang + d) * len, std::sin(ang + d) * len));
                }
            }
            break;
        }
        case AnnotTool::Rectangle:
        case AnnotTool::Image:
            painter.drawPolygon(QPolygonF(QRectF(map(start_), map(current_)).normalized()));
            break;
        case AnnotTool::Circle:
            painter.drawEllipse(QRectF(map(start_), map(current_)).normalized());
            break;
        case AnnotTool::Cloudy:
        case AnnotTool::Polygon:
        case AnnotTool::Area:
        case AnnotTool::PolyLine:
        case AnnotTool::Perimeter: {
            std::vector<engine::PointF> v = PreviewVertices();
            if (tool_ == AnnotTool::Cloudy && vertices_.size() == 1 && dragging_) {
                const QRectF r = QRectF(map(start_), map(current_)).normalized();
                painter.drawRect(r);
                break;
            }
            QPolygonF poly;
            for (const auto& p : v) poly << map(p);
            if (IsClosedShape()) {
                painter.drawPolygon(poly);
            } else {
                painter.drawPolyline(poly);
            }
            break;
        }
        case AnnotTool::Pencil: {
            QPolygonF poly;
            for (const auto& p : stroke_) poly << map(p);
            painter.drawPolyline(poly);
            break;
        }
        case AnnotTool::Highlight:
        case AnnotTool::StrikeOut: {
            if (quads_.empty() && dragging_) {
                // No words (yet): the dragged area.
                QPen band(color, 1, Qt::DotLine);
                painter.setPen(band);
                painter.drawRect(QRectF(map(start_), map(current_)).normalized());
            }
            for (const engine::Quad& q : MergeLines(quads_)) {
                QPolygonF poly{map(q[0]), map(q[1]), map(q[3]), map(q[2])};
                if (tool_ == AnnotTool::Highlight) {
                    QColor c = color;
                    c.setAlpha(110);
                    painter.setPen(Qt::NoPen);
                    painter.setBrush(c);
                    painter.drawPolygon(poly);
                } else {
                    painter.drawLine((poly[0] + poly[3]) / 2, (poly[1] + poly[2]) / 2);
                }
            }
            break;
        }
        case AnnotTool::Callout:
            painter.drawLine(map(start_), map(current_));
            break;
        default:
            break;
    }
    const std::string measure = MeasureText();
    if (!measure.empty()) {
        const QString text = QString::fromStdString(measure);
        const QPointF at = map(current_) + QPointF(12, -10);
        QFont f = painter.font();
        f.setPointSizeF(9);
        painter.setFont(f);
        const QRectF box = painter.fontMetrics().boundingRect(text).adjusted(-4, -2, 4, 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 225, 235));
        painter.drawRect(box.translated(at));
        painter.setPen(Qt::black);
        painter.drawText(at, text);
    }
    painter.restore();
}

}  // namespace quill::widget
