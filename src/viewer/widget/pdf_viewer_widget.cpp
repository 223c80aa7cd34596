#include "viewer/widget/pdf_viewer_widget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "viewer/widget/annot_painter.h"
#include "viewer/widget/annot_properties_dialog.h"
#include "viewer/widget/callout_text_entry.h"
#include "viewer/widget/comment_note_dialog.h"
#include "viewer/widget/draft_media.h"
#include "viewer/widget/find_window.h"
#include "viewer/widget/measure_text.h"
#include "viewer/widget/page_words.h"
#include "viewer/widget/tile_cache.h"
#include "viewer/widget/widget_control.h"

namespace viewer::widget {
namespace {

constexpr double kZoomStep = 1.25;
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

}  // namespace

// A drag of the selected comment: its body (move), a box handle (resize) or a vertex.
struct PdfViewerWidget::EditDrag {
    enum Kind { Move, Resize, Vertex } kind = Move;
    AnnotId id = 0;
    int page = -1;
    int handle = -1;  // box handle 0-7 or vertex index
    QPointF pressAt;  // viewport
    QPointF now;      // viewport
    bool moved = false;
    engine::AnnotGeometry geometry;
    engine::AnnotDrawing drawing;
};

PdfViewerWidget::PdfViewerWidget(QWidget* parent)
    : QAbstractScrollArea(parent),
      engine_(std::make_unique<engine::EngineControl>()),
      dialogs_(ViewerDialogs::Interactive()) {
    engine_->SetViewHost(this);
    control_ = std::make_unique<WidgetControl>(*engine_, [this] {
        fitMode_ = engine_->FitMode();
        ApplyFit();
    });
    tiles_ = std::make_unique<TileCache>(layout_);
    connect(tiles_.get(), &TileCache::TileStored, this, &PdfViewerWidget::OnTileStored);
    callout_ = std::make_unique<CalloutTextEntry>(*this);
    words_ = new PageWords(this);
    connect(words_, &PageWords::Ready, this, &PdfViewerWidget::OnWordsReady);
    scheduleTimer_.setSingleShot(true);
    scheduleTimer_.setInterval(0);
    connect(&scheduleTimer_, &QTimer::timeout, this, &PdfViewerWidget::RequestTiles);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    drawStyle_.color = 0x0000FF;
    drawStyle_.width = 1;
    drawStyle_.borderStyle = 1;
}

PdfViewerWidget::~PdfViewerWidget() {
    // The engine must not call back into a half-destroyed widget.
    engine_->SetViewHost(nullptr);
    if (finder_) delete finder_.data();
}

// ---------------------------------------------------------------- view state

PdfViewerControl& PdfViewerWidget::Control() { return *control_; }

void PdfViewerWidget::DocumentChanged() {
    callout_->Cancel();
    session_.reset();
    edit_.reset();
    selected_ = 0;
    drawings_.clear();
    pageTexts_.clear();
    settled_ = false;
    findHits_.clear();
    findCurrent_ = -1;
    awaitingWords_ = false;
    std::vector<engine::PageGeometry> pages;
    for (int i = 0; i < engine_->PageCount(); ++i) pages.push_back(engine_->PageGeometryOf(i));
    words_->SetDocument(engine_->IsOpen() ? QString::fromStdString(engine_->FilePath()) : QString(),
                        pages);
    layout_.SetPages(std::move(pages));
    rotation_ = engine_->Rotation();
    tiles_->SetDocument(engine_->IsOpen() ? QString::fromStdString(engine_->FilePath())
                                          : QString());
    fitMode_ = engine_->FitMode();
    lastFitSet_ = fitMode_;
    ApplyFit();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    lastCurrentPage_ = -1;
    UpdateCurrentPage();
    ScheduleTiles();
    viewport()->update();
}

void PdfViewerWidget::ViewStateChanged() {
    const int rotation = engine_->Rotation();
    const std::string toolName = engine_->CurrentTool();
    const int fit = engine_->FitMode();
    if (rotation != rotation_) ApplyRotation(rotation);
    if (toolName != lastToolName_) {
        lastToolName_ = toolName;
        ApplyTool();
    }
    // A fit mode set again to the same value reaches us through WidgetControl.
    if (fit != lastFitSet_) {
        lastFitSet_ = fit;
        fitMode_ = fit;
        ApplyFit();
    }
}

void PdfViewerWidget::ApplyTool() {
    const auto tool = ViewerToolFromName(lastToolName_);
    tool_ = tool.value_or(ViewerTool::Hand);
    session_.reset();
    awaitingWords_ = false;
    callout_->Cancel();
    calibrating_ = false;
    switch (tool_) {
        case ViewerTool::Hand:
            viewport()->setCursor(Qt::OpenHandCursor);
            break;
        case ViewerTool::ZoomIn:
        case ViewerTool::ZoomOut:
            viewport()->setCursor(Qt::PointingHandCursor);
            break;
        case ViewerTool::Highlight:
        case ViewerTool::Strikeout:
            viewport()->setCursor(Qt::IBeamCursor);
            PrefetchWords();
            break;
        case ViewerTool::FindText:
            viewport()->setCursor(Qt::ArrowCursor);
            Finder()->show();
            Finder()->raise();
            break;
        default:
            viewport()->setCursor(Qt::CrossCursor);
            break;
    }
    emit ToolChanged(QString::fromStdString(lastToolName_));
    viewport()->update();
}

void PdfViewerWidget::ApplyFit() {
    if (layout_.PageCount() == 0) {
        UpdateScrollBars();
        return;
    }
    const int page = std::max(0, engine_->CurrentPage());
    const QSizeF pt = layout_.ShownSizePt(std::min(page, layout_.PageCount() - 1));
    const QSize vp = viewport()->size();
    const double availW = std::max(50, vp.width() - 2 * PageLayout::kGap - 1);
    const double availH = std::max(50, vp.height() - 2 * PageLayout::kGap - 1);
    double zoom = layout_.Zoom();
    switch (fitMode_) {
        case kFitPage:
            zoom = std::min(availW / pt.width(), availH / pt.height());
            break;
        case kFitWidth:
            // Leave room for the vertical scroll bar that a fitted width brings.
            zoom = (availW - verticalScrollBar()->sizeHint().width()) / pt.width();
            break;
        case kFitActualSize:
            zoom = logicalDpiX() / 72.0;
            break;
        default:
            return;
    }
    const int keepFit = fitMode_;
    SetZoom(zoom);
    fitMode_ = keepFit;
    if (engine_->CurrentPage() >= 0 && keepFit == kFitPage) {
        // Show the current page whole.
        verticalScrollBar()->setValue(layout_.PageRect(page).top() - PageLayout::kGap);
    }
}

void PdfViewerWidget::ApplyRotation(int rotation) {
    const QPointF center(viewport()->width() / 2.0, viewport()->height() / 2.0);
    const int page = PageAtViewport(center.toPoint());
    engine::PointF keep{};
    if (page >= 0) keep = ToPage(page, center);
    rotation_ = rotation;
    layout_.SetView(layout_.Zoom(), rotation_);
    UpdateScrollBars();
    if (page >= 0) {
        const QPointF col = layout_.ToColumn(page, keep);
        horizontalScrollBar()->setValue(static_cast<int>(col.x() - center.x()));
        verticalScrollBar()->setValue(static_cast<int>(col.y() - center.y()));
    }
    if (fitMode_ >= 0) ApplyFit();
    ScheduleTiles();
    viewport()->update();
}

void PdfViewerWidget::SetZoom(double zoom, std::optional<QPoint> anchor) {
    zoom = std::clamp(zoom, PageLayout::kMinZoom, PageLayout::kMaxZoom);
    fitMode_ = -1;
    const QPoint a = anchor.value_or(QPoint(viewport()->width() / 2, viewport()->height() / 2));
    const QPoint colBefore = ColumnOrigin() + a;
    int page = layout_.PageAtY(colBefore.y());
    engine::PointF keep{};
    if (page >= 0) keep = layout_.ToPage(page, colBefore);
    layout_.SetView(zoom, rotation_);
    UpdateScrollBars();
    if (page >= 0) {
        const QPointF col = layout_.ToColumn(page, keep);
        const QSize colSize = layout_.ColumnSize();
        const int offX = std::max(0, (viewport()->width() - colSize.width()) / 2);
        horizontalScrollBar()->setValue(static_cast<int>(std::lround(col.x() - a.x() + offX)));
        verticalScrollBar()->setValue(static_cast<int>(std::lround(col.y() - a.y())));
    }
    emit ZoomChanged(layout_.Zoom());
    UpdateCurrentPage();
    ScheduleTiles();
    viewport()->update();
}

void PdfViewerWidget::ZoomIn(std::optional<QPoint> anchor) { SetZoom(Zoom() * kZoomStep, anchor); }

void PdfViewerWidget::ZoomOut(std::optional<QPoint> anchor) { SetZoom(Zoom() / kZoomStep, anchor); }

void PdfViewerWidget::UpdateScrollBars() {
    const QSize col = layout_.ColumnSize();
    const QSize vp = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, col.width() - vp.width()));
    verticalScrollBar()->setRange(0, std::max(0, col.height() - vp.height()));
    horizontalScrollBar()->setPageStep(vp.width());
    verticalScrollBar()->setPageStep(vp.height());
}

