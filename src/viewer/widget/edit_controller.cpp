#include "viewer/widget/edit_controller.h"

#include <QPainter>
#include <QPolygonF>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <utility>

#include "viewer/widget/annot_painter.h"
#include "viewer/widget/draw_session.h"
#include "viewer/widget/pdf_viewer_widget.h"

namespace quill::widget {
namespace {

constexpr int kHandleRadius = 4;

double Dist(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

double SegmentDistance(engine::PointF p, engine::PointF a, engine::PointF b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool IsLineLike(AnnotTool t) {
    return t == AnnotTool::Line || t == AnnotTool::Arrow || t == AnnotTool::Distance ||
           t == AnnotTool::PolyLine || t == AnnotTool::Perimeter || t == AnnotTool::Pencil;
}

// The box as shown, its sides pulled by a drag of handle h (0 TL 1 T 2 TR 3 R 4 BR 5 B 6 BL
// 7 L, as shown).
QRectF Resized(QRectF r, int h, QPointF delta) {
    if (h == 0 || h == 6 || h == 7) r.setLeft(r.left() + delta.x());
    if (h == 2 || h == 3 || h == 4) r.setRight(r.right() + delta.x());
    if (h == 0 || h == 1 || h == 2) r.setTop(r.top() + delta.y());
    if (h == 4 || h == 5 || h == 6) r.setBottom(r.bottom() + delta.y());
    return r.normalized();
}

}  // namespace

EditController::EditController(PdfViewerWidget& view) : view_(view), engine_(view.Engine()) {}

EditController::~EditController() = default;

bool EditController::Dragging() const {
    return mode_ == MouseMode::Move || mode_ == MouseMode::Resize || mode_ == MouseMode::Vertex;
}

void EditController::SetMode(MouseMode mode) {
    const bool drawing = mode == MouseMode::Draw || mode == MouseMode::AwaitWords;
    if (!drawing) session_.reset();
    if (Dragging()) drag_ = Drag{};
    mode_ = mode;
}

// ---------------------------------------------------------------- selection

void EditController::Select(AnnotId id) {
    if (id && !engine_.AnnotExists(id)) id = 0;
    if (id == selected_) return;
    selected_ = id;
    emit SelectionChanged(id);
    view_.viewport()->update();
}

void EditController::DeleteSelected() {
    if (!selected_ || !engine_.AnnotExists(selected_)) return;
    if (engine_.GetReadOnly(selected_)) return;
    const AnnotId id = selected_;
    selected_ = 0;
    if (!engine_.UserDeleteAnnot(id)) selected_ = id;
    emit SelectionChanged(selected_);
    view_.viewport()->update();
}

void EditController::DropRemoved() {
    if (selected_ && !engine_.AnnotExists(selected_)) selected_ = 0;
    if (Dragging() && !engine_.AnnotExists(drag_.id)) SetMode(MouseMode::None);
}

void EditController::DropDocument() {
    // A pan or a calibration is about the view, not the document: it goes on.
    if (Dragging() || session_) SetMode(MouseMode::None);
    selected_ = 0;
}

// ---------------------------------------------------------------- hit tests and handles

double EditController::Tolerance() const { return 4.0 / std::max(0.01, view_.Zoom()); }

AnnotId EditController::HitAnnot(int page, engine::PointF p, double tol) const {
    const std::vector<AnnotId> ids = engine_.AnnotsOnPage(page);
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        if (!engine_.GetShown(*it)) continue;
        const engine::AnnotGeometry g = engine_.GeometryOf(*it);
        if (!g.rect.Inflated(tol).Contains(p)) continue;
        if (g.tool && IsLineLike(*g.tool)) {
            auto nearLine = [&](const std::vector<engine::PointF>& pts) {
                for (size_t i = 1; i < pts.size(); ++i) {
                    if (SegmentDistance(p, pts[i - 1], pts[i]) <= tol + 2) return true;
                }
                return false;
            };
            bool hit = nearLine(g.points);
            for (const auto& s : g.strokes) hit = hit || nearLine(s);
            if (!hit && (!g.points.empty() || !g.strokes.empty())) continue;
        }
        return *it;
    }
    return 0;
}

AnnotId EditController::HitAnnotAt(QPointF pos) const {
    const int page = view_.PageAtViewport(pos.toPoint());
    return page >= 0 ? HitAnnot(page, view_.ToPage(page, pos), Tolerance()) : 0;
}

bool EditController::HasBoxHandles(AnnotId id) const {
    const engine::AnnotGeometry g = engine_.GeometryOf(id);
    if (!g.tool) return false;
    switch (*g.tool) {
        case AnnotTool::Rectangle:
        case AnnotTool::Circle:
        case AnnotTool::Callout:
        case AnnotTool::Image:
            return true;
        default:
            return false;
    }
}

std::vector<QPointF> EditController::HandlesOf(AnnotId id) const {
    std::vector<QPointF> out;
    const engine::AnnotGeometry g = engine_.GeometryOf(id);
    if (!g.tool || g.page < 0) return out;
    const QTransform t = view_.PageToViewport(g.page);
    if (HasBoxHandles(id)) {
        const QRectF r = t.mapRect(QRectF(g.box.x1, g.box.y1, g.box.Width(), g.box.Height()));
        out = {r.topLeft(),     QPointF(r.center().x(), r.top()),
               r.topRight(),    QPointF(r.right(), r.center().y()),
               r.bottomRight(), QPointF(r.center().x(), r.bottom()),
               r.bottomLeft(),  QPointF(r.left(), r.center().y())};
    }
    switch (*g.tool) {
        case AnnotTool::Line:
        case AnnotTool::Arrow:
        case AnnotTool::Distance:
        case AnnotTool::Polygon:
        case AnnotTool::Cloudy:
        case AnnotTool::PolyLine:
        case AnnotTool::Perimeter:
        case AnnotTool::Area:
            for (const auto& pt : g.points) out.push_back(t.map(QPointF(pt.x, pt.y)));
            break;
        case AnnotTool::Callout:
            if (!g.points.empty()) out.push_back(t.map(QPointF(g.points[0].x, g.points[0].y)));
            break;
        default:
            break;
    }
    return out;
}

int EditController::HitHandle(QPointF v) const {
    if (!selected_ || engine_.GetReadOnly(selected_)) return -1;
    const std::vector<QPointF> hs = HandlesOf(selected_);
    for (size_t i = 0; i < hs.size(); ++i) {
        if (Dist(hs[i], v) <= kHandleRadius + 2) return static_cast<int>(i);
    }
    return -1;
}

// ---------------------------------------------------------------- the hand tool

void EditController::StartDrag(MouseMode mode, AnnotId id, int handle, QPointF pos) {
    SetMode(mode);
    drag_.id = id;
    drag_.geometry = engine_.GeometryOf(id);
    drag_.page = drag_.geometry.page;
    drag_.drawing = engine_.DrawingOf(id);
    drag_.handle = handle;
    drag_.pressAt = drag_.now = pos;
}

void EditController::PressHand(QPointF pos) {
    const int handle = HitHandle(pos);
    if (handle >= 0) {
        const bool box = HasBoxHandles(selected_);
        if (box && handle < 8) {
            StartDrag(MouseMode::Resize, selected_, handle, pos);
        } else {
            StartDrag(MouseMode::Vertex, selected_, box ? handle - 8 : handle, pos);
        }
        return;
    }
    const AnnotId hit = HitAnnotAt(pos);
    if (hit) {
        Select(hit);
        if (engine_.GetReadOnly(hit)) {
            view_.viewport()->setCursor(Qt::ForbiddenCursor);
            return;
        }
        StartDrag(MouseMode::Move, hit, -1, pos);
        view_.viewport()->setCursor(Qt::SizeAllCursor);
        return;
    }
    Select(0);
    SetMode(MouseMode::Pan);
    panLast_ = pos.toPoint();
    view_.viewport()->setCursor(Qt::ClosedHandCursor);
}

void EditController::DragTo(QPointF pos) {
    if (mode_ == MouseMode::Pan) {
        const QPoint d = pos.toPoint() - panLast_;
        panLast_ = pos.toPoint();
        QScrollBar* h = view_.horizontalScrollBar();
        QScrollBar* v = view_.verticalScrollBar();
        h->setValue(h->value() - d.x());
        v->setValue(v->value() - d.y());
        return;
    }
    if (!Dragging()) return;
    drag_.now = pos;
    if (Dist(drag_.now, drag_.pressAt) > 2) drag_.moved = true;
    view_.viewport()->update();
}

void EditController::Release(QPointF pos) {
    if (mode_ == MouseMode::Pan) {
        SetMode(MouseMode::None);
        view_.viewport()->setCursor(Qt::OpenHandCursor);
        return;
    }
    if (!Dragging()) return;
    // The drag ends before the change: the engine's listeners run inside it and may change
    // the page again, which must not pull the drag from under its commit.
    const MouseMode mode = mode_;
    Drag drag = std::move(drag_);
    SetMode(MouseMode::None);
    drag.now = pos;
    if (drag.moved) Commit(mode, drag, pos);
    if (view_.Tool() == ViewerTool::Hand) view_.viewport()->setCursor(Qt::OpenHandCursor);
    view_.viewport()->update();
}

void EditController::CancelDrag() {
    if (Dragging()) SetMode(MouseMode::None);
}

void EditController::Commit(MouseMode mode, const Drag& e, QPointF pos) {
    if (engine_.GetReadOnly(e.id)) return;
    const QPointF delta = pos - e.pressAt;
    // Dragged away and back: nothing changed, no event.
    if (delta.manhattanLength() < 1) return;
    const QTransform toView = view_.PageToViewport(e.page);
    const QTransform toPage = toView.inverted();
    if (mode == MouseMode::Move) {
        const int target = view_.PageAtViewport(pos.toPoint());
        const engine::PointF ref{e.geometry.rect.x1, e.geometry.rect.y2};
        const QPointF refView = toView.map(QPointF(ref.x, ref.y)) + delta;
        if (target >= 0 && target != e.page) {
            const engine::PointF now = view_.ToPage(target, refView);
            engine_.UserMoveAnnotToPage(e.id, target, now.x - ref.x, now.y - ref.y);
        } else {
            const QPointF now = toPage.map(refView);
            engine_.UserMoveAnnot(e.id, now.x() - ref.x, now.y() - ref.y);
        }
        Select(e.id);
        return;
    }
    if (mode == MouseMode::Resize) {
        const engine::RectF& b = e.geometry.box;
        const QRectF r =
            Resized(toView.mapRect(QRectF(b.x1, b.y1, b.Width(), b.Height())), e.handle, delta);
        const QRectF pr = toPage.mapRect(r);
        if (pr.width() < 1 || pr.height() < 1) return;
        engine_.UserResizeAnnot(e.id, engine::RectF{pr.left(), pr.top(), pr.right(), pr.bottom()});
        return;
    }
    if (e.handle < 0 || e.handle >= static_cast<int>(e.geometry.points.size())) return;
    const auto& old = e.geometry.points[e.handle];
    const QPointF moved = toPage.map(toView.map(QPointF(old.x, old.y)) + delta);
    engine_.UserSetVertex(e.id, e.handle, {moved.x(), moved.y()});
}

void EditController::Hover(QPointF pos) {
    Qt::CursorShape shape = Qt::OpenHandCursor;
    if (HitHandle(pos) >= 0) {
        shape = Qt::SizeFDiagCursor;
    } else if (const AnnotId hit = HitAnnotAt(pos)) {
        shape = engine_.GetReadOnly(hit) ? Qt::ForbiddenCursor : Qt::SizeAllCursor;
    }
    view_.viewport()->setCursor(shape);
}

// ---------------------------------------------------------------- the widget's own gestures

void EditController::StartDraw(std::unique_ptr<DrawSession> session) {
    SetMode(MouseMode::Draw);
    session_ = std::move(session);
}

void EditController::AwaitWords() {
    if (session_) mode_ = MouseMode::AwaitWords;
}

std::unique_ptr<DrawSession> EditController::TakeSession() {
    std::unique_ptr<DrawSession> s = std::move(session_);
    if (s) SetMode(MouseMode::None);
    return s;
}

void EditController::EndDraw() {
    if (session_) SetMode(MouseMode::None);
}

void EditController::StartCalibration() { SetMode(MouseMode::Calibrate); }

void EditController::EndCalibration() {
    if (mode_ == MouseMode::Calibrate) SetMode(MouseMode::None);
}

// ---------------------------------------------------------------- painting

bool EditController::Hides(AnnotId id) const { return Dragging() && drag_.moved && drag_.id == id; }

void EditController::PaintOverlay(QPainter& p) const {
    if (selected_ && engine_.AnnotExists(selected_) && !(Dragging() && drag_.moved)) {
        const engine::AnnotGeometry g = engine_.GeometryOf(selected_);
        const QRectF r = view_.PageToViewport(g.page).mapRect(
            QRectF(g.rect.x1, g.rect.y1, g.rect.Width(), g.rect.Height()));
        const bool locked = engine_.GetReadOnly(selected_);
        p.setRenderHint(QPainter::Antialiasing, true);
        QPen pen(locked ? QColor(120, 120, 120) : QColor(0, 120, 215), 1, Qt::DashLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(-2, -2, 2, 2));
        if (!locked) {
            p.setPen(QPen(QColor(0, 90, 180), 1));
            p.setBrush(Qt::white);
            for (const QPointF& h : HandlesOf(selected_)) {
                p.drawRect(QRectF(h.x() - kHandleRadius, h.y() - kHandleRadius, 2 * kHandleRadius,
                                  2 * kHandleRadius));
            }
        }
    }
    PaintDragPreview(p);
}

void EditController::PaintDragPreview(QPainter& p) const {
    if (!Dragging() || !drag_.moved) return;
    const QPointF delta = drag_.now - drag_.pressAt;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QTransform toView = view_.PageToViewport(drag_.page);
    if (mode_ == MouseMode::Move) {
        p.setOpacity(0.75);
        PaintDrawing(p, drag_.drawing, toView * QTransform::fromTranslate(delta.x(), delta.y()));
    } else {
        PaintDrawing(p, drag_.drawing, toView);
        p.setPen(QPen(QColor(0, 120, 215), 1.5, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        const engine::AnnotGeometry& g = drag_.geometry;
        if (mode_ == MouseMode::Resize) {
            const QRectF r =
                toView.mapRect(QRectF(g.box.x1, g.box.y1, g.box.Width(), g.box.Height()));
            p.drawRect(Resized(r, drag_.handle, delta));
        } else {
            QPolygonF poly;
            for (size_t i = 0; i < g.points.size(); ++i) {
                QPointF v = toView.map(QPointF(g.points[i].x, g.points[i].y));
                if (static_cast<int>(i) == drag_.handle) v += delta;
                poly << v;
            }
            p.drawPolyline(poly);
        }
    }
    p.restore();
}

}  // namespace quill::widget
