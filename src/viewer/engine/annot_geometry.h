// AnnotGeometry: where an annotation lies on its page, for hit tests and edit handles.
#pragma once

#include <optional>
#include <vector>

#include "viewer/control/annot_tool.h"
#include "viewer/engine/page_geometry.h"

namespace viewer::engine {

struct AnnotGeometry {
    std::optional<AnnotTool> tool;  // none for an annotation of another kind
    int page = -1;
    RectF rect;                  // /Rect
    std::vector<PointF> points;  // vertices, line ends (/L) or the call-out line (/CL)
    std::vector<std::vector<PointF>> strokes;  // pencil
    std::vector<Quad> quads;                   // highlight, strike-out
    RectF textBox;                             // call-out: the box the text is in
};

}  // namespace viewer::engine
