#include "viewer/widget/comment_thumbnailer.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "viewer/widget/annot_painter.h"
#include "viewer/widget/page_layout.h"

namespace quill::widget {

namespace {

// A page image never grows beyond this on its long side nor beyond this many pixels a point:
// enough for a sharp picture of a small comment, small enough to render a large drawing
// in a second or two.
constexpr double kMaxPageSide = 4000;
constexpr double kMaxPixelsPerPoint = 2;
// The least area shown around a comment, in points, so that a small mark keeps its context.
constexpr double kLeastWidth = 108;
constexpr double kLeastHeight = 72;

int QuarterTurnsOf(const engine::PageGeometry& g) { return ((g.rotate / 90) % 4 + 4) % 4; }

}  // namespace

CommentThumbnailer::CommentThumbnailer(const engine::EngineControl& engine, QSize maxPixels)
    : engine_(engine), maxPixels_(maxPixels.expandedTo(QSize(16, 16))) {}

CommentThumbnailer::~CommentThumbnailer() = default;

QRectF CommentThumbnailer::AreaAround(const QRectF& box, const QSizeF& page, const QSizeF& least,
                                      double aspect) {
    const double margin = std::max(12.0, 0.25 * std::max(box.width(), box.height()));
    QRectF area = box.normalized().adjusted(-margin, -margin, margin, margin);
    double width = std::max(area.width(), least.width());
    double height = std::max(area.height(), least.height());
    if (aspect > 0) {
        if (width / height < aspect)
            width = height * aspect;
        else
            height = width / aspect;
    }
    // Never larger than the page; the proportions give way first at the page's edges.
    width = std::min(width, page.width());
    height = std::min(height, page.height());
    const QPointF centre = area.center();
    double left = std::clamp(centre.x() - width / 2, 0.0, std::max(0.0, page.width() - width));
    double top = std::clamp(centre.y() - height / 2, 0.0, std::max(0.0, page.height() - height));
    return QRectF(left, top, width, height);
}

bool CommentThumbnailer::RenderPage(int page) {
    if (page == renderedPage_) return !pageImage_.isNull();
    renderedPage_ = page;
    pageImage_ = QImage();
    if (!document_ && !documentFailed_) {
        document_ = Poppler::Document::load(QString::fromStdString(engine_.FilePath()));
        if (!document_ || document_->isLocked()) {
            document_.reset();
            documentFailed_ = true;
        } else {
            document_->setRenderHint(Poppler::Document::Antialiasing, true);
            document_->setRenderHint(Poppler::Document::TextAntialiasing, true);
            document_->setRenderHint(Poppler::Document::HideAnnotations, true);
        }
    }
    if (!document_ || page < 0 || page >= document_->numPages()) return false;
    std::unique_ptr<Poppler::Page> popplerPage = document_->page(page);
    if (!popplerPage) return false;
    const engine::PageGeometry g = engine_.PageGeometryOf(page);
    const double longSide = std::max(g.ShownWidth(), g.ShownHeight());
    if (!(longSide > 0)) return false;
    pixelsPerPoint_ = std::min(kMaxPixelsPerPoint, kMaxPageSide / longSide);
    const double dpi = 72.0 * pixelsPerPoint_;
    pageImage_ = popplerPage->renderToImage(dpi, dpi);
    return !pageImage_.isNull();
}

QImage CommentThumbnailer::Thumbnail(engine::AnnotId id) {
    if (id == 0 || !engine_.AnnotExists(id)) return {};
    const int page = engine_.AnnotPageOf(id);
    if (page < 0 || page >= engine_.PageCount() || !RenderPage(page)) return {};
    const engine::PageGeometry g = engine_.PageGeometryOf(page);
    const QTransform toShown = PageLayout::PageToShown(g, QuarterTurnsOf(g));
    const engine::AnnotDrawing drawing = engine_.DrawingOf(id);
    const engine::RectF b = drawing.bbox.Normalized();
    const QRectF box = toShown.mapRect(QRectF(b.x1, b.y1, b.x2 - b.x1, b.y2 - b.y1));
    const QSizeF shown(g.ShownWidth(), g.ShownHeight());
    const QRectF area = AreaAround(box, shown, QSizeF(kLeastWidth, kLeastHeight),
                                   static_cast<double>(maxPixels_.width()) / maxPixels_.height());
    const QRect pixels = QRectF(area.topLeft() * pixelsPerPoint_, area.size() * pixelsPerPoint_)
                             .toAlignedRect()
                             .intersected(pageImage_.rect());
    if (pixels.isEmpty()) return {};
    QImage picture = pageImage_.copy(pixels).convertToFormat(QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QTransform toPicture = toShown * QTransform(pixelsPerPoint_, 0, 0, pixelsPerPoint_,
                                                          -pixels.left(), -pixels.top());
        PaintDrawing(painter, drawing, toPicture);
    }
    if (picture.width() > maxPixels_.width() || picture.height() > maxPixels_.height())
        picture = picture.scaled(maxPixels_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

}  // namespace quill::widget