QPoint PdfViewerWidget::ColumnOrigin() const {
    const QSize col = layout_.ColumnSize();
    const int offX = std::max(0, (viewport()->width() - col.width()) / 2);
    return QPoint(horizontalScrollBar()->value() - offX, verticalScrollBar()->value());
}

QTransform PdfViewerWidget::PageToViewport(int page) const {
    const QPoint o = ColumnOrigin();
    return layout_.PageToColumn(page) * QTransform::fromTranslate(-o.x(), -o.y());
}

QPointF PdfViewerWidget::ToViewport(int page, engine::PointF p) const {
    return PageToViewport(page).map(QPointF(p.x, p.y));
}

engine::PointF PdfViewerWidget::ToPage(int page, QPointF viewportPoint) const {
    return layout_.ToPage(page, viewportPoint + ColumnOrigin());
}

QRect PdfViewerWidget::ViewInColumn() const { return QRect(ColumnOrigin(), viewport()->size()); }

int PdfViewerWidget::PageAtViewport(QPoint p) const { return layout_.PageAt(p + ColumnOrigin()); }

void PdfViewerWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (fitMode_ >= 0) {
        ApplyFit();
    } else {
        UpdateScrollBars();
    }
    ScheduleTiles();
}

void PdfViewerWidget::scrollContentsBy(int, int) {
    UpdateCurrentPage();
    ScheduleTiles();
    callout_->FollowView();
    viewport()->update();
}

