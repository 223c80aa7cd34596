// PdfViewerWidget: the viewer control's Qt widget: pages in one continuous column rendered on
// worker threads, the comments drawn from the engine's model, and every viewer tool.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/viewer_tool.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/view_host.h"
#include "viewer/widget/page_layout.h"
#include "viewer/widget/viewer_dialogs.h"

class QPlainTextEdit;
class QPrinter;

namespace quill::widget {

class AnnotPropertiesDialog;
class CalloutTextEntry;
class CommentNoteDialog;
class DrawSession;
class EditController;
class FindWindow;
class PageWords;
class TileCache;
class WidgetControl;
struct TileKey;

// A piece of found text, in page space.
struct FindHit {
    int page = -1;
    engine::RectF rect;
};

class PdfViewerWidget : public QAbstractScrollArea, public engine::ViewHost {
    Q_OBJECT
public:
    explicit PdfViewerWidget(QWidget* parent = nullptr);
    ~PdfViewerWidget() override;

    engine::EngineControl& Engine() { return *engine_; }
    // The control the client calls (the engine, with the view's own answers).
    PdfViewerControl& Control();
    // The dialogs the tools ask with; replace them in tests.
    ViewerDialogs& Dialogs() { return dialogs_; }

    // ---- view ----
    double Zoom() const { return layout_.Zoom(); }
    // Keeps the point under `anchor` (viewport pixels; the centre when omitted) in place.
    void SetZoom(double zoom, std::optional<QPoint> anchor = std::nullopt);
    void ZoomIn(std::optional<QPoint> anchor = std::nullopt);
    void ZoomOut(std::optional<QPoint> anchor = std::nullopt);
    ViewerTool Tool() const { return tool_; }
    const PageLayout& Layout() const { return layout_; }
    // Page space <-> viewport pixels.
    QTransform PageToViewport(int page) const;
    QPointF ToViewport(int page, engine::PointF p) const;
    engine::PointF ToPage(int page, QPointF viewportPoint) const;
    int PageAtViewport(QPoint p) const;
    // True when every tile of the pages in view is rendered sharp at the current zoom.
    bool VisibleTilesReady() const;

    // ---- comments ----
    AnnotId SelectedAnnot() const;
    void Select(AnnotId id);
    // Style of the comments the tools draw (the client restyles them after AnnotAdded).
    void SetDrawStyle(const engine::AnnotStyle& style) { drawStyle_ = style; }
    const engine::AnnotStyle& DrawStyle() const { return drawStyle_; }
    const engine::MeasureScale& Scale() const { return scale_; }
    void SetScale(const engine::MeasureScale& scale);
    // The next two clicks on a page give the calibration points; then the known distance is
    // asked for (Dialogs().knownDistance).
    void StartCalibration();
    // The note window (contents and replies) and the style window of a comment.
    CommentNoteDialog* OpenNote(AnnotId id);
    AnnotPropertiesDialog* OpenProperties(AnnotId id);
    // The call-out text being typed, if any.
    QPlainTextEdit* CalloutEditor() const;

    // ---- find and print ----
    FindWindow* Finder();
    void SetFindHits(std::vector<FindHit> hits, int current);
    // Shows the hit: scrolls it into view and marks it.
    void ShowFindHit(const FindHit& hit);
    // Prints every page with its comments and page texts; false when the printer fails.
    bool PrintTo(QPrinter& printer);

    // ---- ViewHost ----
    void ViewStateChanged() override;
    void GoToPagePosition(int32_t page, double x, double y) override;
    void SelectAnnot(int32_t page, int32_t index) override;
    void PageChanged(int32_t page) override;
    void DocumentChanged() override;
    bool Print() override;

signals:
    // Every tile in view is sharp.
    void RenderSettled();
    void CurrentPageChanged(int page);
    void ToolChanged(const QString& name);
    void ZoomChanged(double zoom);
    void SelectionChanged(quint64 annot);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // View and rendering.
    void ApplyTool();
    void ApplyFit();
    void ApplyRotation(int rotation);
    void UpdateScrollBars();
    QPoint ColumnOrigin() const;  // column pixel at the viewport's (0, 0)
    QRect ViewInColumn() const;   // the viewport's rectangle in column pixels
    void ScheduleTiles();
    void RequestTiles();
    void OnTileStored(const TileKey& key);
    void PaintPage(QPainter& p, int page, const QRect& pageInViewport);
    void UpdateCurrentPage();
    void CheckSettled();

    // Comments.
    struct PageDrawing {
        AnnotId id = 0;
        engine::AnnotDrawing drawing;
        bool upright = false;  // an icon (note, attachment): not turned with the page
    };
    const std::vector<PageDrawing>& DrawingsOf(int page);
    // Page space -> viewport for an icon comment: its box where the page puts it, the icon
    // itself upright.
    QTransform UprightToViewport(int page, const engine::RectF& box) const;
    void BeginDraw(int page);
    // The page point of the drawing gesture under a viewport point, kept on the page.
    engine::PointF DrawPoint(QPointF viewportPoint) const;
    void FinishDraw();
    void CreateFromSession(const DrawSession& session);
    void UpdateTextSelection();
    void OnWordsReady(int page);
    void PrefetchWords();
    void CalibrationClick(int page, QPointF viewportPoint);

    std::unique_ptr<engine::EngineControl> engine_;
    std::unique_ptr<WidgetControl> control_;
    ViewerDialogs dialogs_;
    PageLayout layout_;
    std::unique_ptr<TileCache> tiles_;
    QTimer scheduleTimer_;
    bool settled_ = false;
    int lastCurrentPage_ = -1;

    ViewerTool tool_ = ViewerTool::Hand;
    int fitMode_ = -1;  // the fit mode in force; -1 after the user zoomed by hand
    int lastFitSet_ = 0;
    int rotation_ = 0;
    std::string lastToolName_;

    std::map<int, std::vector<PageDrawing>> drawings_;
    std::map<int, std::vector<engine::AnnotDrawing>> pageTexts_;
    std::unique_ptr<EditController> edit_;
    std::unique_ptr<CalloutTextEntry> callout_;
    engine::AnnotStyle drawStyle_;
    engine::MeasureScale scale_;
    PageWords* words_ = nullptr;

    // Calibration: the points clicked so far.
    int calibPage_ = -1;
    std::vector<engine::PointF> calibPoints_;

    std::vector<FindHit> findHits_;
    int findCurrent_ = -1;
    QPointer<FindWindow> finder_;
};

}  // namespace quill::widget
