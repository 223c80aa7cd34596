#include "viewer/widget/tile_cache.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "viewer/widget/page_layout.h"

namespace quill::widget {
namespace {

// Every tile makes poppler read the page's whole content stream again, which dominates on
// dense drawings: few large tiles beat many small ones. Tiles are wide strips, so that a
// view touches about as many tiles as there are workers.
constexpr int kTileMaxWidth = 4096;
constexpr int kTileMinHeight = 1024;  // a view up to this tall touches at most two rows
constexpr size_t kTileBudget = size_t(384) << 20;

// A tile that shows only a sliver at the edge of the view waits with the tiles out of view:
// the page above or below still shows its coarse image there.
bool ShowsInView(const QRect& tileInColumn, const QRect& view) {
    const QRect r = tileInColumn.intersected(view);
    return !r.isEmpty() && 1LL * r.width() * r.height() * 50 >= 1LL * view.width() * view.height();
}

}  // namespace

TileCache::TileCache(const PageLayout& layout, QObject* parent)
    : QObject(parent), layout_(layout), renderer_(new TileRenderer(this)) {
    connect(renderer_, &TileRenderer::TileReady, this, &TileCache::Store);
}

TileCache::~TileCache() = default;

void TileCache::SetDocument(const QString& path) {
    tiles_.clear();
    bytes_ = 0;
    viewTilePending_ = false;
    renderer_->SetDocument(path);
}

int TileCache::ZoomKey() const {
    return std::max(1, static_cast<int>(std::lround(layout_.Zoom() * 1000)));
}

QSize TileCache::PagePixelsAt(int page, int zoomKey) const {
    const QSizeF pt = layout_.ShownSizePt(page);
    const double z = zoomKey / 1000.0;
    return QSize(std::max(1, static_cast<int>(std::lround(pt.width() * z))),
                 std::max(1, static_cast<int>(std::lround(pt.height() * z))));
}

TileCache::Grid TileCache::TileGridOf(QSize px) {
    Grid g;
    g.cols = (px.width() + kTileMaxWidth - 1) / kTileMaxWidth;
    g.rows = std::max(1, px.height() / kTileMinHeight);
    g.tileW = (px.width() + g.cols - 1) / g.cols;
    g.tileH = (px.height() + g.rows - 1) / g.rows;
    return g;
}

void TileCache::Request(const QRect& view, int rotation) {
    if (layout_.PageCount() == 0) return;
    const int zk = ZoomKey();
    const QRect margin = view.adjusted(0, -view.height(), 0, view.height());
    std::vector<TileRequest> want;
    std::vector<TileRequest> ahead;  // above and below the view
    const QPoint center = view.center();
    const int first = layout_.PageAtY(margin.top());
    const int last = layout_.PageAtY(margin.bottom());
    for (int page = std::max(0, first); page <= last; ++page) {
        const QRect pr = layout_.PageRect(page);
        const QSize px = PagePixelsAt(page, zk);
        const Grid g = TileGridOf(px);
        bool pageVisible = pr.intersects(view);
        bool hasFallback = false;
        int visibleMissing = 0;
        bool anySharp = false;
        std::vector<TileRequest> pageWant;
        for (int row = 0; row < g.rows; ++row) {
            for (int col = 0; col < g.cols; ++col) {
                const QRect tr(col * g.tileW, row * g.tileH,
                               std::min(g.tileW, px.width() - col * g.tileW),
                               std::min(g.tileH, px.height() - row * g.tileH));
                if (tr.isEmpty()) continue;
                const QRect inColumn = tr.translated(pr.topLeft());
                if (!inColumn.intersects(margin)) continue;
                TileKey key{page, zk, rotation, col, row};
                if (tiles_.contains(key)) {
                    anySharp = true;
                    continue;
                }
                const QPoint d = inColumn.center() - center;
                const int distance = std::abs(d.x()) + std::abs(d.y());
                const bool inView = ShowsInView(inColumn, view);
                if (inView) ++visibleMissing;
                (inView ? pageWant : ahead).push_back({key, tr, distance});
            }
        }
        // The first picture of a page at this zoom that needs several tiles: one tile of
        // just the part in view, then the grid tiles once the view is sharp.
        const QRect inView = pr.intersected(view).translated(-pr.topLeft());
        if (visibleMissing >= 2 && !anySharp && !inView.isEmpty() &&
            !ViewTileHolding(page, inView, rotation)) {
            const bool samePending =
                viewTilePending_ && viewTile_.key.page == page && viewTile_.key.zoomKey == zk &&
                viewTile_.key.rotation == rotation && viewTile_.pixels.contains(inView);
            if (!samePending) {
                viewTile_ = {TileKey{page, zk, rotation, -1, ++viewTileSerial_},
                             inView.adjusted(-16, -16, 16, 16).intersected(QRect(QPoint(), px)), 0};
                viewTilePending_ = true;
            }
            want.push_back(viewTile_);
            ahead.insert(ahead.end(), pageWant.begin(), pageWant.end());
        } else {
            want.insert(want.end(), pageWant.begin(), pageWant.end());
        }
        // A small whole-page image shows while the sharp tiles render, when they take more
        // than one round of the workers (high zoom, fast scrolling).
        if (pageVisible && visibleMissing > TileRenderer::WorkerCount()) {
            for (auto it = tiles_.cbegin(); it != tiles_.cend() && !hasFallback; ++it) {
                hasFallback = it.key().page == page && it.key().rotation == rotation;
            }
            const QSizeF pt = layout_.ShownSizePt(page);
            const int previewKey =
                static_cast<int>(std::lround(1000.0 * 400.0 / std::max(pt.width(), pt.height())));
            if (!hasFallback && previewKey < zk) {
                const QSize ppx = PagePixelsAt(page, previewKey);
                want.push_back(
                    {TileKey{page, previewKey, rotation, 0, 0}, QRect(QPoint(), ppx), 1});
            }
        }
    }
    // Tiles out of view wait until the view is sharp: on a busy machine they would take
    // the processor from the tiles the user is looking at.
    if (want.empty()) want = std::move(ahead);
    renderer_->Request(std::move(want));
}

const TileCache::CachedTile* TileCache::ViewTileHolding(int page, const QRect& pixels,
                                                        int rotation) const {
    const int zk = ZoomKey();
    for (auto it = tiles_.cbegin(); it != tiles_.cend(); ++it) {
        const TileKey& k = it.key();
        if (k.col == -1 && k.page == page && k.zoomKey == zk && k.rotation == rotation &&
            it->pixels.contains(pixels)) {
            return &it.value();
        }
    }
    return nullptr;
}

void TileCache::Store(const TileKey& key, const QRect& pixels, const QImage& image) {
    if (key.col == -1 && viewTilePending_ && key == viewTile_.key) viewTilePending_ = false;
    CachedTile& t = tiles_[key];
    bytes_ -= t.image.sizeInBytes();
    t.image = image;
    t.pixels = pixels;
    t.lastUse = ++stamp_;
    bytes_ += image.sizeInBytes();
    Evict();
    emit TileStored(key);
}

void TileCache::Evict() {
    while (bytes_ > kTileBudget && !tiles_.isEmpty()) {
        auto oldest = tiles_.begin();
        for (auto it = tiles_.begin(); it != tiles_.end(); ++it) {
            if (it->lastUse < oldest->lastUse) oldest = it;
        }
        bytes_ -= oldest->image.sizeInBytes();
        tiles_.erase(oldest);
    }
}

bool TileCache::Ready(const QRect& view, int rotation) const {
    if (layout_.PageCount() == 0) return true;
    const int zk = ZoomKey();
    const int first = layout_.PageAtY(view.top());
    const int last = layout_.PageAtY(view.bottom());
    for (int page = std::max(0, first); page <= last; ++page) {
        const QRect pr = layout_.PageRect(page);
        if (!pr.intersects(view)) continue;
        const QSize px = PagePixelsAt(page, zk);
        const Grid g = TileGridOf(px);
        if (ViewTileHolding(page, pr.intersected(view).translated(-pr.topLeft()), rotation)) {
            continue;
        }
        for (int row = 0; row < g.rows; ++row) {
            for (int col = 0; col < g.cols; ++col) {
                const QRect tr(col * g.tileW, row * g.tileH, g.tileW, g.tileH);
                if (!ShowsInView(tr.translated(pr.topLeft()), view)) continue;
                if (!tiles_.contains(TileKey{page, zk, rotation, col, row})) return false;
            }
        }
    }
    return true;
}

void TileCache::PaintPage(QPainter& p, int page, const QRect& pr, const QRect& viewportRect,
                          int rotation) {
    const int zk = ZoomKey();
    // Images of the page at other zoom levels, coarse ones first, stand in for sharp tiles
    // that are still being rendered.
    std::vector<std::pair<double, TileKey>> others;
    std::vector<TileKey> sharp;
    const QSize px = PagePixelsAt(page, zk);
    const Grid g = TileGridOf(px);
    const QRect visible = pr.intersected(viewportRect);
    QRegion missing;
    for (int row = 0; row < g.rows; ++row) {
        for (int col = 0; col < g.cols; ++col) {
            const QRect tr = QRect(col * g.tileW, row * g.tileH, g.tileW, g.tileH)
                                 .translated(pr.topLeft())
                                 .intersected(visible);
            if (tr.isEmpty()) continue;
            const TileKey key{page, zk, rotation, col, row};
            if (tiles_.contains(key)) {
                sharp.push_back(key);
            } else {
                missing += tr;
            }
        }
    }
    if (!missing.isEmpty()) {
        // Where sharp tiles are missing: the coarsest image of the page underneath (it fills
        // every hole) and the nearest zoom level above it. Two layers at most keep the
        // paint cheap however many levels are cached.
        for (auto it = tiles_.cbegin(); it != tiles_.cend(); ++it) {
            const TileKey& k = it.key();
            if (k.page == page && k.rotation == rotation && k.zoomKey != zk) {
                others.push_back({std::abs(std::log(double(k.zoomKey) / zk)), k});
            }
        }
        int coarsest = 0, nearest = 0;
        double nearestScore = 1e9;
        for (const auto& [score, k] : others) {
            if (coarsest == 0 || k.zoomKey < coarsest) coarsest = k.zoomKey;
            if (score < nearestScore) {
                nearestScore = score;
                nearest = k.zoomKey;
            }
        }
        p.save();
        p.setClipRegion(missing);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        std::vector<int> levels;
        if (coarsest) levels.push_back(coarsest);
        if (nearest && nearest != coarsest) levels.push_back(nearest);
        for (int level : levels) {
            const QSize opx = PagePixelsAt(page, level);
            const double fx = double(pr.width()) / opx.width();
            const double fy = double(pr.height()) / opx.height();
            for (const auto& [score, k] : others) {
                if (k.zoomKey != level) continue;
                CachedTile& t = tiles_[k];
                const QRectF src(t.pixels.topLeft(), t.image.size());
                const QRectF dst(pr.left() + src.left() * fx, pr.top() + src.top() * fy,
                                 src.width() * fx, src.height() * fy);
                if (!missing.intersects(dst.toAlignedRect())) continue;
                t.lastUse = stamp_;
                p.drawImage(dst, t.image);
            }
        }
        p.restore();
    }
    if (!missing.isEmpty()) {
        // The view tile of this zoom under the grid tiles.
        for (auto it = tiles_.begin(); it != tiles_.end(); ++it) {
            const TileKey& k = it.key();
            if (k.col != -1 || k.page != page || k.zoomKey != zk || k.rotation != rotation) {
                continue;
            }
            it->lastUse = stamp_;
            p.drawImage(pr.topLeft() + it->pixels.topLeft(), it->image);
        }
    }
    for (const TileKey& k : sharp) {
        CachedTile& t = tiles_[k];
        t.lastUse = stamp_;
        p.drawImage(QPoint(pr.left() + k.col * g.tileW, pr.top() + k.row * g.tileH), t.image);
    }
}

}  // namespace quill::widget
