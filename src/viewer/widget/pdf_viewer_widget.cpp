#include "viewer/widget/pdf_viewer_widget.h"

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
#include "viewer/widget/draw_session.h"
#include "viewer/widget/edit_controller.h"
#include "viewer/widget/find_window.h"
#include "viewer/widget/measure_text.h"
#include "viewer/widget/page_words.h"
#include "viewer/widget/tile_cache.h"
#include "viewer/widget/widget_control.h"

namespace quill::widget {
namespace {

constexpr double kZoomStep = 1.25;

}  // namespace

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
    edit_ = std::make_unique<EditController>(*this);
    connect(edit_.get(), &EditController::SelectionChanged, this,
            &PdfViewerWidget::SelectionChanged);
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
    edit_->DropDocument();
    drawings_.clear();
    pageTexts_.clear();
    settled_ = false;
    findHits_.clear();
    findCurrent_ = -1;
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
    edit_->EndDraw();
    callout_->Cancel();
    edit_->EndCalibration();
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
    edit_->DropRemoved();
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
    // Selection and handles, a comment dragged, the one being drawn.
    edit_->PaintOverlay(p);
    const DrawSession* session = edit_->Session();
    if (session) session->PaintPreview(p, PageToViewport(session->Page()));
    if (edit_->Calibrating() && calibPage_ >= 0) {
        p.setPen(QPen(Qt::magenta, 2));
        for (const auto& pt : calibPoints_) {
            const QPointF v = ToViewport(calibPage_, pt);
            p.drawLine(v + QPointF(-6, 0), v + QPointF(6, 0));
            p.drawLine(v + QPointF(0, -6), v + QPointF(0, 6));
        }
    }
    // What the gesture in progress expects next.
    QString hint;
    if (edit_->Calibrating()) {
        hint = calibPoints_.empty()
                   ? tr("Calibrate: click the first of two points of known distance")
                   : tr("Calibrate: click the second point");
    } else if (session && session->IsVertexTool() && !session->Dragging()) {
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
        if (edit_->Hides(d.id)) continue;  // drawn where it is dragged
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

// ---------------------------------------------------------------- selection

AnnotId PdfViewerWidget::SelectedAnnot() const { return edit_->Selected(); }

void PdfViewerWidget::Select(AnnotId id) { edit_->Select(id); }

// ---------------------------------------------------------------- mouse

void PdfViewerWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPointF pos = event->position();
    const int page = PageAtViewport(pos.toPoint());
    callout_->Commit();
    // A new gesture drops the text mark still waiting for its words.
    if (edit_->Mode() == MouseMode::AwaitWords) edit_->EndDraw();
    if (event->button() == Qt::RightButton) return;  // the context menu
    if (event->button() != Qt::LeftButton) return;

    if (edit_->Calibrating()) {
        CalibrationClick(page, pos);
        return;
    }

    switch (tool_) {
        case ViewerTool::Hand:
            edit_->PressHand(pos);
            return;
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
    if (edit_->Session() && edit_->Session()->Page() != page) edit_->EndDraw();
    if (!edit_->Session()) BeginDraw(page);
    DrawSession* session = edit_->Session();
    if (!session) return;
    session->Press(DrawPoint(pos), edit_->Tolerance());
    UpdateTextSelection();
    viewport()->update();
}

void PdfViewerWidget::CalibrationClick(int page, QPointF pos) {
    if (page < 0) return;
    if (calibPage_ != page) calibPoints_.clear();
    calibPage_ = page;
    calibPoints_.push_back(ToPage(page, pos));
    viewport()->update();
    if (calibPoints_.size() < 2) return;
    edit_->EndCalibration();
    const double pts =
        std::hypot(calibPoints_[1].x - calibPoints_[0].x, calibPoints_[1].y - calibPoints_[0].y);
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

engine::PointF PdfViewerWidget::DrawPoint(QPointF viewportPoint) const {
    // A comment stays on its page: points dragged past the edge stop at it.
    const int page = edit_->Session()->Page();
    const engine::PointF p = ToPage(page, viewportPoint);
    const engine::RectF c = engine_->PageGeometryOf(page).cropBox.Normalized();
    return {std::clamp(p.x, c.x1, c.x2), std::clamp(p.y, c.y1, c.y2)};
}

void PdfViewerWidget::BeginDraw(int page) {
    const auto annotTool = AnnotToolOf(tool_);
    if (!annotTool) return;
    engine::AnnotStyle style = drawStyle_;
    if (*annotTool == AnnotTool::Cloudy && style.borderStyle < 8) style.borderStyle = 9;
    auto session = std::make_unique<DrawSession>(*annotTool, page, style);
    session->SetScale(scale_);
    edit_->StartDraw(std::move(session));
}

void PdfViewerWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    const bool down = event->buttons() & Qt::LeftButton;
    switch (edit_->Mode()) {
        case MouseMode::Pan:
        case MouseMode::Move:
        case MouseMode::Resize:
        case MouseMode::Vertex:
            edit_->DragTo(pos);
            return;
        case MouseMode::Draw:
        case MouseMode::AwaitWords:
            edit_->Session()->Move(DrawPoint(pos), down);
            UpdateTextSelection();
            viewport()->update();
            return;
        case MouseMode::None:
        case MouseMode::Calibrate:
            break;
    }
    if (tool_ == ViewerTool::Hand && !down) edit_->Hover(pos);
}

void PdfViewerWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPointF pos = event->position();
    switch (edit_->Mode()) {
        case MouseMode::Pan:
        case MouseMode::Move:
        case MouseMode::Resize:
        case MouseMode::Vertex:
            edit_->Release(pos);
            return;
        case MouseMode::Draw:
        case MouseMode::AwaitWords:
            break;
        case MouseMode::None:
        case MouseMode::Calibrate:
            return;
    }
    DrawSession* session = edit_->Session();
    const AnnotTool t = session->Tool();
    if ((t == AnnotTool::Highlight || t == AnnotTool::StrikeOut) &&
        !words_->Words(session->Page())) {
        // Finished when the page's words are read.
        session->Move(DrawPoint(pos), true);
        edit_->AwaitWords();
        return;
    }
    const DrawSession::Step step = session->Release(DrawPoint(pos), edit_->Tolerance());
    if (step == DrawSession::Step::Finish) {
        FinishDraw();
    } else if (step == DrawSession::Step::Cancel) {
        edit_->EndDraw();
    }
    viewport()->update();
}

void PdfViewerWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    if (DrawSession* session = edit_->Session()) {
        // The double click's press came first and added a vertex; finish the shape.
        session->Press(DrawPoint(pos), edit_->Tolerance());
        const DrawSession::Step step = session->DoubleClick(DrawPoint(pos), edit_->Tolerance());
        if (step == DrawSession::Step::Finish) {
            FinishDraw();
        } else if (step == DrawSession::Step::Cancel) {
            edit_->EndDraw();
        }
        viewport()->update();
        return;
    }
    if (tool_ != ViewerTool::Hand) return;
    const AnnotId hit = edit_->HitAnnotAt(pos);
    if (hit) {
        edit_->CancelDrag();
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
            edit_->DeleteSelected();
            return;
        case Qt::Key_Escape:
            if (callout_->Editor()) {
                callout_->Cancel();
            } else if (edit_->Session()) {
                edit_->EndDraw();
            } else if (edit_->Calibrating()) {
                edit_->EndCalibration();
                calibPoints_.clear();
            } else {
                Select(0);
            }
            viewport()->update();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (edit_->Session() &&
                edit_->Session()->FinishVertices() == DrawSession::Step::Finish) {
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
    const AnnotId hit = edit_->HitAnnotAt(event->pos());
    QMenu menu(this);
    if (hit) {
        Select(hit);
        const bool locked = engine_->GetReadOnly(hit);
        menu.addAction(tr("Open Note..."), this, [this, hit] { OpenNote(hit); });
        QAction* props =
            menu.addAction(tr("Properties..."), this, [this, hit] { OpenProperties(hit); });
        props->setEnabled(!locked);
        QAction* del = menu.addAction(tr("Delete"), this, [this] { edit_->DeleteSelected(); });
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
    DrawSession* session = edit_->Session();
    if (!session) return;
    const AnnotTool t = session->Tool();
    if (t != AnnotTool::Highlight && t != AnnotTool::StrikeOut) return;
    const int page = session->Page();
    const std::vector<engine::Quad>* words = words_->Words(page);
    if (!words) {  // still being read; OnWordsReady comes back here
        session->SetTextQuads({});
        return;
    }
    const std::vector<engine::Quad>& pageWords = *words;
    session->SetTextQuads(DrawSession::SelectWords(
        pageWords, session->DragStart(), session->Current(), 20 / std::max(0.01, layout_.Zoom())));
}

void PdfViewerWidget::PrefetchWords() {
    if (tool_ != ViewerTool::Highlight && tool_ != ViewerTool::Strikeout) return;
    const int page = engine_->CurrentPage();
    for (int p : {page, page + 1, page - 1}) {
        if (p >= 0 && p < layout_.PageCount()) words_->Prefetch(p);
    }
}

void PdfViewerWidget::OnWordsReady(int page) {
    DrawSession* session = edit_->Session();
    if (!session || session->Page() != page) return;
    UpdateTextSelection();
    if (edit_->Mode() == MouseMode::AwaitWords) {
        const engine::PointF at = session->Current();
        if (session->Release(at, edit_->Tolerance()) == DrawSession::Step::Finish) {
            FinishDraw();
        } else {
            edit_->EndDraw();
        }
    }
    viewport()->update();
}

void PdfViewerWidget::FinishDraw() {
    std::unique_ptr<DrawSession> s = edit_->TakeSession();
    if (!s) return;
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
    if (DrawSession* session = edit_->Session()) session->SetScale(scale_);
    viewport()->update();
}

void PdfViewerWidget::StartCalibration() {
    edit_->StartCalibration();
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

}  // namespace quill::widget
