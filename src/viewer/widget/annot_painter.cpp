#include "viewer/widget/annot_painter.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <cmath>

namespace quill::widget {

QColor ToQColor(const engine::RgbColor& c, double opacity) {
    QColor q;
    q.setRgbF(static_cast<float>(std::clamp(c.r, 0.0, 1.0)),
              static_cast<float>(std::clamp(c.g, 0.0, 1.0)),
              static_cast<float>(std::clamp(c.b, 0.0, 1.0)),
              static_cast<float>(std::clamp(opacity, 0.0, 1.0)));
    return q;
}

QColor FromBgr(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

int32_t ToBgr(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

QPainterPath ToPainterPath(const engine::DrawPath& path) {
    QPainterPath p;
    for (const engine::PathSegment& s : path.segments) {
        switch (s.kind) {
            case engine::PathSegment::MoveTo:
                p.moveTo(s.p[0].x, s.p[0].y);
                break;
            case engine::PathSegment::LineTo:
                p.lineTo(s.p[0].x, s.p[0].y);
                break;
            case engine::PathSegment::CurveTo:
                p.cubicTo(s.p[0].x, s.p[0].y, s.p[1].x, s.p[1].y, s.p[2].x, s.p[2].y);
                break;
            case engine::PathSegment::Close:
                p.closeSubpath();
                break;
        }
    }
    p.setFillRule(path.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    return p;
}

void PaintDrawing(QPainter& painter, const engine::AnnotDrawing& drawing,
                  const QTransform& pageToDevice) {
    painter.save();
    const QTransform base = painter.transform();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // The width scale of the transform, for pens given in points.
    const double scale = std::sqrt(std::abs(pageToDevice.determinant()));
    for (const engine::DrawImage& img : drawing.images) {
        if (!img.rgb || img.width <= 0 || img.height <= 0) continue;
        const size_t need = static_cast<size_t>(img.width) * img.height * 3;
        if (img.rgb->size() < need) continue;
        QImage q(reinterpret_cast<const uchar*>(img.rgb->data()), img.width, img.height,
                 img.width * 3, QImage::Format_RGB888);
        // Image rows run from the top; page space runs up, so map the rectangle's corners.
        const QRectF r(QPointF(img.rect.x1, img.rect.y1), QPointF(img.rect.x2, img.rect.y2));
        painter.save();
        QTransform t = QTransform::fromTranslate(r.left(), r.bottom())
                           .scale(r.width() / img.width, -r.height() / img.height) *
                       pageToDevice * base;
        painter.setTransform(t, false);
        // Like poppler: enlarged four times or more, pixels stay sharp squares.
        const QRectF onDevice = t.mapRect(QRectF(0, 0, img.width, img.height));
        painter.setRenderHint(
            QPainter::SmoothPixmapTransform,
            onDevice.width() < 4 * img.width && onDevice.height() < 4 * img.height);
        painter.drawImage(QPointF(0, 0), q);
        painter.restore();
    }
    painter.setTransform(base);
    for (const engine::DrawPath& path : drawing.paths) {
        const QPainterPath device = pageToDevice.map(ToPainterPath(path));
        painter.setCompositionMode(path.multiply ? QPainter::CompositionMode_Multiply
                                                 : QPainter::CompositionMode_SourceOver);
        if (path.fill) {
            painter.fillPath(device, ToQColor(path.fillColor, path.opacity));
        }
        if (path.stroke) {
            QPen pen(ToQColor(path.strokeColor, path.opacity));
            pen.setWidthF(std::max(0.5, path.width * scale));
            pen.setJoinStyle(path.roundJoins ? Qt::RoundJoin : Qt::MiterJoin);
            pen.setCapStyle(path.roundJoins ? Qt::RoundCap : Qt::FlatCap);
            if (!path.dash.empty() && path.width > 0) {
                QList<qreal> pattern;
                for (double d : path.dash) pattern << std::max(0.01, d / path.width);
                if (pattern.size() % 2) pattern << pattern.back();
                pen.setDashPattern(pattern);
            }
            painter.strokePath(device, pen);
        }
    }
    painter.restore();
}

}  // namespace quill::widget