void PdfViewerWidget::UpdateCurrentPage() {
    if (layout_.PageCount() == 0) return;
    const QRect view = ViewInColumn();
    int best = -1;
    long long bestArea = -1;
    const int first = layout_.PageAtY(view.top());
    const int last = layout_.PageAtY(view.bottom());
    for (int i = std::max(0, first); i <= last && i < layout_.PageCount(); ++i) {
        const QRect r = layout_.PageRect(i).intersected(view);
        const long long area = r.isEmpty() ? 0 : 1LL * r.width() * r.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    if (best < 0) return;
    engine_->NoteCurrentPage(best);
    if (best != lastCurrentPage_) {
        lastCurrentPage_ = best;
        PrefetchWords();
        emit CurrentPageChanged(best);
    }
}

void PdfViewerWidget::GoToPagePosition(int32_t page, double x, double y) {
    if (page < 0 || page >= layout_.PageCount()) return;
    const QPointF col = layout_.ToColumn(page, {x, y});
    horizontalScrollBar()->setValue(static_cast<int>(col.x() - viewport()->width() / 2.0));
    verticalScrollBar()->setValue(static_cast<int>(col.y() - viewport()->height() / 2.0));
    engine_->NoteCurrentPage(page);
    lastCurrentPage_ = page;
    emit CurrentPageChanged(page);
    ScheduleTiles();
    viewport()->update();
}

void PdfViewerWidget::SelectAnnot(int32_t page, int32_t index) {
    const AnnotId id = engine_->PageAnnotAt(page, index);
    if (!id) return;
    Select(id);
    const engine::RectF r = engine_->GeometryOf(id).rect;
    const QRectF vr = PageToViewport(page).mapRect(QRectF(r.x1, r.y1, r.Width(), r.Height()));
    if (!viewport()->rect().contains(vr.toRect())) {
        GoToPagePosition(page, (r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
    }
}

void PdfViewerWidget::PageChanged(int32_t page) {
    drawings_.erase(page);
    pageTexts_.erase(page);
    if (selected_ && !engine_->AnnotExists(selected_)) selected_ = 0;
    if (edit_ && !engine_->AnnotExists(edit_->id)) edit_.reset();
    viewport()->update();
}

// ---------------------------------------------------------------- tiles

void PdfViewerWidget::ScheduleTiles() {
    if (!scheduleTimer_.isActive()) scheduleTimer_.start();
}

void PdfViewerWidget::RequestTiles() {
    if (layout_.PageCount() == 0) return;
    tiles_->Request(ViewInColumn(), rotation_);
    CheckSettled();
}

void PdfViewerWidget::OnTileStored(const TileKey& key) {
    if (key.rotation == rotation_ && key.page < layout_.PageCount()) {
        const QRect pr = layout_.PageRect(key.page).translated(-ColumnOrigin());
        viewport()->update(pr.intersected(viewport()->rect()));
    }
    CheckSettled();
}

bool PdfViewerWidget::VisibleTilesReady() const { return tiles_->Ready(ViewInColumn(), rotation_); }

void PdfViewerWidget::CheckSettled() {
    const bool ready = VisibleTilesReady();
    if (ready && !settled_) {
        settled_ = true;
        ScheduleTiles();  // now the tiles above and below the view
        emit RenderSettled();
    } else if (!ready) {
        settled_ = false;
    }
}

// ---------------------------------------------------------------- painting

void PdfViewerWidget::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), QColor(171, 171, 169));
    tiles_->BeginPaint();
    if (layout_.PageCount() == 0) return;
    const QPoint o = ColumnOrigin();
    const QRect view(o, viewport()->size());
    const int first = layout_.PageAtY(view.top());
    const int last = layout_.PageAtY(view.bottom());
    for (int page = std::max(0, first); page <= last; ++page) {
        const QRect pr = layout_.PageRect(page).translated(-o);
        if (!pr.intersects(event->rect())) continue;
        p.fillRect(pr.translated(3, 3), QColor(0, 0, 0, 60));
        p.fillRect(pr, Qt::white);
        PaintPage(p, page, pr);
    }
    // Found text.
    for (size_t i = 0; i < findHits_.size(); ++i) {
        const FindHit& h = findHits_[i];
        if (h.page < first || h.page > last) continue;
        const QRectF r = PageToViewport(h.page).mapRect(
            QRectF(h.rect.x1, h.rect.y1, h.rect.Width(), h.rect.Height()));
        const bool current = static_cast<int>(i) == findCurrent_;
        p.fillRect(r.adjusted(-1, -1, 1, 1),
                   current ? QColor(255, 120, 0, 110) : QColor(255, 230, 0, 90));
        if (current) {
            p.setPen(QPen(QColor(230, 90, 0), 1.5));
            p.drawRect(r.adjusted(-1, -1, 1, 1));
        }
    }
    // Selection and handles.
    if (selected_ && engine_->AnnotExists(selected_) && !(edit_ && edit_->moved)) {
        const engine::AnnotGeometry g = engine_->GeometryOf(selected_);
        const QRectF r = PageToViewport(g.page).mapRect(
            QRectF(g.rect.x1, g.rect.y1, g.rect.Width(), g.rect.Height()));
        const bool locked = engine_->GetReadOnly(selected_);
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
    PaintEditPreview(p);
    if (session_) session_->PaintPreview(p, PageToViewport(session_->Page()));
    if (calibrating_ && calibPage_ >= 0) {
        p.setPen(QPen(Qt::magenta, 2));
        for (const auto& pt : calibPoints_) {
            const QPointF v = ToViewport(calibPage_, pt);
            p.drawLine(v + QPointF(-6, 0), v + QPointF(6, 0));
            p.drawLine(v + QPointF(0, -6), v + QPointF(0, 6));
        }
    }
    // What the gesture in progress expects next.
    QString hint;
    if (calibrating_) {
        hint = calibPoints_.empty()
                   ? tr("Calibrate: click the first of two points of known distance")
                   : tr("Calibrate: click the second point");
    } else if (session_ && session_->IsVertexTool() && !session_->Dragging()) {
        hint = tr("Click to add points; double-click or Enter to finish, Esc to cancel");
    }
    if (!hint.isEmpty()) {
        QFont f = font();
        f.setPointSizeF(9.5);
        p.setFont(f);
        const QRect text = p.fontMetrics().boundingRect(hint).adjusted(-10, -5, 10, 5);
        const QRect box(QPoint((viewport()->width() - text.width()) / 2, 8), text.size());
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40, 200));
        p.drawRoundedRect(box, 6, 6);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, hint);
    }
}

