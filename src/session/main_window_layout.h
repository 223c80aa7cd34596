// Where the main window's parts go for a client area of a given size: the comment list, the
// viewer, the tool bar with its overflow into the more menu, and the workflow buttons.
// Reviewers know the buttons by their place, so every position is fixed to the pixel.
#pragma once
#include "session/session_names.h"

#include <array>

namespace quill::session {

struct LayoutBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool visible = false;
    bool operator==(const LayoutBox&) const = default;
};

// Tool bar button indexes, in the order of the tool bar.
enum ToolBarButton : int {
    kButtonHand = 0,
    kButtonDrawing = 1,
    kButtonMeasuring = 2,
    kButtonText = 3,
    kButtonNote = 4,
    kButtonHighlight = 5,
    kButtonStrikeout = 6,
    kButtonImage = 7,
    kButtonAttachment = 8,
    kButtonZoomIn = 9,  // the first of the seven view buttons
    kButtonZoomOut = 10,
    kButtonFindText = 11,
    kButtonFit = 12,
    kButtonRotation = 13,
    kButtonAll = 14,
    kButtonPrinter = 15,  // the last view button
    kButtonMore = 16,
    kButtonCheck = 17,
    kButtonPublish = 18,
    kButtonPublishToParent = 19,
    kButtonFinish = 20,
    kToolBarButtons = 21,
};

inline constexpr int kViewButtons = 7;
inline constexpr int kAllViewButtonsFit = 8;  // visibleViewButtons when none overflows
inline constexpr int kCommentCardHeight = 82;

struct MainWindowLayoutInput {
    int width = 0;  // client area
    int height = 0;
    bool busy = false;
    bool viewerReady = false;
    bool fontBarShown = false;  // the text tool is selected
    int commentCount = 0;       // cards in the list
};

struct MainWindowLayout {
    LayoutBox spinner;
    LayoutBox commentList;
    LayoutBox viewer;
    std::array<LayoutBox, kToolBarButtons> buttons{};
    int visibleViewButtons = 0;
};

MainWindowLayout ComputeMainWindowLayout(const MainWindowLayoutInput& input);

// How many view buttons fit for a client height (8: all of them).
int VisibleViewButtons(int clientHeight);

}  // namespace quill::session
