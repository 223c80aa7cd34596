#include "control/viewer_tool.h"

#include <utility>

namespace quill::control {
namespace {

constexpr std::array<std::pair<std::string_view, ViewerTool>, 22> kNames = {{
    {"Hand Tool", ViewerTool::Hand},
    {"Cloudy Tool", ViewerTool::Cloudy},
    {"Arrow Tool", ViewerTool::Arrow},
    {"Line Tool", ViewerTool::Line},
    {"Rectangle Tool", ViewerTool::Rectangle},
    {"Ellipse Tool", ViewerTool::Ellipse},
    {"Polygon Tool", ViewerTool::Polygon},
    {"Polyline Tool", ViewerTool::PolyLine},
    {"PolyLine Tool", ViewerTool::PolyLine},
    {"Pencil Tool", ViewerTool::Pencil},
    {"Distance Tool", ViewerTool::Distance},
    {"Perimeter Tool", ViewerTool::Perimeter},
    {"Area Tool", ViewerTool::Area},
    {"CallOut", ViewerTool::CallOut},
    {"Note Tool", ViewerTool::Note},
    {"Highlight Tool", ViewerTool::Highlight},
    {"Strikeout Tool", ViewerTool::Strikeout},
    {"Image Tool", ViewerTool::Image},
    {"FileAttachment Tool", ViewerTool::FileAttachment},
    {"ZoomIn Tool", ViewerTool::ZoomIn},
    {"ZoomOut Tool", ViewerTool::ZoomOut},
    {"Find Text Tool", ViewerTool::FindText},
}};

}  // namespace

const std::array<std::string_view, 22>& ViewerToolNames() {
    static const std::array<std::string_view, 22> names = [] {
        std::array<std::string_view, 22> out{};
        for (size_t i = 0; i < kNames.size(); ++i) out[i] = kNames[i].first;
        return out;
    }();
    return names;
}

std::optional<ViewerTool> ViewerToolFromName(std::string_view name) {
    for (const auto& [text, tool] : kNames) {
        if (text == name) return tool;
    }
    return std::nullopt;
}

std::optional<AnnotTool> AnnotToolOf(ViewerTool tool) {
    switch (tool) {
        case ViewerTool::Cloudy:
            return AnnotTool::Cloudy;
        case ViewerTool::Arrow:
            return AnnotTool::Arrow;
        case ViewerTool::Line:
            return AnnotTool::Line;
        case ViewerTool::Rectangle:
            return AnnotTool::Rectangle;
        case ViewerTool::Ellipse:
            return AnnotTool::Circle;
        case ViewerTool::Polygon:
            return AnnotTool::Polygon;
        case ViewerTool::PolyLine:
            return AnnotTool::PolyLine;
        case ViewerTool::Pencil:
            return AnnotTool::Pencil;
        case ViewerTool::Distance:
            return AnnotTool::Distance;
        case ViewerTool::Perimeter:
            return AnnotTool::Perimeter;
        case ViewerTool::Area:
            return AnnotTool::Area;
        case ViewerTool::CallOut:
            return AnnotTool::Callout;
        case ViewerTool::Note:
            return AnnotTool::Note;
        case ViewerTool::Highlight:
            return AnnotTool::Highlight;
        case ViewerTool::Strikeout:
            return AnnotTool::StrikeOut;
        case ViewerTool::Image:
            return AnnotTool::Image;
        case ViewerTool::FileAttachment:
            return AnnotTool::FileAttachment;
        case ViewerTool::Hand:
        case ViewerTool::ZoomIn:
        case ViewerTool::ZoomOut:
        case ViewerTool::FindText:
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace quill::control
