// Moving, resizing and reshaping comments keeps their geometry, labels and /Rect right.
#include <gtest/gtest.h>

#include <cmath>

#include "control/pdf_page.h"
#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;

namespace {

using control::AnnotTool;
using engine::EngineControl;
using engine::PointF;
using engine::RectF;

bool Encloses(const RectF& outer, const RectF& inner) {
    constexpr double e = 0.01;
    return outer.x1 <= inner.x1 + e && outer.y1 <= inner.y1 + e && outer.x2 >= inner.x2 - e &&
           outer.y2 >= inner.y2 - e;
}

class AnnotEditingTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::SamplePdfOptions o;
        o.pageCount = 2;
        pdf = enginetest::MakeDrawing(dir, "drawing.pdf", o);
        ASSERT_TRUE(control.OpenFile(pdf, nullptr));
        ids = enginetest::CreateEveryTool(control, 0);
    }
    control::AnnotId Id(AnnotTool t) { return ids[static_cast<size_t>(t)]; }
    // /Rect holds everything the comment draws.
    void ExpectRectHoldsDrawing(control::AnnotId id) {
        const auto g = control.GeometryOf(id);
        const auto d = control.DrawingOf(id);
        EXPECT_TRUE(Encloses(g.rect, d.bbox))
            << control::PdfAnnot(&control, id).GetToolName() << " rect " << g.rect.x1 << " "
            << g.rect.y1 << " " << g.rect.x2 << " " << g.rect.y2 << " drawing " << d.bbox.x1 << " "
            << d.bbox.y1 << " " << d.bbox.x2 << " " << d.bbox.y2;
    }

    testsupport::TempDir dir;
    std::string pdf;
    EngineControl control;
    std::vector<control::AnnotId> ids;
};

TEST_F(AnnotEditingTest, EveryToolMovesWithAllItsPoints) {
    for (int code = 0; code < control::kAnnotToolCount; ++code) {
        const control::AnnotId id = ids[static_cast<size_t>(code)];
        const auto before = control.GeometryOf(id);
        ASSERT_TRUE(control.MoveAnnot(id, 15, -20));
        const auto after = control.GeometryOf(id);
        EXPECT_NEAR(after.rect.x1, before.rect.x1 + 15, 1e-3) << code;
        EXPECT_NEAR(after.rect.y2, before.rect.y2 - 20, 1e-3) << code;
        ASSERT_EQ(after.points.size(), before.points.size());
        for (size_t i = 0; i < before.points.size(); ++i) {
            EXPECT_NEAR(after.points[i].x, before.points[i].x + 15, 1e-3);
            EXPECT_NEAR(after.points[i].y, before.points[i].y - 20, 1e-3);
        }
        for (size_t s = 0; s < before.strokes.size(); ++s)
            EXPECT_NEAR(after.strokes[s][0].y, before.strokes[s][0].y - 20, 1e-3);
        for (size_t q = 0; q < before.quads.size(); ++q)
            EXPECT_NEAR(after.quads[q][3].x, before.quads[q][3].x + 15, 1e-3);
        ExpectRectHoldsDrawing(id);
    }
    EXPECT_FALSE(control.MoveAnnot(Id(AnnotTool::Line), std::nan(""), 0));
}

TEST_F(AnnotEditingTest, PointsHitTheTopmostShownComment) {
    const control::AnnotId rect = Id(AnnotTool::Rectangle);
    const control::AnnotId circle = Id(AnnotTool::Circle);
    ASSERT_TRUE(control.ResizeAnnot(rect, {100, 100, 200, 200}));
    ASSERT_TRUE(control.ResizeAnnot(circle, {150, 150, 250, 250}));
    EXPECT_EQ(control.AnnotAt(0, {175, 175}), circle);  // the later one lies on top
    EXPECT_EQ(control.AnnotAt(0, {120, 120}), rect);
    control::PdfAnnot(&control, circle).SetShown(false);
    EXPECT_EQ(control.AnnotAt(0, {175, 175}), rect);
    EXPECT_EQ(control.AnnotAt(0, {-50, -50}), 0u);
    EXPECT_EQ(control.AnnotAt(1, {175, 175}), 0u);
}

TEST_F(AnnotEditingTest, ResizingAndReshapingKeepRectAroundTheDrawing) {
    for (AnnotTool t :
         {AnnotTool::Rectangle, AnnotTool::Circle, AnnotTool::Polygon, AnnotTool::Cloudy,
          AnnotTool::Pencil, AnnotTool::Callout, AnnotTool::Image, AnnotTool::Note}) {
        const control::AnnotId id = Id(t);
        const RectF box{100, 100, 220, 160};
        ASSERT_TRUE(control.ResizeAnnot(id, box)) << control::AnnotToolName(t);
        const auto g = control.GeometryOf(id);
        EXPECT_NEAR(g.box.x1, 100, 0.01) << control::AnnotToolName(t);
        EXPECT_NEAR(g.box.y2, 160, 0.01) << control::AnnotToolName(t);
        EXPECT_NEAR(g.box.Width(), 120, 0.01) << control::AnnotToolName(t);
        ExpectRectHoldsDrawing(id);
    }
    // A cloud grows its /Rect for the scallops, and shrinks back with a plain border.
    const control::AnnotId rect = Id(AnnotTool::Rectangle);
    control::PdfAnnot a(&control, rect);
    const RectF plain = control.GeometryOf(rect).rect;
    a.SetBorderStyle(9);
    EXPECT_GT(control.GeometryOf(rect).rect.Width(), plain.Width() + 10);
    EXPECT_NEAR(control.GeometryOf(rect).box.Width(), 120, 0.01);
    ExpectRectHoldsDrawing(rect);
    a.SetBorderStyle(1);
    EXPECT_NEAR(control.GeometryOf(rect).rect.Width(), plain.Width(), 0.01);
    a.SetThickness(12);
    ExpectRectHoldsDrawing(rect);

    const control::AnnotId polygon = Id(AnnotTool::Polygon);
    ASSERT_TRUE(control.SetVertex(polygon, 2, {500, 500}));
    EXPECT_EQ(control.GeometryOf(polygon).points[2], (PointF{500, 500}));
    ExpectRectHoldsDrawing(polygon);
    EXPECT_FALSE(control.SetVertex(polygon, 99, {1, 1}));
    EXPECT_FALSE(control.SetVertex(Id(AnnotTool::Rectangle), 0, {1, 1}));
}