void PdfViewerWidget::PaintPage(QPainter& p, int page, const QRect& pr) {
    p.save();
    p.setClipRect(pr);
    tiles_->PaintPage(p, page, pr, viewport()->rect(), rotation_);
    // Page texts, then the comments, drawn from the model.
    const QTransform toView = PageToViewport(page);
    auto texts = pageTexts_.find(page);
    if (texts == pageTexts_.end()) {
        texts = pageTexts_.emplace(page, engine_->PageTextDrawings(page)).first;
    }
    for (const auto& d : texts->second) PaintDrawing(p, d, toView);
    const bool turned = layout_.QuarterTurns(page) != 0;
    for (const PageDrawing& d : DrawingsOf(page)) {
        if (!engine_->GetShown(d.id)) continue;
        if (edit_ && edit_->moved && edit_->id == d.id) continue;  // drawn where it is dragged
        PaintDrawing(p, d.drawing,
                     d.upright && turned ? UprightToViewport(page, d.drawing.bbox) : toView);
    }
    p.restore();
}

QTransform PdfViewerWidget::UprightToViewport(int page, const engine::RectF& box) const {
    const QRectF shown =
        PageToViewport(page).mapRect(QRectF(box.x1, box.y1, box.Width(), box.Height()));
    const double z = layout_.Zoom();
    return QTransform(z, 0, 0, -z, shown.left() - box.x1 * z, shown.top() + box.y2 * z);
}

const std::vector<PdfViewerWidget::PageDrawing>& PdfViewerWidget::DrawingsOf(int page) {
    auto it = drawings_.find(page);
    if (it == drawings_.end()) {
        std::vector<PageDrawing> list;
        for (AnnotId id : engine_->AnnotsOnPage(page)) {
            const auto tool = engine_->GeometryOf(id).tool;
            const bool icon = tool == AnnotTool::Note || tool == AnnotTool::FileAttachment;
            list.push_back({id, engine_->DrawingOf(id), icon});
        }
        it = drawings_.emplace(page, std::move(list)).first;
    }
    return it->second;
}

