// The control's view state, page facts and the widget's host calls.
#include <gtest/gtest.h>

#include "control/pdf_page.h"
#include "control/viewer_tool.h"
#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;

namespace {

using engine::EngineControl;

struct Host : engine::ViewHost {
    std::vector<std::string> log;
    bool printResult = true;
    void ViewStateChanged() override { log.push_back("view"); }
    void GoToPagePosition(int32_t p, double x, double y) override {
        log.push_back("goto " + std::to_string(p) + " " + std::to_string(int(x)) + " " +
                      std::to_string(int(y)));
    }
    void SelectAnnot(int32_t p, int32_t i) override {
        log.push_back("select " + std::to_string(p) + "," + std::to_string(i));
    }
    void PageChanged(int32_t p) override { log.push_back("page " + std::to_string(p)); }
    void DocumentChanged() override { log.push_back("document"); }
    bool Print() override {
        log.push_back("print");
        return printResult;
    }
};

TEST(ControlStateTest, ToolNamesRotationFitAndPrinting) {
    EXPECT_EQ(control::ViewerToolNames().size(), 22u);
    for (std::string_view name : control::ViewerToolNames())
        EXPECT_TRUE(control::ViewerToolFromName(name));
    EXPECT_EQ(control::ViewerToolFromName("PolyLine Tool"),
              control::ViewerToolFromName("Polyline Tool"));
    EXPECT_EQ(control::AnnotToolOf(*control::ViewerToolFromName("Ellipse Tool")),
              control::AnnotTool::Circle);
    EXPECT_FALSE(control::AnnotToolOf(control::ViewerTool::ZoomIn));

    EngineControl control;
    Host host;
    control.SetViewHost(&host);
    control.SetCurrentTool("Cloudy Tool");
    EXPECT_EQ(control.CurrentTool(), "Cloudy Tool");
    control.SetCurrentTool("cloudy tool");  // names are exact
    EXPECT_EQ(control.CurrentTool(), "Hand Tool");
    control.SetRotation(3);
    control.SetRotation(4);
    EXPECT_EQ(control.Rotation(), 3);
    control.SetFitMode(2);
    control.SetFitMode(-1);
    EXPECT_EQ(control.FitMode(), 2);
    EXPECT_FALSE(control.Printer().Print());  // nothing open
    const std::vector<std::string> expected = {"view", "view", "view", "view"};
    EXPECT_EQ(host.log, expected);

    testsupport::TempDir dir;
    ASSERT_TRUE(control.OpenFile(enginetest::MakeDrawing(dir, "d.pdf"), nullptr));
    EXPECT_TRUE(control.Printer().Print());
    host.printResult = false;
    EXPECT_FALSE(control.Printer().Print());
    control.SetViewHost(nullptr);
    EXPECT_FALSE(control.Printer().Print());
}

TEST(ControlStateTest, PageSizesFollowThePagesOwnRotation) {
    testsupport::TempDir dir;
    engine::SamplePdfOptions o;
    o.pageCount = 3;
    o.width = 842;
    o.height = 595;
    o.rotations = {0, 90, 270};
    EngineControl control;
    Host host;
    control.SetViewHost(&host);
    ASSERT_TRUE(control.OpenFile(enginetest::MakeDrawing(dir, "d.pdf", o), nullptr));
    EXPECT_EQ(control.PageCount(), 3);
    EXPECT_FLOAT_EQ(control.GetPageWidth(0), 842);
    EXPECT_FLOAT_EQ(control.GetPageHeight(0), 595);
    EXPECT_FLOAT_EQ(control.GetPageWidth(1), 595);
    EXPECT_FLOAT_EQ(control.GetPageHeight(1), 842);
    EXPECT_EQ(control.PageGeometryOf(2).rotate, 270);
    EXPECT_EQ(control.GetPageHeight(3), 0);
    EXPECT_FALSE(control.GetPage(3).IsValid());
    control.GoToPagePosition(2, 100.7f, 50.2f);
    control.GoToPagePosition(7, 0, 0);
    EXPECT_EQ(control.CurrentPage(), 2);
    control.NoteCurrentPage(1);
    EXPECT_EQ(control.CurrentPage(), 1);
    enginetest::CreateEveryTool(control, 0);
    control.SelectAnnot(0, 3);
    control.SelectAnnot(0, 40);
    control.CloseFile();
    EXPECT_EQ(control.PageCount(), 0);
    EXPECT_EQ(control.GetPage(0).AnnotCount(), 0);
    ASSERT_GE(host.log.size(), 4u);
    EXPECT_EQ(host.log[0], "document");
    EXPECT_EQ(host.log[1], "goto 2 100 50");
    EXPECT_EQ(host.log[host.log.size() - 2], "select 0,3");
    EXPECT_EQ(host.log.back(), "document");
}

TEST(ControlStateTest, WordsAreFoundWhereTheyStandOnTurnedPages) {
    testsupport::TempDir dir;
    engine::SamplePdfOptions o;
    o.pageCount = 4;
    o.rotations = {0, 90, 180, 270};
    EngineControl control;
    ASSERT_TRUE(control.OpenFile(enginetest::MakeDrawing(dir, "d.pdf", o), nullptr));
    for (int p = 0; p < 4; ++p) {
        // "GENERAL" is drawn from (40, height - 60) in 12 point Helvetica.
        const auto quads = control.TextQuadsIn(p, {30, 595 - 75, 100, 595 - 50});
        ASSERT_FALSE(quads.empty()) << "page " << p;
        const auto box = engine::BoundsOf({quads[0].begin(), quads[0].end()});
        EXPECT_NEAR(box.x1, 40, 2) << "page " << p;
        EXPECT_NEAR(box.y1, 595 - 60 - 3, 3) << "page " << p;
        EXPECT_GT(box.Width(), 40);
        EXPECT_LT(box.Height(), 16);
    }
    EXPECT_TRUE(control.TextQuadsIn(0, {300, 300, 310, 310}).empty());
}

TEST(ControlStateTest, TextFontGoesIntoNewCallouts) {
    testsupport::TempDir dir;
    EngineControl control;
    ASSERT_TRUE(control.OpenFile(enginetest::MakeDrawing(dir, "d.pdf"), nullptr));
    control::PdfTextFont font = control.GetTextFont();
    font.SetFaceName("Gulim");
    font.SetSize(18);
    font.SetColor(0x0000FF);
    font.SetSize(-3);  // refused
    engine::AnnotDraft s;
    s.tool = control::AnnotTool::Callout;
    s.rect = {100, 100, 300, 200};
    s.points = {{50, 50}, {100, 150}};
    s.contents = "text";
    const control::AnnotId id = control.CreateAnnot(s);
    ASSERT_NE(id, 0u);
    const std::string path = (dir / "c.fdf").string();
    ASSERT_TRUE(control.ExportAnnotsToFDFFile(path));
    const std::string fdf = testsupport::ReadFileBytes(path);
    EXPECT_NE(fdf.find("/DA(1 0 0 rg \\057Helv 18 Tf)"), std::string::npos) << fdf;
    EXPECT_NE(fdf.find("/DS(font: 18pt Gulim; color:#FF0000)"), std::string::npos) << fdf;
}

}  // namespace
