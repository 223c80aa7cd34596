#include "session/main_window_layout.h"
#include "session/session_names.h"

#include <algorithm>

namespace quill::session {

namespace {

constexpr int kToolWidth = 31;
constexpr int kToolHeight = 28;
constexpr int kWorkflowSize = 35;
constexpr int kWorkflowHeight = 34;
constexpr int kFirstViewButtonY = 251;
constexpr int kViewButtonStep = 30;

// The tool buttons above the view buttons: index and top.
constexpr std::array<std::pair<int, int>, 8> kToolTops = {{{kButtonHand, 11},
                                                           {kButtonDrawing, 41},
                                                           {kButtonText, 71},
                                                           {kButtonNote, 101},
                                                           {kButtonHighlight, 131},
                                                           {kButtonStrikeout, 161},
                                                           {kButtonAttachment, 191},
                                                           {kButtonMeasuring, 221}}};

}  // namespace

int VisibleViewButtons(int clientHeight) {
    const int h = clientHeight - 258;
    if (h > 491) return kAllViewButtonsFit;
    if (h < 320) return 0;
    if (h <= 350) return 1;
    // From 351 one more for each further 30 pixels: 351-380 two ... 471-491 six.
    return std::min(6, 2 + (h - 351) / 30);
}

MainWindowLayout ComputeMainWindowLayout(const MainWindowLayoutInput& in) {
    MainWindowLayout out;
    const int W = in.width;
    const int H = in.height;
    const bool toolsShown = in.viewerReady && !in.busy;

    out.spinner = {0, 0, W, H, in.busy};

    const bool scrolls = static_cast<long long>(in.commentCount) * kCommentCardHeight > H - 104;
    out.commentList = {12, 92, scrolls ? 222 : 203, std::max(0, H - 104), !in.busy};

    const int viewerTop = in.fontBarShown ? 25 : 0;
    out.viewer = {246, viewerTop, std::max(0, W - 306), std::max(0, H - viewerTop), !in.busy};

    const int toolX = W - 38;
    for (const auto& [index, top] : kToolTops)
        out.buttons[static_cast<size_t>(index)] = {toolX, top, kToolWidth, kToolHeight, toolsShown};
    // The image tool is not offered.
    out.buttons[kButtonImage] = {toolX, 0, kToolWidth, kToolHeight, false};

    out.visibleViewButtons = VisibleViewButtons(H);
    const int shownViews =
        out.visibleViewButtons == kAllViewButtonsFit ? kViewButtons : out.visibleViewButtons;
    for (int i = 0; i < kViewButtons; ++i) {
        out.buttons[static_cast<size_t>(kButtonZoomIn + i)] = {
            toolX, kFirstViewButtonY + i * kViewButtonStep, kToolWidth, kToolHeight,
            toolsShown && i < shownViews};
    }
    // The more menu always holds the resolution sheet, so the button shows even when every
    // view button fits.
    out.buttons[kButtonMore] = {toolX, H - 258 - 28, kToolWidth, kToolHeight, toolsShown};

    const int flowX = W - 39;
    out.buttons[kButtonCheck] = {flowX, H - 145, kWorkflowSize, kWorkflowHeight, toolsShown};
    out.buttons[kButtonPublish] = {flowX, H - 95, kWorkflowSize, kWorkflowHeight, toolsShown};
    out.buttons[kButtonPublishToParent] = {flowX, H - 95, kWorkflowSize, kWorkflowHeight, false};
    out.buttons[kButtonFinish] = {flowX, H - 45, kWorkflowSize, kWorkflowHeight, toolsShown};
    return out;
}

}  // namespace quill::session
