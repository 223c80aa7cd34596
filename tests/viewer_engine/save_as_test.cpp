// Saving: a valid PDF in which every comment is drawn by its own appearance stream.
#include <gtest/gtest.h>

#include "control/pdf_page.h"
#include "platform/code_page.h"
#include "support/temp_dir.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_annots.h"
#include "viewer_engine/engine_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::platform;
using namespace quill::engine;

namespace {

using engine::EngineControl;
using engine::PageGeometry;
using engine::PointF;
using engine::RectF;

constexpr int kDpi = 50;

// Pixel box of a page-space rectangle in a page rendered at kDpi with its rotation.
void PixelBox(const PageGeometry& g, const RectF& r, int* x1, int* y1, int* x2, int* y2) {
    auto px = [&](PointF p) -> PointF {
        const RectF& c = g.cropBox;
        switch (g.rotate) {
            case 90:
                return {p.y - c.y1, p.x - c.x1};
            case 180:
                return {c.x2 - p.x, p.y - c.y1};
            case 270:
                return {c.y2 - p.y, c.x2 - p.x};
            default:
                return {p.x - c.x1, c.y2 - p.y};
        }
    };
    const PointF a = px({r.x1, r.y1}), b = px({r.x2, r.y2});
    const double s = kDpi / 72.0;
    *x1 = static_cast<int>(std::min(a.x, b.x) * s) - 1;
    *y1 = static_cast<int>(std::min(a.y, b.y) * s) - 1;
    *x2 = static_cast<int>(std::max(a.x, b.x) * s) + 2;
    *y2 = static_cast<int>(std::max(a.y, b.y) * s) + 2;
}

class SaveAsTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetSystemCodePageForTesting(""); }

    void ExpectValidPdf(const std::string& path) {
        std::string out;
        EXPECT_EQ(enginetest::RunCommand("qpdf --check '" + path + "'", &out), 0) << out;
        EXPECT_EQ(out.find("WARNING"), std::string::npos) << out;
        EXPECT_NE(out.find("No syntax or stream encoding errors"), std::string::npos) << out;
    }

    // Every comment of the page changes the rendered page where it stands.
    void ExpectEveryCommentVisible(EngineControl& control, const std::string& original,
                                   const std::string& saved, int page) {
        const auto before = enginetest::RenderPage(original, page, kDpi, dir);
        const auto after = enginetest::RenderPage(saved, page, kDpi, dir);
        ASSERT_TRUE(before.ok() && after.ok());
        const PageGeometry g = control.PageGeometryOf(page);
        for (control::AnnotId id : control.AnnotsOnPage(page)) {
            RectF box = control.DrawingOf(id).bbox;
            if (control::PdfAnnot(&control, id).GetToolName() == "Note") {
                // Viewers keep note icons upright, pinned at their top left corner.
                box = box.Inflated(std::max(box.Width(), box.Height()));
            }
            int x1, y1, x2, y2;
            PixelBox(g, box, &x1, &y1, &x2, &y2);
            const int changed = enginetest::DifferingPixels(before, after, x1, y1, x2, y2);
            EXPECT_GE(changed, 8) << control::PdfAnnot(&control, id).GetToolName() << " on page "
                                  << page << " rotated " << g.rotate;
        }
    }

    testsupport::TempDir dir;
};

TEST_F(SaveAsTest, EveryToolIsDrawnOnUprightAndRotatedPages) {
    engine::SamplePdfOptions o;
    o.pageCount = 4;
    o.rotations = {0, 90, 180, 270};
    const std::string pdf = enginetest::MakeDrawing(dir, "drawing.pdf", o);
    EngineControl control;
    ASSERT_TRUE(control.OpenFile(pdf, nullptr));
    for (int p = 0; p < 4; ++p) enginetest::CreateEveryTool(control, p);
    const std::string saved = (dir / "saved.pdf").string();
    ASSERT_TRUE(control.SaveAs(saved));
    ExpectValidPdf(saved);
    for (int p = 0; p < 4; ++p) ExpectEveryCommentVisible(control, pdf, saved, p);

    // The saved comments read back with their names, replies and attachment.
    EngineControl reopened;
    ASSERT_TRUE(reopened.OpenFile(saved, nullptr));
    ASSERT_EQ(reopened.GetPage(1).AnnotCount(), 17);
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(reopened.GetPage(1).GetAnnot(i).GetName(),
                  control.GetPage(1).GetAnnot(i).GetName());
        EXPECT_EQ(reopened.GetPage(1).GetAnnot(i).GetToolName(),
                  control.GetPage(1).GetAnnot(i).GetToolName());
    }
    control::PdfAnnot note = reopened.GetPage(1).GetAnnot(12);
    ASSERT_EQ(note.GetReplies().ReplyCount(), 1);
    EXPECT_EQ(note.GetReplies().GetReply(0).GetReplies().ReplyCount(), 1);
    // Saving over the file that is open works and keeps the other pages.
    ASSERT_TRUE(reopened.SaveAs(saved));
    ExpectValidPdf(saved);
}

