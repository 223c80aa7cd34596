// Pictures of comments in place: the area of the page around a comment, cropped from the page
// as poppler renders it, with the comment drawn over it.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <memory>

#include "viewer/engine/engine_control.h"

namespace Poppler {
class Document;
}

namespace quill::widget {

class CommentThumbnailer {
public:
    // engine: not owned, outlives this object, its document open. maxPixels bounds a picture.
    explicit CommentThumbnailer(const engine::EngineControl& engine, QSize maxPixels = {480, 320});
    ~CommentThumbnailer();
    CommentThumbnailer(const CommentThumbnailer&) = delete;
    CommentThumbnailer& operator=(const CommentThumbnailer&) = delete;

    // The comment's area with the comment drawn (whether shown in the viewer or not); a null
    // image when the comment or its page is unknown or the document cannot be rendered.
    // Pages are rendered once and kept until another page is asked for: ask page by page.
    QImage Thumbnail(engine::AnnotId id);

    // The part of a shown page (size `page`, points, y down) that a picture of `box` shows:
    // the box with a margin, at least `least`, widened to the picture's proportions, and moved
    // (or cut) to lie on the page.
    static QRectF AreaAround(const QRectF& box, const QSizeF& page, const QSizeF& least,
                             double aspect);

private:
    bool RenderPage(int page);

    const engine::EngineControl& engine_;
    QSize maxPixels_;
    std::unique_ptr<Poppler::Document> document_;
    bool documentFailed_ = false;
    int renderedPage_ = -1;
    QImage pageImage_;
    double pixelsPerPoint_ = 1;
};

}  // namespace quill::widget
