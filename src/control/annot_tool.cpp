#include "control/annot_tool.h"

#include <array>

namespace quill::control {
namespace {

struct ToolNames {
    const char* name;
    const char* subject;
};

// In code order.
constexpr std::array<ToolNames, kAnnotToolCount> kTools = {{
    {"Cloudy", "cloudy"},
    {"Arrow", "arrow"},
    {"Line", "line"},
    {"Rectangle", "rectangle"},
    {"Circle", "circle"},
    {"Polygon", "polygon"},
    {"PolyLine", "polygon line"},
    {"Pencil", "pencil"},
    {"Distance", "distance measurement"},
    {"Perimeter", "perimeter measurement"},
    {"Area", "area measurement"},
    {"Callout", "callout"},
    {"Note", "note"},
    {"FileAttachment", "file attachment"},
    {"Highlight", "highlight"},
    {"StrikeOut", "strikeout"},
    {"Image", "image"},
}};

}  // namespace

const char* AnnotToolName(AnnotTool tool) { return kTools[static_cast<int>(tool)].name; }

const char* AnnotToolSubject(AnnotTool tool) { return kTools[static_cast<int>(tool)].subject; }

std::optional<AnnotTool> AnnotToolFromName(std::string_view name) {
    for (int i = 0; i < kAnnotToolCount; ++i) {
        if (name == kTools[i].name) return static_cast<AnnotTool>(i);
    }
    return std::nullopt;
}

std::optional<AnnotTool> AnnotToolFromCode(int code) {
    if (code < 0 || code >= kAnnotToolCount) return std::nullopt;
    return static_cast<AnnotTool>(code);
}

}  // namespace quill::control
