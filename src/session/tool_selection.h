// The main window's tool state: which tool is chosen, the remembered drawing and measuring
// sub-tools, and the cycles of the fit, rotation and show-all buttons.
#pragma once
#include "session/session_names.h"

#include <cstdint>
#include <string>

namespace quill::session {

// The tools of the tool bar, by currentTool.
enum MainTool : int {
    kToolHand = 0,
    kToolDrawing = 1,
    kToolMeasuring = 2,
    kToolText = 3,
    kToolNote = 4,
    kToolHighlight = 5,
    kToolStrikeout = 6,
    kToolImage = 7,
    kToolAttachment = 8,
    kToolZoomIn = 9,
    kToolZoomOut = 10,
    kToolFindText = 11,
};

class ToolSelection {
public:
    static constexpr int kDrawingSubTools = 8;
    static constexpr int kMeasuringSubTools = 3;

    int CurrentTool() const { return currentTool_; }
    int DrawingSubTool() const { return drawingSubTool_; }
    int MeasuringSubTool() const { return measuringSubTool_; }
    // The remembered drawing sub-tool from the settings file; outside 0-7 reads 0.
    void SetDrawingSubTool(int subTool);

    // A tool button other than drawing and measuring (tools 0, 3 to 11): the viewer tool name.
    std::string SelectTool(int tool);
    // The drawing or measuring button itself: the remembered sub-tool.
    std::string SelectDrawing();
    std::string SelectMeasuring();
    // A choice of the drawing menu (0 "Cloudy" to 7 "Pencil") or the measuring menu (0
    // "Distance" to 2 "Area"); an index outside the menu gives an empty name and changes
    // nothing.
    std::string ChooseDrawing(int subTool);
    std::string ChooseMeasuring(int subTool);

    // Each press gives the next value: fit 0, 1, 2, 0...; rotation 1, 2, 3, 0, 1...;
    // show all 1, 0, 1...
    int32_t NextFitMode();
    int16_t NextRotation();
    int NextShowAll();

    // Labels of the two menus, in their order.
    static const char* DrawingMenuLabel(int subTool);
    static const char* MeasuringMenuLabel(int subTool);

private:
    int currentTool_ = kToolHand;
    int drawingSubTool_ = 0;
    int measuringSubTool_ = 0;
    int fitPresses_ = 0;
    int rotationPresses_ = 0;
    int showAllPresses_ = 0;
};

}  // namespace quill::session
