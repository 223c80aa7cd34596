// Paints an annotation's drawing (the engine's vector paths and images) with QPainter.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QColor>
#include <QPainterPath>
#include <QTransform>

#include "viewer/engine/annot_drawing.h"

class QPainter;

namespace quill::widget {

QColor ToQColor(const engine::RgbColor& c, double opacity = 1.0);
// 0x00BBGGRR <-> QColor
QColor FromBgr(int32_t bgr);
int32_t ToBgr(const QColor& c);

QPainterPath ToPainterPath(const engine::DrawPath& path);

// pageToDevice maps page space (points, y up) to the painter's coordinates.
void PaintDrawing(QPainter& painter, const engine::AnnotDrawing& drawing,
                  const QTransform& pageToDevice);

}  // namespace quill::widget
