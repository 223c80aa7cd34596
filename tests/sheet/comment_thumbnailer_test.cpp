// Pictures of comments in place: the area chosen around a comment, and the comment found in
// its picture on pages turned every way.
#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QPointF>
#include <QTemporaryDir>

#include "sheet/sheet_fixture.h"
#include "viewer/engine/engine_control.h"
#include "viewer/engine/sample_pdf.h"
#include "viewer/widget/comment_thumbnailer.h"

namespace quill::widget {
namespace {

using engine::EngineControl;

TEST(ThumbnailArea, GrowsAroundTheCommentToTheLeastSizeAndTheProportions) {
    const QSizeF page(842, 595);
    // A small mark: the least size, centred on it, widened to 3:2.
    QRectF area = CommentThumbnailer::AreaAround(QRectF(400, 300, 10, 10), page, {108, 72}, 1.5);
    EXPECT_DOUBLE_EQ(area.width(), 108);
    EXPECT_DOUBLE_EQ(area.height(), 72);
    EXPECT_NEAR(area.center().x(), 405, 1e-9);
    EXPECT_NEAR(area.center().y(), 305, 1e-9);
    // A tall comment: its margin kept, widened to the proportions.
    area = CommentThumbnailer::AreaAround(QRectF(100, 100, 40, 200), page, {108, 72}, 1.5);
    EXPECT_DOUBLE_EQ(area.height(), 300);
    EXPECT_DOUBLE_EQ(area.width(), 450);
    EXPECT_TRUE(area.contains(QRectF(100, 100, 40, 200)) || area.left() == 0);
}

TEST(ThumbnailArea, StaysOnThePage) {
    const QSizeF page(842, 595);
    // At a corner the area moves inside instead of showing what is off the page.
    QRectF area = CommentThumbnailer::AreaAround(QRectF(830, 585, 10, 8), page, {108, 72}, 1.5);
    EXPECT_DOUBLE_EQ(area.right(), 842);
    EXPECT_DOUBLE_EQ(area.bottom(), 595);
    // Larger than the page: cut to it.
    area = CommentThumbnailer::AreaAround(QRectF(-50, -50, 2000, 100), page, {108, 72}, 1.5);
    EXPECT_DOUBLE_EQ(area.width(), 842);
    EXPECT_GE(area.top(), 0);
    EXPECT_LE(area.bottom(), 595.0 + 1e-9);
    // A damaged, upside-down box still gives an area on the page.
    area = CommentThumbnailer::AreaAround(QRectF(300, 300, -40, -30), page, {108, 72}, 1.5);
    EXPECT_GE(area.left(), 0);
    EXPECT_GT(area.width(), 0);
}

bool IsRed(QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }
bool IsDark(QColor c) { return c.red() < 110 && c.green() < 110 && c.blue() < 110; }

// The red pixels of an image: how many, their centre and the rectangle around them.
struct RedArea {
    long pixels = 0;
    QPointF centre{-1, -1};
    QRect bounds;
};

RedArea RedAreaOf(const QImage& image) {
    RedArea red;
    double x = 0, y = 0;
    for (int j = 0; j < image.height(); ++j)
        for (int i = 0; i < image.width(); ++i)
            if (IsRed(image.pixelColor(i, j))) {
                x += i, y += j, ++red.pixels;
                red.bounds |= QRect(i, j, 1, 1);
            }
    if (red.pixels) red.centre = QPointF(x / red.pixels, y / red.pixels);
    return red;
}

class Thumbnails : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { sheettest::EnsureApp(); }

    // A drawing of one page turned by rotate, with a red filled rectangle under the general
    // notes, so that its picture shows a line of the drawing's text beside it.
    engine::AnnotId DrawRedBox(EngineControl& engine, int rotate) {
        engine::SamplePdfOptions options;
        options.rotations = {rotate};
        const std::string path = dir.filePath("drawing.pdf").toStdString();
        std::string error;
        if (!engine::WriteSamplePdf(options, path, &error)) return 0;
        if (!engine.OpenFile(path, nullptr)) return 0;
        engine::AnnotDraft draft;
        draft.tool = control::AnnotTool::Rectangle;
        draft.page = 0;
        draft.rect = {200, 485, 260, 510};
        draft.style.color = 0x0000FF;
        draft.style.fillColor = 0x0000FF;
        draft.style.width = 2;
        return engine.CreateAnnot(draft);
    }

    // The picture, 300 x 200 pixels at most, of the red box on a page turned by the parameter;
    // a null image when the box could not be drawn.
    QImage PictureOfRedBox() {
        const engine::AnnotId id = DrawRedBox(engine_, GetParam());
        if (id == 0) return {};
        CommentThumbnailer thumbnails(engine_, QSize(300, 200));
        return thumbnails.Thumbnail(id);
    }

