// The comment tools that draw annotations: their codes, tool names and subjects.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quill::control {

// The code is the client's tool type code (0 cloudy to 16 image).
enum class AnnotTool {
    Cloudy = 0,
    Arrow = 1,
    Line = 2,
    Rectangle = 3,
    Circle = 4,
    Polygon = 5,
    PolyLine = 6,
    Pencil = 7,
    Distance = 8,
    Perimeter = 9,
    Area = 10,
    Callout = 11,
    Note = 12,
    FileAttachment = 13,
    Highlight = 14,
    StrikeOut = 15,
    Image = 16,
};

inline constexpr int kAnnotToolCount = 17;

// The name the control reports for the tool that drew an annotation:
// "Cloudy", "Arrow", "Line", "Rectangle", "Circle", "Polygon", "PolyLine", "Pencil",
// "Distance", "Perimeter", "Area", "Callout", "Note", "FileAttachment", "Highlight",
// "StrikeOut", "Image".
const char* AnnotToolName(AnnotTool tool);

// The subject a new annotation of the tool carries ("cloudy", "arrow", "line", "rectangle",
// "circle", "polygon", "polygon line", "pencil", "distance measurement",
// "perimeter measurement", "area measurement", "callout", "note", "file attachment",
// "highlight", "strikeout", "image").
const char* AnnotToolSubject(AnnotTool tool);

std::optional<AnnotTool> AnnotToolFromName(std::string_view name);
std::optional<AnnotTool> AnnotToolFromCode(int code);

}  // namespace quill::control
