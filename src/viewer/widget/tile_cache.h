// TileCache: the rendered page images the view paints from, kept within a memory budget.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "viewer/widget/tile_renderer.h"

class QPainter;

namespace quill::widget {

class PageLayout;

// It decides which tiles to ask the renderer for and which of the images it holds paint a
// page while sharper ones are still being rendered.
class TileCache : public QObject {
    Q_OBJECT
public:
    // layout: the view's page column (zoom and page rectangles); it outlives the cache.
    explicit TileCache(const PageLayout& layout, QObject* parent = nullptr);
    ~TileCache() override;

    // Forgets every image and renders from this document from now on (empty: none).
    void SetDocument(const QString& path);

    // `view` is the part of the column in view (column pixels) and `rotation` the view's
    // quarter turns. Asks for the tiles in view; those above and below wait until it is sharp.
    void Request(const QRect& view, int rotation);
    // True when every tile in view is rendered sharp at the layout's zoom.
    bool Ready(const QRect& view, int rotation) const;

    // A new paint of the view: the images drawn from now on were used last by it.
    void BeginPaint() { ++stamp_; }
    // Draws the page's images at `pageInViewport`, as far as it lies in `viewportRect`: its
    // sharp tiles, and where they are still missing the images of other zooms and the view
    // tile.
    void PaintPage(QPainter& p, int page, const QRect& pageInViewport, const QRect& viewportRect,
                   int rotation);

signals:
    // A finished tile is in the cache.
    void TileStored(const widget::TileKey& key);

private:
    struct CachedTile {
        QImage image;
        QRect pixels;  // in the page image at the tile's zoom
        uint64_t lastUse = 0;
    };
    struct Grid {
        int cols = 1, rows = 1, tileW = 1, tileH = 1;
    };

    int ZoomKey() const;
    static Grid TileGridOf(QSize pagePx);
    QSize PagePixelsAt(int page, int zoomKey) const;
    // The cached view tile of the page at the current zoom that holds `pixels`, if any.
    const CachedTile* ViewTileHolding(int page, const QRect& pixels, int rotation) const;
    void Store(const TileKey& key, const QRect& pixels, const QImage& image);
    void Evict();

    const PageLayout& layout_;
    TileRenderer* renderer_ = nullptr;
    QHash<TileKey, CachedTile> tiles_;
    size_t bytes_ = 0;
    uint64_t stamp_ = 0;
    // The view tile asked for last: the first picture of a page at a new zoom, made of the
    // part in view only (one pass over the page's content instead of one per tile).
    TileRequest viewTile_;
    bool viewTilePending_ = false;
    int viewTileSerial_ = 0;
};

}  // namespace quill::widget
