// AnnotGeometry: where an annotation lies on its page, for hit tests and edit handles.
#pragma once
#include "viewer/engine/engine_names.h"

#include <optional>
#include <vector>

#include "control/annot_tool.h"
#include "viewer/engine/page_geometry.h"

namespace quill::engine {

struct AnnotGeometry {
    std::optional<AnnotTool> tool;  // none for an annotation of another kind
    int page = -1;
    RectF rect;  // /Rect
    // The shape's own box, what ResizeAnnot changes: the inner rectangle of a rectangle or
    // ellipse, the text box of a call-out, the bounds of the vertices, the icon's box.
    RectF box;
    std::vector<PointF> points;  // vertices, line ends (/L) or the call-out line (/CL)
    std::vector<std::vector<PointF>> strokes;  // pencil
    std::vector<Quad> quads;                   // highlight, strike-out
};

}  // namespace quill::engine
