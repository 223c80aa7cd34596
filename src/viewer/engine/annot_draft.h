// AnnotDraft: what the widget hands the engine to create a comment of one tool.
#pragma once
#include "viewer/engine/engine_names.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "control/annot_tool.h"
#include "viewer/engine/page_geometry.h"

namespace quill::engine {

// Scale of a measurement: `factor` page points make one `unit` ("1 in = 1 in" by default:
// 72 points per inch).
struct MeasureScale {
    std::string ratioText = "1 in = 1 in";
    std::string unit = "in";
    double unitsPerPoint = 1.0 / 72.0;
};

struct TextStyle {
    std::string face = "Arial";
    double size = 12;
    int32_t color = 0x000000;  // 0x00BBGGRR
};

struct AnnotStyle {
    int32_t color = 0x0000FF;  // 0x00BBGGRR, red
    double width = 1;
    int16_t borderStyle = 1;           // 1-9; a cloud gets 9 when left at 1
    std::optional<int32_t> fillColor;  // interior colour of closed shapes
    double opacity = 1;
};

// Geometry by tool (page space):
//  Line, Arrow, Distance   points: start, end (the arrow head is at the end)
//  Polygon, Cloudy, Area   points: vertices (3 or more)
//  PolyLine, Perimeter     points: vertices (2 or more)
//  Rectangle, Circle       rect
//  Pencil                  strokes (each 2 points or more)
//  Callout                 rect: the text box; points: the callout line, from the target
//                          point to the box (2 or 3 points)
//  Note, FileAttachment    rect: the icon (a 20 x 20 box at the click when empty)
//  Highlight, StrikeOut    quads (one per line of text; see EngineControl::TextQuadsIn)
//  Image                   rect, image
struct AnnotDraft {
    AnnotTool tool = AnnotTool::Rectangle;
    int32_t page = 0;
    std::vector<PointF> points;
    RectF rect;
    std::vector<std::vector<PointF>> strokes;
    std::vector<Quad> quads;
    std::string contents;  // system code page
    std::string author;    // empty: the control's default author
    AnnotStyle style;
    TextStyle text;  // call-out text; empty face takes the control's text font
    bool useControlTextFont = true;
    MeasureScale scale;
    // File attachment: the file's name and bytes.
    std::string fileName;
    std::string fileBytes;
    // Image: width x height pixels, 3 bytes (R, G, B) each, rows from the top.
    int imageWidth = 0;
    int imageHeight = 0;
    std::string imageRgb;
};

}  // namespace quill::engine