void PdfViewerWidget::PaintEditPreview(QPainter& p) {
    if (!edit_ || !edit_->moved) return;
    const QPointF delta = edit_->now - edit_->pressAt;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QTransform toView = PageToViewport(edit_->page);
    if (edit_->kind == EditDrag::Move) {
        p.setOpacity(0.75);
        PaintDrawing(p, edit_->drawing, toView * QTransform::fromTranslate(delta.x(), delta.y()));
    } else {
        PaintDrawing(p, edit_->drawing, toView);
        p.setPen(QPen(QColor(0, 120, 215), 1.5, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        const engine::AnnotGeometry& g = edit_->geometry;
        if (edit_->kind == EditDrag::Resize) {
            QRectF r = toView.mapRect(QRectF(g.box.x1, g.box.y1, g.box.Width(), g.box.Height()));
            const int h = edit_->handle;
            // Handles: 0 TL 1 T 2 TR 3 R 4 BR 5 B 6 BL 7 L (as shown).
            if (h == 0 || h == 6 || h == 7) r.setLeft(r.left() + delta.x());
            if (h == 2 || h == 3 || h == 4) r.setRight(r.right() + delta.x());
            if (h == 0 || h == 1 || h == 2) r.setTop(r.top() + delta.y());
            if (h == 4 || h == 5 || h == 6) r.setBottom(r.bottom() + delta.y());
            p.drawRect(r.normalized());
        } else {
            QPolygonF poly;
            for (size_t i = 0; i < g.points.size(); ++i) {
                QPointF v = toView.map(QPointF(g.points[i].x, g.points[i].y));
                if (static_cast<int>(i) == edit_->handle) v += delta;
                poly << v;
            }
            p.drawPolyline(poly);
        }
    }
    p.restore();
}

// ---------------------------------------------------------------- hit tests and handles

double PdfViewerWidget::Tolerance(int) const { return 4.0 / std::max(0.01, layout_.Zoom()); }

AnnotId PdfViewerWidget::HitAnnot(int page, engine::PointF p, double tol) const {
    const std::vector<AnnotId> ids = engine_->AnnotsOnPage(page);
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        if (!engine_->GetShown(*it)) continue;
        const engine::AnnotGeometry g = engine_->GeometryOf(*it);
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

bool PdfViewerWidget::HasBoxHandles(AnnotId id) const {
    const engine::AnnotGeometry g = engine_->GeometryOf(id);
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

std::vector<QPointF> PdfViewerWidget::HandlesOf(AnnotId id) const {
    std::vector<QPointF> out;
    const engine::AnnotGeometry g = engine_->GeometryOf(id);
    if (!g.tool || g.page < 0) return out;
    const QTransform t = PageToViewport(g.page);
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

int PdfViewerWidget::HitHandle(QPointF v) const {
    if (!selected_ || engine_->GetReadOnly(selected_)) return -1;
    const std::vector<QPointF> hs = HandlesOf(selected_);
    for (size_t i = 0; i < hs.size(); ++i) {
        if (Dist(hs[i], v) <= kHandleRadius + 2) return static_cast<int>(i);
    }
    return -1;
}

void PdfViewerWidget::Select(AnnotId id) {
    if (id && !engine_->AnnotExists(id)) id = 0;
    if (id == selected_) return;
    selected_ = id;
    emit SelectionChanged(id);
    viewport()->update();
}

// ---------------------------------------------------------------- mouse

void PdfViewerWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPointF pos = event->position();
    const int page = PageAtViewport(pos.toPoint());
    callout_->Commit();
    if (awaitingWords_) {  // a new gesture drops the text mark still waiting for its words
        awaitingWords_ = false;
        session_.reset();
    }
    if (event->button() == Qt::RightButton) return;  // the context menu
    if (event->button() != Qt::LeftButton) return;

    if (calibrating_) {
        if (page < 0) return;
        if (calibPage_ != page) calibPoints_.clear();
        calibPage_ = page;
        calibPoints_.push_back(ToPage(page, pos));
        viewport()->update();
        if (calibPoints_.size() == 2) {
            calibrating_ = false;
            const double pts = std::hypot(calibPoints_[1].x - calibPoints_[0].x,
                                          calibPoints_[1].y - calibPoints_[0].y);
            std::optional<KnownDistance> known;
            if (dialogs_.knownDistance) {
                known = dialogs_.knownDistance(this, pts * scale_.unitsPerPoint,
                                               QString::fromStdString(scale_.unit));
            }
            if (known) {
                if (auto s = CalibratedScale(calibPoints_[0], calibPoints_[1], known->distance,
                                             known->unit.toStdString())) {
                    SetScale(*s);
                }
            }
            calibPoints_.clear();
            calibPage_ = -1;
            viewport()->update();
        }
        return;
    }

    switch (tool_) {
        case ViewerTool::Hand: {
            const int handle = HitHandle(pos);
            if (handle >= 0) {
                edit_ = std::make_unique<EditDrag>();
                edit_->id = selected_;
                edit_->geometry = engine_->GeometryOf(selected_);
                edit_->page = edit_->geometry.page;
                edit_->drawing = engine_->DrawingOf(selected_);
                const bool box = HasBoxHandles(selected_);
                if (box && handle < 8) {
                    edit_->kind = EditDrag::Resize;
                    edit_->handle = handle;
                } else {
                    edit_->kind = EditDrag::Vertex;
                    edit_->handle = box ? handle - 8 : handle;
                }
                edit_->pressAt = edit_->now = pos;
                return;
            }
            const AnnotId hit = page >= 0 ? HitAnnot(page, ToPage(page, pos), Tolerance(page)) : 0;
            if (hit) {
                Select(hit);
                if (engine_->GetReadOnly(hit)) {
                    viewport()->setCursor(Qt::ForbiddenCursor);
                    return;
                }
                edit_ = std::make_unique<EditDrag>();
                edit_->kind = EditDrag::Move;
                edit_->id = hit;
                edit_->geometry = engine_->GeometryOf(hit);
                edit_->page = edit_->geometry.page;
                edit_->drawing = engine_->DrawingOf(hit);
                edit_->pressAt = edit_->now = pos;
                viewport()->setCursor(Qt::SizeAllCursor);
                return;
            }
            Select(0);
            panning_ = true;
            panLast_ = event->position().toPoint();
            viewport()->setCursor(Qt::ClosedHandCursor);
            return;
        }
        case ViewerTool::ZoomIn:
            ZoomIn(pos.toPoint());
            return;
        case ViewerTool::ZoomOut:
            ZoomOut(pos.toPoint());
            return;
        case ViewerTool::FindText:
            return;
        default:
            break;
    }
    if (page < 0) return;
    const engine::PointF pp = ToPage(page, pos);
    if (session_ && session_->Page() != page) session_.reset();
    if (!session_) BeginDraw(page, pp);
    if (!session_) return;
    session_->Press(DrawPoint(pos), Tolerance(page));
    UpdateTextSelection();
    viewport()->update();
}

engine::PointF PdfViewerWidget::DrawPoint(QPointF viewportPoint) const {
    // A comment stays on its page: points dragged past the edge stop at it.
    const int page = session_->Page();
    const engine::PointF p = ToPage(page, viewportPoint);
    const engine::RectF c = engine_->PageGeometryOf(page).cropBox.Normalized();
    return {std::clamp(p.x, c.x1, c.x2), std::clamp(p.y, c.y1, c.y2)};
}

void PdfViewerWidget::BeginDraw(int page, engine::PointF) {
    const auto annotTool = AnnotToolOf(tool_);
    if (!annotTool) return;
    engine::AnnotStyle style = drawStyle_;
    if (*annotTool == AnnotTool::Cloudy && style.borderStyle < 8) style.borderStyle = 9;
    session_ = std::make_unique<DrawSession>(*annotTool, page, style);
    session_->SetScale(scale_);
}

void PdfViewerWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    const bool down = event->buttons() & Qt::LeftButton;
    if (panning_) {
        const QPoint d = pos.toPoint() - panLast_;
        panLast_ = pos.toPoint();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - d.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - d.y());
        return;
    }
    if (edit_) {
        edit_->now = pos;
        if (Dist(edit_->now, edit_->pressAt) > 2) edit_->moved = true;
        viewport()->update();
        return;
    }
    if (session_) {
        session_->Move(DrawPoint(pos), down);
        UpdateTextSelection();
        viewport()->update();
        return;
    }
    if (tool_ == ViewerTool::Hand && !down) {
        const int page = PageAtViewport(pos.toPoint());
        Qt::CursorShape shape = Qt::OpenHandCursor;
        if (HitHandle(pos) >= 0) {
            shape = Qt::SizeFDiagCursor;
        } else if (page >= 0) {
            const AnnotId hit = HitAnnot(page, ToPage(page, pos), Tolerance(page));
            if (hit) shape = engine_->GetReadOnly(hit) ? Qt::ForbiddenCursor : Qt::SizeAllCursor;
        }
        viewport()->setCursor(shape);
    }
}

void PdfViewerWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPointF pos = event->position();
    if (panning_) {
        panning_ = false;
        viewport()->setCursor(Qt::OpenHandCursor);
        return;
    }
    if (edit_) {
        edit_->now = pos;
        if (edit_->moved) CommitEditDrag(pos);
        edit_.reset();
        if (tool_ == ViewerTool::Hand) viewport()->setCursor(Qt::OpenHandCursor);
        viewport()->update();
        return;
    }
    if (!session_) return;
    const AnnotTool t = session_->Tool();
    if ((t == AnnotTool::Highlight || t == AnnotTool::StrikeOut) &&
        !words_->Words(session_->Page())) {
        // Finished when the page's words are read.
        session_->Move(DrawPoint(pos), true);
        awaitingWords_ = true;
        return;
    }
    const DrawSession::Step step = session_->Release(DrawPoint(pos), Tolerance(session_->Page()));
    if (step == DrawSession::Step::Finish) {
        FinishDraw();
    } else if (step == DrawSession::Step::Cancel) {
        session_.reset();
    }
    viewport()->update();
}

void PdfViewerWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    if (session_) {
        // The double click's press came first and added a vertex; finish the shape.
        session_->Press(DrawPoint(pos), Tolerance(session_->Page()));
        const DrawSession::Step step =
            session_->DoubleClick(DrawPoint(pos), Tolerance(session_->Page()));
        if (step == DrawSession::Step::Finish) {
            FinishDraw();
        } else if (step == DrawSession::Step::Cancel) {
            session_.reset();
        }
        viewport()->update();
        return;
    }
    if (tool_ != ViewerTool::Hand) return;
    const int page = PageAtViewport(pos.toPoint());
    if (page < 0) return;
    const AnnotId hit = HitAnnot(page, ToPage(page, pos), Tolerance(page));
    if (hit) {
        edit_.reset();
        Select(hit);
        OpenNote(hit);
    }
}

