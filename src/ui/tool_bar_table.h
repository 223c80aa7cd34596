// The main window's tool bar: each button's control id, picture and tooltip, in tool bar order.
#pragma once
#include "ui/ui_names.h"

#include <array>

#include "session/main_window_layout.h"

namespace quill::ui {

struct ToolBarEntry {
    int controlId;
    int bitmapId;
    const char* toolTip;  // nullptr: none
};

inline constexpr std::array<ToolBarEntry, kToolBarButtons> kToolBarEntries = {{
    {1019, 160, "Hand tool"},
    {1020, 159,
     "Drawing tools - The text in the notebox can't printing. If necessary, use Text Tool."},
    {1021, 159, "Measuring tools"},
    {1022, 156, "Text Tool - The text in the notebox can't printing. If necessary, use Text Tool."},
    {1023, 163, "Note tool"},
    {1024, 161, "Highlight Tool"},
    {1025, 198, "Strikeout Tool"},
    {1026, 162, "Image Tool"},
    {1027, 157, "File Attachment Tool"},
    {1028, 166, "ZoomIn Tool"},
    {1029, 167, "ZoomOut Tool"},
    {1030, 277, "Find Text Tool"},
    {1031, 158, "Fit to Page"},
    {1032, 165, "Rotation"},
    {1033, 262, "All"},
    {1034, 164, "Printer"},
    {1035, 168, nullptr},
    {1036, 169, "Check added comments newly."},
    {1037, 171, "Your review comments are published."},
    {1041, 288,
     "This collected comments of internal squad check are published to the original squad "
     "check."},
    {1038, 170, "This Squad Check is closed."},
}};

// The more menu: the view buttons that do not fit, with their commands and pictures.
struct MoreMenuEntry {
    const char* label;
    int command;
    int pictureId;
};
inline constexpr std::array<MoreMenuEntry, kViewButtons> kMoreMenuEntries = {{
    {"ZoomIn", 3024, 241},
    {"ZoomOut", 3014, 242},
    {"Find Text", 3015, 235},
    {"Fit to Page", 3016, 236},
    {"Rotation", 3017, 240},
    {"All", 3018, 237},
    {"Printer", 3019, 239},
}};

inline constexpr int kFirstDrawingCommand = 3003;    // "Cloudy" .. 3010 "Pencil"
inline constexpr int kFirstMeasuringCommand = 3011;  // "Distance" .. 3013 "Area"
// Sort menu commands by listSortKey 0 to 3.
inline constexpr int kResolutionSheetCommand = 3030;  // "Resolution sheet..." in the more menu
inline constexpr const char* kResolutionSheetLabel = "Resolution sheet...";
inline constexpr std::array<int, 4> kSortCommands = {3000, 3001, 3002, 3023};
inline constexpr std::array<const char*, 4> kSortLabels = {"Engineer", "Date", "Discipline",
                                                           "Review status"};
// The pictures of the drawing sub-tools 0 to 7 and the measuring sub-tools 0 to 2.
inline constexpr std::array<int, 8> kDrawingPictures = {186, 184, 188, 193, 185, 192, 191, 189};
inline constexpr std::array<int, 3> kMeasuringPictures = {187, 190, 183};

inline constexpr std::array<int, 16> kTextSizes = {8,  9,  10, 11, 12, 14, 16, 18,
                                                   20, 22, 24, 26, 28, 36, 48, 72};

}  // namespace quill::ui