TEST_F(AnnotEditingTest, MeasurementLabelsFollowTheirGeometry) {
    const control::AnnotId distance = Id(AnnotTool::Distance);
    control::PdfAnnot a(&control, distance);
    ASSERT_TRUE(control.SetVertex(distance, 0, {100, 100}));
    ASSERT_TRUE(control.SetVertex(distance, 1, {172, 100}));  // 72 points: one inch
    EXPECT_EQ(a.GetContents(), "1.00 in");
    // Contents the user wrote stay as written.
    a.SetContents("check this length");
    ASSERT_TRUE(control.SetVertex(distance, 1, {244, 100}));
    EXPECT_EQ(a.GetContents(), "check this length");

    const control::AnnotId area = Id(AnnotTool::Area);
    ASSERT_TRUE(control.ResizeAnnot(area, {0, 0, 144, 72}));
    control::PdfAnnot areaAnnot(&control, area);
    const std::string label = areaAnnot.GetContents();
    EXPECT_NE(label.find(" sq in"), std::string::npos) << label;
}

TEST_F(AnnotEditingTest, MovingToAnotherPageTakesPopupAndRepliesAlong) {
    const control::AnnotId note = Id(AnnotTool::Note);
    const std::string name = control::PdfAnnot(&control, note).GetName();
    ASSERT_TRUE(control.MoveAnnotToPage(note, 1, 0, 0));
    EXPECT_EQ(control.GetPage(0).AnnotCount(), 16);
    ASSERT_EQ(control.GetPage(1).AnnotCount(), 1);
    control::PdfAnnot moved = control.GetPage(1).GetAnnot(0);
    EXPECT_EQ(moved.GetName(), name);
    EXPECT_EQ(moved.Id(), note);  // the handle stays valid
    ASSERT_EQ(moved.GetReplies().ReplyCount(), 1);
    EXPECT_EQ(
        control::PdfReply(&control, moved.GetReplies().GetReply(0).Id()).GetReplies().ReplyCount(),
        1);
    const std::string fdfPath = (dir / "moved.fdf").string();
    ASSERT_TRUE(control.ExportAnnotsToFDFFile(fdfPath));
    const std::string fdf = testsupport::ReadFileBytes(fdfPath);
    // The comment, its popup and both replies now say page 1.
    int onPage1 = 0;
    for (const auto& [n, text] : enginetest::SplitFdfObjects(fdf)) {
        if (text.size() > 8 && text.substr(text.size() - 9) == "/Page 1>>") ++onPage1;
    }
    EXPECT_EQ(onPage1, 4);
    EXPECT_FALSE(control.MoveAnnotToPage(note, 2, 0, 0));
}

TEST_F(AnnotEditingTest, RepliesAreAddedEditedAndDeletedWithTheirOwnReplies) {
    const control::AnnotId rect = Id(AnnotTool::Rectangle);
    const control::AnnotId r1 = control.AddReply(rect, "one", "KIM-PIPING");
    const control::AnnotId r2 = control.AddReply(r1, "two", "LEE-CIVIL");
    control::PdfAnnot a(&control, rect);
    ASSERT_EQ(a.GetReplies().ReplyCount(), 1);
    control::PdfReply first = a.GetReplies().GetReply(0);
    EXPECT_EQ(first.GetInReplyTo(), a.GetName());
    EXPECT_EQ(control::PdfReply(&control, r2).GetInReplyTo(), first.GetName());
    EXPECT_GT(first.GetDate(), 40000.0);
    ASSERT_TRUE(control.EditReply(r1, "one, edited"));
    EXPECT_EQ(first.GetText(), "one, edited");
    EXPECT_EQ(control.TopLevelOf(r2), rect);
    ASSERT_TRUE(control.DeleteReply(r1));
    EXPECT_EQ(a.GetReplies().ReplyCount(), 0);
    EXPECT_FALSE(control::PdfReply(&control, r2).IsValid());
    EXPECT_FALSE(control.DeleteReply(rect));  // a comment is no reply
    EXPECT_EQ(control.GetPage(0).AnnotCount(), 17);
}

TEST_F(AnnotEditingTest, UnusableShapesAreRefused) {
    engine::AnnotDraft s;
    s.page = 0;
    s.tool = AnnotTool::Polygon;
    s.points = {{0, 0}, {1, 1}};
    EXPECT_EQ(control.CreateAnnot(s), 0u);
    s.tool = AnnotTool::Line;
    s.points = {{0, 0}, {std::nan(""), 1}};
    EXPECT_EQ(control.CreateAnnot(s), 0u);
    s.tool = AnnotTool::Image;
    s.rect = {0, 0, 10, 10};
    s.imageWidth = 4;
    s.imageHeight = 4;
    s.imageRgb = "short";
    EXPECT_EQ(control.CreateAnnot(s), 0u);
    s.tool = AnnotTool::Rectangle;
    s.page = 5;
    EXPECT_EQ(control.CreateAnnot(s), 0u);
    EXPECT_EQ(control.GetPage(0).AnnotCount(), 17);
}

}  // namespace