void PdfViewerWidget::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps > 0) {
            ZoomIn(event->position().toPoint());
        } else if (steps < 0) {
            ZoomOut(event->position().toPoint());
        }
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PdfViewerWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Delete:
            DeleteSelected();
            return;
        case Qt::Key_Escape:
            if (callout_->Editor()) {
                callout_->Cancel();
            } else if (session_) {
                session_.reset();
            } else if (calibrating_) {
                calibrating_ = false;
                calibPoints_.clear();
            } else {
                Select(0);
            }
            viewport()->update();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (session_ && session_->FinishVertices() == DrawSession::Step::Finish) {
                FinishDraw();
                viewport()->update();
                return;
            }
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            if (event->modifiers() & Qt::ControlModifier) {
                ZoomIn();
                return;
            }
            break;
        case Qt::Key_Minus:
            if (event->modifiers() & Qt::ControlModifier) {
                ZoomOut();
                return;
            }
            break;
        default:
            break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void PdfViewerWidget::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint pos = event->pos();
    const int page = PageAtViewport(pos);
    AnnotId hit = 0;
    if (page >= 0) hit = HitAnnot(page, ToPage(page, pos), Tolerance(page));
    QMenu menu(this);
    if (hit) {
        Select(hit);
        const bool locked = engine_->GetReadOnly(hit);
        menu.addAction(tr("Open Note..."), this, [this, hit] { OpenNote(hit); });
        QAction* props =
            menu.addAction(tr("Properties..."), this, [this, hit] { OpenProperties(hit); });
        props->setEnabled(!locked);
        QAction* del = menu.addAction(tr("Delete"), this, [this] { DeleteSelected(); });
        del->setEnabled(!locked);
        menu.addSeparator();
    }
    menu.addAction(tr("Calibrate Scale..."), this, [this] { StartCalibration(); });
    menu.addAction(tr("Zoom In"), this, [this] { ZoomIn(); });
    menu.addAction(tr("Zoom Out"), this, [this] { ZoomOut(); });
    menu.exec(event->globalPos());
}

