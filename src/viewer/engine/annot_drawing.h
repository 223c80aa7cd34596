// AnnotDrawing: an annotation's look as vector paths, the same the saved appearance
// streams are made of, so that the widget draws exactly what other viewers show.
#pragma once
#include "viewer/engine/engine_names.h"

#include <memory>
#include <string>
#include <vector>

#include "viewer/engine/page_geometry.h"

namespace quill::engine {

struct RgbColor {
    double r = 0, g = 0, b = 0;  // 0..1
    bool operator==(const RgbColor&) const = default;
};

struct PathSegment {
    enum Kind { MoveTo, LineTo, CurveTo, Close };
    Kind kind = MoveTo;
    PointF p[3];  // LineTo, MoveTo: p[0]; CurveTo: control points p[0], p[1], end p[2]
};

struct DrawPath {
    std::vector<PathSegment> segments;
    bool stroke = false;
    bool fill = false;
    bool evenOdd = false;
    RgbColor strokeColor;
    RgbColor fillColor;
    double width = 1;
    std::vector<double> dash;  // empty: solid
    double opacity = 1;
    bool multiply = false;  // highlight: blend with the page (Multiply)
    bool roundJoins = false;
};

struct DrawImage {
    RectF rect;  // where the image is placed, page space
    int width = 0;
    int height = 0;
    std::shared_ptr<const std::string> rgb;  // width * height * 3 bytes, rows from the top
};

struct AnnotDrawing {
    RectF bbox;  // page space; the annotation's /Rect
    std::vector<DrawPath> paths;
    std::vector<DrawImage> images;
};

}  // namespace quill::engine