    QTemporaryDir dir;
    EngineControl engine_;
};

TEST_P(Thumbnails, ShowTheCommentInTheMiddleOfItsArea) {
    const QImage picture = PictureOfRedBox();
    ASSERT_FALSE(picture.isNull());
    EXPECT_LE(picture.width(), 300);
    EXPECT_LE(picture.height(), 200);

    // The red box, and where its pixels lie.
    const RedArea red = RedAreaOf(picture);
    const long all = static_cast<long>(picture.width()) * picture.height();
    // The 60 x 25 box in its least area of 108 x 72 points covers a fifth of it; the rest is
    // the page as poppler renders it, mostly white paper.
    EXPECT_GT(red.pixels, all / 10);
    EXPECT_LT(red.pixels, all / 2);
    EXPECT_GT(sheettest::CountNear(picture, Qt::white, 15), all / 4);
    // Whichever way the page is turned, the box sits in the middle of its picture.
    EXPECT_NEAR(red.centre.x(), picture.width() / 2.0, picture.width() * 0.08);
    EXPECT_NEAR(red.centre.y(), picture.height() / 2.0, picture.height() * 0.08);
    // A turned page shows the box turned with it: wider than high unturned, higher when a
    // quarter turn stands it up.
    if (GetParam() % 180 == 0)
        EXPECT_GT(red.bounds.width(), red.bounds.height());
    else
        EXPECT_LT(red.bounds.width(), red.bounds.height());
}

TEST_P(Thumbnails, AgreeWithThePageAsPdftoppmRendersIt) {
    // At 2 pixels a point (144 dpi) the area is at least 216 x 144 pixels (108 x 72 points)
    // and within the picture's bounds here, so the picture is not scaled.
    const QImage picture = PictureOfRedBox();
    ASSERT_GE(picture.width(), 216);
    ASSERT_GE(picture.height(), 144);
    ASSERT_LT(picture.width(), 300);
    ASSERT_LT(picture.height(), 200);

    const QString saved = dir.filePath("annotated.pdf");
    ASSERT_TRUE(engine_.SaveAs(saved.toStdString()));
    int code = -1;
    sheettest::RunTool("pdftoppm",
                       {"-r", "144", "-png", "-singlefile", saved, dir.filePath("render")}, &code);
    if (code != 0) GTEST_SKIP() << "pdftoppm is not available";
    const QImage render(dir.filePath("render.png"));
    ASSERT_FALSE(render.isNull());

    // The comment is where pdftoppm puts it, and the drawing's lines around it are the page's.
    const RedArea inRender = RedAreaOf(render);
    ASSERT_GT(inRender.pixels, 0);
    const QPointF offset = inRender.centre - RedAreaOf(picture).centre;
    long dark = 0, matched = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!IsDark(picture.pixelColor(x, y))) continue;
            ++dark;
            const QPoint at = (QPointF(x, y) + offset).toPoint();
            bool found = false;
            for (int dy = -2; dy <= 2 && !found; ++dy)
                for (int dx = -2; dx <= 2 && !found; ++dx) {
                    const QPoint p = at + QPoint(dx, dy);
                    found = render.rect().contains(p) && IsDark(render.pixelColor(p));
                }
            if (found) ++matched;
        }
    }
    EXPECT_GT(dark, 100) << "the picture shows none of the drawing's text";
    EXPECT_GT(matched, dark * 9 / 10) << matched << " of " << dark;
}

INSTANTIATE_TEST_SUITE_P(EveryTurn, Thumbnails, ::testing::Values(0, 90, 180, 270));

TEST_F(Thumbnails, AnUnknownCommentOrADocumentThatWillNotRenderGivesNoPicture) {
    EngineControl engine;
    const engine::AnnotId id = DrawRedBox(engine, 0);
    ASSERT_NE(id, 0u);
    CommentThumbnailer thumbnails(engine);
    EXPECT_TRUE(thumbnails.Thumbnail(0).isNull());
    EXPECT_TRUE(thumbnails.Thumbnail(id + 1000).isNull());
    // The file under the engine gone: no picture, no crash, and no second attempt to load it.
    QFile::remove(dir.filePath("drawing.pdf"));
    CommentThumbnailer orphan(engine);
    EXPECT_TRUE(orphan.Thumbnail(id).isNull());
    EXPECT_TRUE(orphan.Thumbnail(id).isNull());
}

}  // namespace
}  // namespace quill::widget
