#include "session/tool_selection.h"
#include "session/session_names.h"

#include <array>

namespace quill::session {

namespace {

// The drawing menu's names; the button itself spells the polyline tool "PolyLine Tool", and
// the control takes both.
constexpr std::array<const char*, ToolSelection::kDrawingSubTools> kDrawingMenuTools = {
    "Cloudy Tool",  "Arrow Tool",   "Line Tool",     "Rectangle Tool",
    "Ellipse Tool", "Polygon Tool", "Polyline Tool", "Pencil Tool"};
constexpr std::array<const char*, ToolSelection::kDrawingSubTools> kDrawingButtonTools = {
    "Cloudy Tool",  "Arrow Tool",   "Line Tool",     "Rectangle Tool",
    "Ellipse Tool", "Polygon Tool", "PolyLine Tool", "Pencil Tool"};
constexpr std::array<const char*, ToolSelection::kDrawingSubTools> kDrawingLabels = {
    "Cloudy", "Arrow", "Line", "Rectangle", "Circle", "Polygon", "Polyline", "Pencil"};
constexpr std::array<const char*, ToolSelection::kMeasuringSubTools> kMeasuringTools = {
    "Distance Tool", "Perimeter Tool", "Area Tool"};
constexpr std::array<const char*, ToolSelection::kMeasuringSubTools> kMeasuringLabels = {
    "Distance", "Perimeter", "Area"};

// Tools 0 and 3 to 11 by currentTool; 1 and 2 go through their sub-tools.
constexpr std::array<const char*, 12> kPlainTools = {"Hand Tool",
                                                     "",
                                                     "",
                                                     "CallOut",
                                                     "Note Tool",
                                                     "Highlight Tool",
                                                     "Strikeout Tool",
                                                     "Image Tool",
                                                     "FileAttachment Tool",
                                                     "ZoomIn Tool",
                                                     "ZoomOut Tool",
                                                     "Find Text Tool"};

}  // namespace

void ToolSelection::SetDrawingSubTool(int subTool) {
    drawingSubTool_ = subTool >= 0 && subTool < kDrawingSubTools ? subTool : 0;
}

std::string ToolSelection::SelectTool(int tool) {
    if (tool == kToolDrawing) return SelectDrawing();
    if (tool == kToolMeasuring) return SelectMeasuring();
    if (tool < 0 || tool >= static_cast<int>(kPlainTools.size())) return {};
    currentTool_ = tool;
    return kPlainTools[static_cast<size_t>(tool)];
}

std::string ToolSelection::SelectDrawing() {
    currentTool_ = kToolDrawing;
    return kDrawingButtonTools[static_cast<size_t>(drawingSubTool_)];
}

std::string ToolSelection::SelectMeasuring() {
    currentTool_ = kToolMeasuring;
    return kMeasuringTools[static_cast<size_t>(measuringSubTool_)];
}

std::string ToolSelection::ChooseDrawing(int subTool) {
    if (subTool < 0 || subTool >= kDrawingSubTools) return {};
    drawingSubTool_ = subTool;
    currentTool_ = kToolDrawing;
    return kDrawingMenuTools[static_cast<size_t>(subTool)];
}

std::string ToolSelection::ChooseMeasuring(int subTool) {
    if (subTool < 0 || subTool >= kMeasuringSubTools) return {};
    measuringSubTool_ = subTool;
    currentTool_ = kToolMeasuring;
    return kMeasuringTools[static_cast<size_t>(subTool)];
}

int32_t ToolSelection::NextFitMode() {
    const int mode = fitPresses_;
    fitPresses_ = (fitPresses_ + 1) % 3;
    return mode;
}

int16_t ToolSelection::NextRotation() {
    rotationPresses_ = (rotationPresses_ + 1) % 4;
    return static_cast<int16_t>(rotationPresses_);
}

int ToolSelection::NextShowAll() {
    showAllPresses_ = (showAllPresses_ + 1) % 2;
    return showAllPresses_;
}

const char* ToolSelection::DrawingMenuLabel(int subTool) {
    return subTool >= 0 && subTool < kDrawingSubTools ? kDrawingLabels[static_cast<size_t>(subTool)]
                                                      : "";
}

const char* ToolSelection::MeasuringMenuLabel(int subTool) {
    return subTool >= 0 && subTool < kMeasuringSubTools
               ? kMeasuringLabels[static_cast<size_t>(subTool)]
               : "";
}

}  // namespace quill::session
