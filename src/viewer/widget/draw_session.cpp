#include "viewer/widget/draw_session.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "viewer/widget/annot_painter.h"
#include "viewer/widget/measure_text.h"

namespace viewer::widget {
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
    while (vertices_.size() >= 2 && Dist(vertices_[vertices_.size() - 2], vertices_.back()) <=
                                        tolerance) {
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
                                     engine::PointF{cur.x1, cur.y1}, engine::PointF{cur.x2, cur.y1}});
        open = false;
    };
    for (const engine::Quad& q : words) {
        const engine::RectF r =
            engine::BoundsOf(std::vector<engine::PointF>(q.begin(), q.end()));
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

std::vector<engine::PointF> DrawSession::PreviewVertices() const {
    std::vector<engine::PointF> v = vertices_;
    if (!v.empty() && Dist(v.back(), current_) > 0) v.push_back(current_);
    return v;
}

std::optional<engine::AnnotSpec> DrawSession::Spec() const {
    engine::AnnotSpec spec;
    spec.tool = tool_;
    spec.page = page_;
    spec.style = style_;
    spec.scale = scale_;
    switch (tool_) {
        case AnnotTool::Line:
        case AnnotTool::Arrow:
        case AnnotTool::Distance:
            if (Dist(start_, current_) <= 0) return std::nullopt;
            spec.points = {start_, current_};
            break;
        case AnnotTool::Rectangle:
        case AnnotTool::Circle: {
            const engine::RectF r =
                engine::RectF{start_.x, start_.y, current_.x, current_.y}.Normalized();
            if (r.Width() <= 0 || r.Height() <= 0) return std::nullopt;
            spec.rect = r;
            break;
        }
        case AnnotTool::Cloudy:
        case AnnotTool::Polygon:
        case AnnotTool::Area:
            if (vertices_.size() < 3) return std::nullopt;
            spec.points = vertices_;
            break;
        case AnnotTool::PolyLine:
        case AnnotTool::Perimeter:
            if (vertices_.size() < 2) return std::nullopt;
            spec.points = vertices_;
            break;
        case AnnotTool::Pencil:
            if (stroke_.size() < 2) return std::nullopt;
            spec.strokes = {stroke_};
            break;
        case AnnotTool::Highlight:
        case AnnotTool::StrikeOut:
            if (quads_.empty()) return std::nullopt;
            spec.quads = MergeLines(quads_);
            break;
        case AnnotTool::Note:
        case AnnotTool::FileAttachment:
            spec.rect = {start_.x, start_.y - 20, start_.x + 20, start_.y};
            break;
        case AnnotTool::Image:
            spec.rect = DragRect(100);
            break;
        case AnnotTool::Callout:
            // The widget places the text box; here only the line from the target.
            spec.points = {start_, current_};
            break;
    }
    return spec;
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
                    painter.drawLine(b, b + QPointF(std::cos(ang + d) * len,
                                                    std::sin(ang + d) * len));
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

}  // namespace viewer::widget
