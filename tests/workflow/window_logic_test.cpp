// The main window's logic that needs no window: layout, tool cycles, the go-to point and the
// font settings file.
#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <sstream>

#include "session/comment_goto.h"
#include "session/font_settings.h"
#include "session/main_window_layout.h"
#include "session/tool_selection.h"
#include "support/temp_dir.h"

using namespace quill;
using namespace quill::session;

namespace {

MainWindowLayout LayoutAt(int width, int height, int comments = 0, bool busy = false,
                          bool fontBar = false) {
    MainWindowLayoutInput input;
    input.width = width;
    input.height = height;
    input.viewerReady = true;
    input.busy = busy;
    input.fontBarShown = fontBar;
    input.commentCount = comments;
    return ComputeMainWindowLayout(input);
}

int ShownViewButtons(const MainWindowLayout& layout) {
    int shown = 0;
    for (int i = kButtonZoomIn; i <= kButtonPrinter; ++i)
        if (layout.buttons[static_cast<size_t>(i)].visible) ++shown;
    return shown;
}

TEST(MainWindowLayout, ViewButtonsOverflowIntoTheMoreMenuByClientHeight) {
    // 800 high: h = 542, every view button fits; the more button stays for the sheet.
    MainWindowLayout tall = LayoutAt(1280, 800);
    EXPECT_EQ(tall.visibleViewButtons, kAllViewButtonsFit);
    EXPECT_EQ(ShownViewButtons(tall), 7);
    EXPECT_EQ(tall.buttons[kButtonMore], (LayoutBox{1242, 542 - 28, 31, 28, true}));
    EXPECT_EQ(tall.buttons[kButtonPrinter], (LayoutBox{1242, 431, 31, 28, true}));

    // 750: h = 492 still fits all; 749: h = 491 shows six and the more button.
    EXPECT_EQ(LayoutAt(1280, 750).visibleViewButtons, kAllViewButtonsFit);
    MainWindowLayout edge = LayoutAt(1280, 749);
    EXPECT_EQ(edge.visibleViewButtons, 6);
    EXPECT_EQ(ShownViewButtons(edge), 6);
    EXPECT_EQ(edge.buttons[kButtonMore], (LayoutBox{1242, 463, 31, 28, true}));

    // 700: h = 442 shows five; "All" and "Printer" go to the more menu.
    MainWindowLayout low = LayoutAt(1280, 700);
    EXPECT_EQ(low.visibleViewButtons, 5);
    EXPECT_TRUE(low.buttons[kButtonRotation].visible);
    EXPECT_FALSE(low.buttons[kButtonAll].visible);
    EXPECT_FALSE(low.buttons[kButtonPrinter].visible);
    EXPECT_EQ(low.buttons[kButtonMore].y, 442 - 28);

    // The band edges.
    EXPECT_EQ(VisibleViewButtons(258 + 319), 0);
    EXPECT_EQ(VisibleViewButtons(258 + 320), 1);
    EXPECT_EQ(VisibleViewButtons(258 + 350), 1);
    EXPECT_EQ(VisibleViewButtons(258 + 351), 2);
    EXPECT_EQ(VisibleViewButtons(258 + 410), 3);
    EXPECT_EQ(VisibleViewButtons(258 + 411), 4);
    EXPECT_EQ(VisibleViewButtons(258 + 471), 6);
}

TEST(MainWindowLayout, ToolAndWorkflowButtonsSitWhereReviewersExpectThem) {
    MainWindowLayout layout = LayoutAt(1000, 800);
    EXPECT_EQ(layout.buttons[kButtonHand], (LayoutBox{962, 11, 31, 28, true}));
    EXPECT_EQ(layout.buttons[kButtonDrawing].y, 41);
    EXPECT_EQ(layout.buttons[kButtonText].y, 71);
    EXPECT_EQ(layout.buttons[kButtonAttachment].y, 191);
    EXPECT_EQ(layout.buttons[kButtonMeasuring].y, 221);
    EXPECT_EQ(layout.buttons[kButtonZoomIn].y, 251);
    EXPECT_FALSE(layout.buttons[kButtonImage].visible);
    EXPECT_EQ(layout.buttons[kButtonCheck], (LayoutBox{961, 655, 35, 34, true}));
    EXPECT_EQ(layout.buttons[kButtonPublish], (LayoutBox{961, 705, 35, 34, true}));
    EXPECT_EQ(layout.buttons[kButtonFinish], (LayoutBox{961, 755, 35, 34, true}));
    EXPECT_FALSE(layout.buttons[kButtonPublishToParent].visible);

    EXPECT_EQ(layout.viewer, (LayoutBox{246, 0, 694, 800, true}));
    EXPECT_EQ(LayoutAt(1000, 800, 0, false, true).viewer, (LayoutBox{246, 25, 694, 775, true}));

    // The list widens for its scroll bar once its cards need more than its height.
    EXPECT_EQ(LayoutAt(1000, 800, 8).commentList.width, 203);  // 656 <= 696
    EXPECT_EQ(LayoutAt(1000, 800, 9).commentList.width, 222);  // 738 > 696
    EXPECT_EQ(layout.commentList, (LayoutBox{12, 92, 203, 696, true}));
}

TEST(MainWindowLayout, BusyHidesEverythingButTheSpinnerAndKeepsTheViewerGeometry) {
    MainWindowLayout busy = LayoutAt(1000, 800, 3, true);
    EXPECT_EQ(busy.spinner, (LayoutBox{0, 0, 1000, 800, true}));
    EXPECT_FALSE(busy.commentList.visible);
    // Hidden, not shrunk to nothing: the reader keeps page and zoom.
    EXPECT_FALSE(busy.viewer.visible);
    EXPECT_EQ(busy.viewer.width, 694);
    for (const LayoutBox& button : busy.buttons) EXPECT_FALSE(button.visible);

    MainWindowLayoutInput loading;
    loading.width = 1000;
    loading.height = 800;
    MainWindowLayout notReady = ComputeMainWindowLayout(loading);
    EXPECT_FALSE(notReady.buttons[kButtonHand].visible);
    EXPECT_FALSE(notReady.buttons[kButtonFinish].visible);
}

TEST(ToolSelection, CyclesAndSubToolsGiveTheViewerToolNames) {
    ToolSelection tools;
    std::ostringstream fits, rotations, shows;
    for (int i = 0; i < 4; ++i) fits << tools.NextFitMode();
    for (int i = 0; i < 5; ++i) rotations << tools.NextRotation();
    for (int i = 0; i < 3; ++i) shows << tools.NextShowAll();
    EXPECT_EQ(fits.str(), "0120");
    EXPECT_EQ(rotations.str(), "12301");
    EXPECT_EQ(shows.str(), "101");

    EXPECT_EQ(tools.SelectDrawing(), "Cloudy Tool");
    EXPECT_EQ(tools.ChooseDrawing(6), "Polyline Tool");
    EXPECT_EQ(tools.SelectTool(kToolHand), "Hand Tool");
    // The button re-selects the remembered sub-tool in its own spelling.
    EXPECT_EQ(tools.SelectDrawing(), "PolyLine Tool");
    EXPECT_EQ(tools.CurrentTool(), kToolDrawing);
    EXPECT_EQ(tools.ChooseMeasuring(2), "Area Tool");
    EXPECT_EQ(tools.SelectMeasuring(), "Area Tool");
    EXPECT_EQ(tools.SelectTool(kToolText), "CallOut");
    EXPECT_EQ(tools.SelectTool(kToolAttachment), "FileAttachment Tool");

    // Out of range: nothing changes, never a read past the tables.
    EXPECT_EQ(tools.ChooseDrawing(8), "");
    EXPECT_EQ(tools.ChooseMeasuring(-1), "");
    EXPECT_EQ(tools.SelectTool(12), "");
    tools.SetDrawingSubTool(12);
    EXPECT_EQ(tools.DrawingSubTool(), 0);
    tools.SetDrawingSubTool(-1);
    EXPECT_EQ(tools.SelectDrawing(), "Cloudy Tool");
}

TEST(CommentGoTo, TargetPointFollowsThePageRotation) {
    // Rectangle (100, 200)-(300, 400) on a 600 x 800 page.
    EXPECT_EQ(GoToCommentPoint(100, 200, 300, 400, 600, 800, 0), (GoToPoint{100, 400}));
    EXPECT_EQ(GoToCommentPoint(100, 200, 300, 400, 600, 800, 1), (GoToPoint{75, 266}));
    EXPECT_EQ(GoToCommentPoint(100, 200, 300, 400, 600, 800, 2), (GoToPoint{300, 200}));
    EXPECT_EQ(GoToCommentPoint(100, 200, 300, 400, 600, 800, 3), (GoToPoint{390, 236}));
    // A page without size cannot be divided by: the unrotated corner.
    EXPECT_EQ(GoToCommentPoint(100, 200, 300, 400, 0, 0, 1), (GoToPoint{100, 400}));
    // Coordinates out of any int's range are clamped, never undefined.
    EXPECT_EQ(GoToCommentPoint(1e300, 0, 0, -1e300, 600, 800, 0),
              (GoToPoint{std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}));
}

TEST(FontSettingsFile, RoundTripsAndReadsHostileValuesAsDefaults) {
    testsupport::TempDir dir;
    const std::string path = (dir / FontSettings::kFileName).string();

    EXPECT_EQ(ReadFontSettings(path), FontSettings{});  // no file
    FontSettings saved;
    saved.face = "Liberation Sans";
    saved.size = 24;
    saved.colour = 0x00FF8040;
    saved.drawingSubTool = 7;
    ASSERT_TRUE(WriteFontSettings(path, saved));
    EXPECT_EQ(ReadFontSettings(path), saved);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Liberation Sans\n24\n16744512\n7\n");

    auto readBack = [&](const std::string& contents) {
        std::ofstream(path, std::ios::trunc) << contents;
        return ReadFontSettings(path);
    };
    FontSettings hostile = readBack("Arial\n-5\n4294967295\n12\n");
    EXPECT_EQ(hostile.size, 16);
    EXPECT_EQ(hostile.colour, 0xFFFFFFu);
    EXPECT_EQ(hostile.drawingSubTool, 0);
    hostile = readBack("Arial\nbig\n\n-1\n");
    EXPECT_EQ(hostile.size, 16);
    EXPECT_EQ(hostile.colour, FontSettings::kDefaultColour);
    EXPECT_EQ(hostile.drawingSubTool, 0);
    EXPECT_EQ(readBack("Arial\n12\n"), FontSettings{});  // fewer than four lines
    // An overlong face line is cut, and the next line is still the size.
    FontSettings longFace = readBack(std::string(400, 'x') + "\n20\n0\n3\n");
    EXPECT_EQ(longFace.face.size(), 149u);
    EXPECT_EQ(longFace.size, 20);
    EXPECT_EQ(longFace.drawingSubTool, 3);
}

}  // namespace
