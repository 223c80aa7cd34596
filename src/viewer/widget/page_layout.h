// PageLayout: where each page sits in the viewer's continuous column, and the mapping between
// page space (points, y up) and the column's pixels at the current zoom and rotation.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <vector>

#include "viewer/engine/page_geometry.h"

namespace quill::widget {

class PageLayout {
public:
    static constexpr int kGap = 10;  // pixels between pages and around the column
    static constexpr double kMinZoom = 0.02;
    static constexpr double kMaxZoom = 32.0;

    void SetPages(std::vector<engine::PageGeometry> pages);
    // zoom: device pixels per point; rotation: quarter turns clockwise on top of each page's
    // own /Rotate.
    void SetView(double zoom, int rotation);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    double Zoom() const { return zoom_; }
    int Rotation() const { return rotation_; }
    const engine::PageGeometry& Geometry(int page) const { return pages_[page]; }
    // Quarter turns the page is shown with (its own /Rotate plus the view's).
    int QuarterTurns(int page) const;

    // Shown size in points (after both rotations).
    QSizeF ShownSizePt(int page) const;
    // The page's rectangle in column pixels.
    QRect PageRect(int page) const;
    QSize ColumnSize() const { return column_; }
    // The page under (or nearest to) a column y.
    int PageAtY(int y) const;
    // The page whose rectangle contains the point, -1 when none.
    int PageAt(QPoint column) const;

    // Page space -> column pixels, and back.
    QTransform PageToColumn(int page) const;
    QPointF ToColumn(int page, engine::PointF p) const;
    engine::PointF ToPage(int page, QPointF column) const;

    // Page space -> the shown page in points with y down and origin at the shown top left
    // (what poppler's text and search rectangles use for rotation `turns`).
    static QTransform PageToShown(const engine::PageGeometry& g, int turns);

private:
    void Relayout();

    std::vector<engine::PageGeometry> pages_;
    std::vector<QRect> rects_;
    QSize column_;
    double zoom_ = 1.0;
    int rotation_ = 0;
};

}  // namespace quill::widget
