#include "viewer/widget/page_layout.h"

#include <algorithm>
#include <cmath>

namespace quill::widget {

void PageLayout::SetPages(std::vector<engine::PageGeometry> pages) {
    pages_ = std::move(pages);
    Relayout();
}

void PageLayout::SetView(double zoom, int rotation) {
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    rotation_ = ((rotation % 4) + 4) % 4;
    Relayout();
}

int PageLayout::QuarterTurns(int page) const {
    const int own = ((pages_[page].rotate / 90) % 4 + 4) % 4;
    return (own + rotation_) % 4;
}

QSizeF PageLayout::ShownSizePt(int page) const {
    const auto& g = pages_[page];
    const double w = g.cropBox.Width(), h = g.cropBox.Height();
    return (QuarterTurns(page) % 2) ? QSizeF(h, w) : QSizeF(w, h);
}

void PageLayout::Relayout() {
    rects_.clear();
    int maxW = 0;
    std::vector<QSize> sizes;
    for (int i = 0; i < PageCount(); ++i) {
        const QSizeF s = ShownSizePt(i);
        QSize px(std::max(1, static_cast<int>(std::lround(s.width() * zoom_))),
                 std::max(1, static_cast<int>(std::lround(s.height() * zoom_))));
        sizes.push_back(px);
        maxW = std::max(maxW, px.width());
    }
    int y = kGap;
    const int colW = maxW + 2 * kGap;
    for (const QSize& s : sizes) {
        rects_.emplace_back(QPoint((colW - s.width()) / 2, y), s);
        y += s.height() + kGap;
    }
    column_ = QSize(colW, y);
}

QRect PageLayout::PageRect(int page) const {
    if (page < 0 || page >= PageCount()) return {};
    return rects_[page];
}

int PageLayout::PageAtY(int y) const {
    if (rects_.empty()) return -1;
    // First page whose bottom (plus the gap after it) is below y.
    auto it = std::lower_bound(rects_.begin(), rects_.end(), y,
                               [](const QRect& r, int yy) { return r.bottom() + kGap < yy; });
    if (it == rects_.end()) return PageCount() - 1;
    return static_cast<int>(it - rects_.begin());
}

int PageLayout::PageAt(QPoint column) const {
    const int p = PageAtY(column.y());
    if (p >= 0 && rects_[p].contains(column)) return p;
    return -1;
}

QTransform PageLayout::PageToShown(const engine::PageGeometry& g, int turns) {
    const double w = g.cropBox.Width(), h = g.cropBox.Height();
    // Unrotated: user space to y-down points with the origin at the crop box's top left.
    QTransform t(1, 0, 0, -1, -g.cropBox.x1, g.cropBox.y2);
    QTransform r;
    switch (((turns % 4) + 4) % 4) {
        case 1:  // (u, v) -> (h - v, u)
            r = QTransform(0, 1, -1, 0, h, 0);
            break;
        case 2:  // (u, v) -> (w - u, h - v)
            r = QTransform(-1, 0, 0, -1, w, h);
            break;
        case 3:  // (u, v) -> (v, w - u)
            r = QTransform(0, -1, 1, 0, 0, w);
            break;
        default:
            break;
    }
    return t * r;
}

QTransform PageLayout::PageToColumn(int page) const {
    if (page < 0 || page >= PageCount()) return {};
    const QRect r = rects_[page];
    const QSizeF s = ShownSizePt(page);
    // Scale so that the shown page fills exactly its pixel rectangle.
    const double sx = r.width() / s.width(), sy = r.height() / s.height();
    return PageToShown(pages_[page], QuarterTurns(page)) *
           QTransform(sx, 0, 0, sy, r.left(), r.top());
}

QPointF PageLayout::ToColumn(int page, engine::PointF p) const {
    return PageToColumn(page).map(QPointF(p.x, p.y));
}

engine::PointF PageLayout::ToPage(int page, QPointF column) const {
    const QPointF q = PageToColumn(page).inverted().map(column);
    return {q.x(), q.y()};
}

}  // namespace quill::widget
