// Points, rectangles and page boxes in page space (PDF user space: points, y up).
#pragma once
#include "viewer/engine/engine_names.h"

#include <array>
#include <vector>

namespace quill::engine {

struct PointF {
    double x = 0;
    double y = 0;
    bool operator==(const PointF&) const = default;
};

// Normalised when built through Normalized(): x1 <= x2, y1 <= y2.
struct RectF {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double Width() const { return x2 - x1; }
    double Height() const { return y2 - y1; }
    bool Contains(PointF p) const { return p.x >= x1 && p.x <= x2 && p.y >= y1 && p.y <= y2; }
    RectF Normalized() const;
    RectF Inflated(double by) const { return {x1 - by, y1 - by, x2 + by, y2 + by}; }
    bool operator==(const RectF&) const = default;
};

RectF BoundsOf(const std::vector<PointF>& points);

// Four corners of a piece of text in the order of /QuadPoints: top left, top right,
// bottom left, bottom right.
using Quad = std::array<PointF, 4>;

struct PageGeometry {
    RectF mediaBox;
    RectF cropBox;
    int rotate = 0;  // the page's own /Rotate: 0, 90, 180 or 270
    // Size as shown (after rotation), in points.
    double ShownWidth() const;
    double ShownHeight() const;
};

}  // namespace quill::engine