// ---------------------------------------------------------------- drawing comments

void PdfViewerWidget::UpdateTextSelection() {
    if (!session_) return;
    const AnnotTool t = session_->Tool();
    if (t != AnnotTool::Highlight && t != AnnotTool::StrikeOut) return;
    const int page = session_->Page();
    const std::vector<engine::Quad>* words = words_->Words(page);
    if (!words) {  // still being read; OnWordsReady comes back here
        session_->SetTextQuads({});
        return;
    }
    const std::vector<engine::Quad>& pageWords = *words;
    session_->SetTextQuads(DrawSession::SelectWords(pageWords, session_->DragStart(),
                                                    session_->Current(),
                                                    20 / std::max(0.01, layout_.Zoom())));
}

void PdfViewerWidget::PrefetchWords() {
    if (tool_ != ViewerTool::Highlight && tool_ != ViewerTool::Strikeout) return;
    const int page = engine_->CurrentPage();
    for (int p : {page, page + 1, page - 1}) {
        if (p >= 0 && p < layout_.PageCount()) words_->Prefetch(p);
    }
}

void PdfViewerWidget::OnWordsReady(int page) {
    if (!session_ || session_->Page() != page) return;
    UpdateTextSelection();
    if (awaitingWords_) {
        awaitingWords_ = false;
        const engine::PointF at = session_->Current();
        if (session_->Release(at, Tolerance(page)) == DrawSession::Step::Finish) {
            FinishDraw();
        } else {
            session_.reset();
        }
    }
    viewport()->update();
}

void PdfViewerWidget::FinishDraw() {
    if (!session_) return;
    std::unique_ptr<DrawSession> s = std::move(session_);
    if (s->Tool() == AnnotTool::Callout) {
        callout_->Start(*s);
        return;
    }
    CreateFromSession(*s);
}

void PdfViewerWidget::CreateFromSession(const DrawSession& s) {
    std::optional<engine::AnnotDraft> draft = s.Draft();
    if (!draft) return;
    if (!DraftMedia::Load(*draft, dialogs_, this)) return;
    const AnnotId id = engine_->UserCreateAnnot(*draft);
    if (!id) return;
    Select(id);
    if (draft->tool == AnnotTool::Note) OpenNote(id);
}

