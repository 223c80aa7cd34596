#include "viewer/engine/page_geometry.h"

#include <algorithm>
#include <limits>

namespace quill::engine {

RectF RectF::Normalized() const {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

RectF BoundsOf(const std::vector<PointF>& points) {
    if (points.empty()) return {};
    RectF r{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
            std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
    for (const PointF& p : points) {
        r.x1 = std::min(r.x1, p.x);
        r.y1 = std::min(r.y1, p.y);
        r.x2 = std::max(r.x2, p.x);
        r.y2 = std::max(r.y2, p.y);
    }
    return r;
}

double PageGeometry::ShownWidth() const {
    return (rotate == 90 || rotate == 270) ? cropBox.Height() : cropBox.Width();
}

double PageGeometry::ShownHeight() const {
    return (rotate == 90 || rotate == 270) ? cropBox.Width() : cropBox.Height();
}

}  // namespace quill::engine