TEST_F(SaveAsTest, PageTextsAndKoreanCommentsAreSavedWithThePage) {
    platform::SetSystemCodePageForTesting("CP949");
    const std::string pdf = enginetest::MakeDrawing(dir, "drawing.pdf");
    EngineControl control;
    control.SetCJKResourcePath((dir / "missing-cjkfont.bin").string());  // falls back
    ASSERT_TRUE(control.OpenFile(pdf, nullptr));
    auto draft = engine::SampleAnnotDrafts(0, control.PageGeometryOf(0))[11];
    draft.contents = "\xB1\xB8\xB8\xA7 \xC8\xAE\xC0\xCE";  // 구름 확인
    draft.author = "\xC8\xAB\xB1\xE6\xB5\xBF-\xB9\xE8\xB0\xFC";
    const control::AnnotId callout = control.CreateAnnot(draft);
    ASSERT_NE(callout, 0u);
    // The text is drawn as glyph outlines: more than the frame and the line.
    size_t segments = 0;
    for (const auto& p : control.DrawingOf(callout).paths) segments += p.segments.size();
    EXPECT_GT(segments, 60u);
    const float h = control.GetPageHeight(0), w = control.GetPageWidth(0);
    ASSERT_TRUE(control.AddPageText(0, "1", w - 28, h - 30, "Arial", 0, 15, 0x005EFF, 0, 200, 0));
    EXPECT_FALSE(control.AddPageText(5, "6", 0, 0, "Arial", 0, 15, 0, 0, 200, 0));
    const std::string saved = (dir / "saved.pdf").string();
    ASSERT_TRUE(control.SaveAs(saved));
    ExpectValidPdf(saved);
    const auto before = enginetest::RenderPage(pdf, 0, kDpi, dir);
    const auto after = enginetest::RenderPage(saved, 0, kDpi, dir);
    int x1, y1, x2, y2;
    PixelBox(control.PageGeometryOf(0), {w - 30.0, h - 34.0, w - 10.0, h - 14.0}, &x1, &y1, &x2,
             &y2);
    EXPECT_GE(enginetest::DifferingPixels(before, after, x1, y1, x2, y2, 20), 3);
    // The page text is no annotation and never travels in FDF.
    EXPECT_EQ(control.GetPage(0).AnnotCount(), 1);
    EngineControl reopened;
    ASSERT_TRUE(reopened.OpenFile(saved, nullptr));
    EXPECT_EQ(reopened.GetPage(0).GetAnnot(0).GetContents(), draft.contents);
    EXPECT_EQ(reopened.GetPage(0).GetAnnot(0).Author(), draft.author);
}

TEST_F(SaveAsTest, LocalViewerStateIsNotSaved) {
    const std::string pdf = enginetest::MakeDrawing(dir, "drawing.pdf");
    EngineControl control;
    ASSERT_TRUE(control.OpenFile(pdf, nullptr));
    enginetest::CreateEveryTool(control, 0);
    for (int i = 0; i < 17; ++i) {
        control.GetPage(0).GetAnnot(i).SetReadOnly(true);
        control.GetPage(0).GetAnnot(i).SetShown(false);
    }
    const std::string saved = (dir / "saved.pdf").string();
    ASSERT_TRUE(control.SaveAs(saved));
    ExpectEveryCommentVisible(control, pdf, saved, 0);
    EngineControl reopened;
    ASSERT_TRUE(reopened.OpenFile(saved, nullptr));
    EXPECT_FALSE(reopened.GetPage(0).GetAnnot(0).ReadOnly());
    EXPECT_TRUE(reopened.GetPage(0).GetAnnot(0).IsShown());
}

}  // namespace