QPlainTextEdit* PdfViewerWidget::CalloutEditor() const { return callout_->Editor(); }

// ---------------------------------------------------------------- editing

void PdfViewerWidget::CommitEditDrag(QPointF pos) {
    EditDrag& e = *edit_;
    if (engine_->GetReadOnly(e.id)) return;
    const QPointF delta = pos - e.pressAt;
    // Dragged away and back: nothing changed, no event.
    if (delta.manhattanLength() < 1) return;
    const QTransform toView = PageToViewport(e.page);
    const QTransform toPage = toView.inverted();
    if (e.kind == EditDrag::Move) {
        const int target = PageAtViewport(pos.toPoint());
        const engine::PointF ref{e.geometry.rect.x1, e.geometry.rect.y2};
        const QPointF refView = toView.map(QPointF(ref.x, ref.y)) + delta;
        if (target >= 0 && target != e.page) {
            const engine::PointF now = ToPage(target, refView);
            engine_->UserMoveAnnotToPage(e.id, target, now.x - ref.x, now.y - ref.y);
        } else {
            const QPointF now = toPage.map(refView);
            engine_->UserMoveAnnot(e.id, now.x() - ref.x, now.y() - ref.y);
        }
        Select(e.id);
        return;
    }
    if (e.kind == EditDrag::Resize) {
        QRectF r = toView.mapRect(QRectF(e.geometry.box.x1, e.geometry.box.y1,
                                         e.geometry.box.Width(), e.geometry.box.Height()));
        const int h = e.handle;
        if (h == 0 || h == 6 || h == 7) r.setLeft(r.left() + delta.x());
        if (h == 2 || h == 3 || h == 4) r.setRight(r.right() + delta.x());
        if (h == 0 || h == 1 || h == 2) r.setTop(r.top() + delta.y());
        if (h == 4 || h == 5 || h == 6) r.setBottom(r.bottom() + delta.y());
        const QRectF pr = toPage.mapRect(r.normalized());
        if (pr.width() < 1 || pr.height() < 1) return;
        engine_->UserResizeAnnot(e.id, engine::RectF{pr.left(), pr.top(), pr.right(), pr.bottom()});
        return;
    }
    if (e.handle < 0 || e.handle >= static_cast<int>(e.geometry.points.size())) return;
    const auto& old = e.geometry.points[e.handle];
    const QPointF moved = toPage.map(toView.map(QPointF(old.x, old.y)) + delta);
    engine_->UserSetVertex(e.id, e.handle, {moved.x(), moved.y()});
}

void PdfViewerWidget::DeleteSelected() {
    if (!selected_ || !engine_->AnnotExists(selected_)) return;
    if (engine_->GetReadOnly(selected_)) return;
    const AnnotId id = selected_;
    selected_ = 0;
    if (!engine_->UserDeleteAnnot(id)) selected_ = id;
    emit SelectionChanged(selected_);
    viewport()->update();
}

CommentNoteDialog* PdfViewerWidget::OpenNote(AnnotId id) {
    if (!engine_->AnnotExists(id)) return nullptr;
    auto* dlg = new CommentNoteDialog(*engine_, engine_->TopLevelOf(id), this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->show();
    dlg->raise();
    return dlg;
}

AnnotPropertiesDialog* PdfViewerWidget::OpenProperties(AnnotId id) {
    if (!engine_->AnnotExists(id)) return nullptr;
    auto* dlg = new AnnotPropertiesDialog(*engine_, id, this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->show();
    dlg->raise();
    return dlg;
}

void PdfViewerWidget::SetScale(const engine::MeasureScale& scale) {
    scale_ = scale;
    if (session_) session_->SetScale(scale_);
    viewport()->update();
}

void PdfViewerWidget::StartCalibration() {
    session_.reset();
    calibrating_ = true;
    calibPoints_.clear();
    calibPage_ = -1;
    viewport()->setCursor(Qt::CrossCursor);
}

// ---------------------------------------------------------------- find

FindWindow* PdfViewerWidget::Finder() {
    if (!finder_) finder_ = new FindWindow(*this);
    return finder_;
}

void PdfViewerWidget::SetFindHits(std::vector<FindHit> hits, int current) {
    findHits_ = std::move(hits);
    findCurrent_ = current;
    viewport()->update();
}

void PdfViewerWidget::ShowFindHit(const FindHit& hit) {
    if (hit.page < 0 || hit.page >= layout_.PageCount()) return;
    const QRectF r = PageToViewport(hit.page).mapRect(
        QRectF(hit.rect.x1, hit.rect.y1, hit.rect.Width(), hit.rect.Height()));
    if (!viewport()->rect().adjusted(20, 20, -20, -20).contains(r.toRect())) {
        GoToPagePosition(hit.page, (hit.rect.x1 + hit.rect.x2) / 2,
                         (hit.rect.y1 + hit.rect.y2) / 2);
    }
    viewport()->update();
}

}  // namespace viewer::widget
