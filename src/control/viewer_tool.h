// The viewer's current-tool names (what the client puts into CurrentTool).
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "control/annot_tool.h"

namespace quill::control {

enum class ViewerTool {
    Hand,
    Cloudy,
    Arrow,
    Line,
    Rectangle,
    Ellipse,
    Polygon,
    PolyLine,
    Pencil,
    Distance,
    Perimeter,
    Area,
    CallOut,
    Note,
    Highlight,
    Strikeout,
    Image,
    FileAttachment,
    ZoomIn,
    ZoomOut,
    FindText,
};

// The 22 names the control accepts, exactly as the client writes them: "Hand Tool",
// "Cloudy Tool", "Arrow Tool", "Line Tool", "Rectangle Tool", "Ellipse Tool", "Polygon Tool",
// "Polyline Tool", "PolyLine Tool", "Pencil Tool", "Distance Tool", "Perimeter Tool",
// "Area Tool", "CallOut", "Note Tool", "Highlight Tool", "Strikeout Tool", "Image Tool",
// "FileAttachment Tool", "ZoomIn Tool", "ZoomOut Tool", "Find Text Tool".
const std::array<std::string_view, 22>& ViewerToolNames();

// Exact, case-sensitive; both spellings of the polyline tool give PolyLine.
std::optional<ViewerTool> ViewerToolFromName(std::string_view name);

// The annotation tool a viewer tool draws with; none for hand, zoom and find.
std::optional<AnnotTool> AnnotToolOf(ViewerTool tool);

}  // namespace quill::control
