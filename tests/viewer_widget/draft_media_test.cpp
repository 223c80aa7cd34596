// The files new image and attachment comments carry: the image's pixels, size and place on
// the page, the attached file's name and bytes, and what a cancelled or unreadable file makes.
#include "viewer/widget/draft_media.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "support/temp_dir.h"

using namespace quill;
using namespace quill::widget;

namespace widgettest {
namespace {

using control::AnnotTool;
using engine::AnnotDraft;
using engine::RectF;
using widget::DraftMedia;

void ExpectRect(const RectF& r, double x1, double y1, double x2, double y2) {
    EXPECT_NEAR(r.x1, x1, 1e-9);
    EXPECT_NEAR(r.y1, y1, 1e-9);
    EXPECT_NEAR(r.x2, x2, 1e-9);
    EXPECT_NEAR(r.y2, y2, 1e-9);
}

AnnotDraft ImageDraft(RectF rect) {
    AnnotDraft d;
    d.tool = AnnotTool::Image;
    d.rect = rect;
    return d;
}

// The RGB bytes of the draft's pixel (x, y), rows from the top.
QColor PixelOf(const AnnotDraft& d, int x, int y) {
    const size_t at = (size_t(y) * d.imageWidth + x) * 3;
    return QColor(static_cast<unsigned char>(d.imageRgb[at]),
                  static_cast<unsigned char>(d.imageRgb[at + 1]),
                  static_cast<unsigned char>(d.imageRgb[at + 2]));
}

class DraftMediaTest : public ::testing::Test {
protected:
    QString SaveImage(const QImage& image, const std::string& name) {
        const QString file = QString::fromStdString((dir / name).string());
        EXPECT_TRUE(image.save(file));
        return file;
    }
    testsupport::TempDir dir;
};

TEST_F(DraftMediaTest, ImageFitsTheDragAtItsShapeAndAClickPlacesItAtItsTopLeft) {
    // 40 x 20: green on the left half, blue on the right.
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(QColor(10, 200, 30));
    for (int y = 0; y < 20; ++y) {
        for (int x = 20; x < 40; ++x) img.setPixelColor(x, y, QColor(0, 0, 255));
    }
    const QString file = SaveImage(img, "pic.png");

    AnnotDraft tall = ImageDraft({100, 100, 200, 300});
    ASSERT_TRUE(DraftMedia::LoadImage(tall, file));
    EXPECT_EQ(tall.imageWidth, 40);
    EXPECT_EQ(tall.imageHeight, 20);
    ASSERT_EQ(tall.imageRgb.size(), 40u * 20u * 3u);
    EXPECT_EQ(PixelOf(tall, 0, 0), QColor(10, 200, 30));
    EXPECT_EQ(PixelOf(tall, 39, 19), QColor(0, 0, 255));
    // Full width, as tall as the image's shape wants, hanging from the drag's top.
    ExpectRect(tall.rect, 100, 250, 200, 300);

    AnnotDraft wide = ImageDraft({100, 100, 400, 150});
    ASSERT_TRUE(DraftMedia::LoadImage(wide, file));
    ExpectRect(wide.rect, 100, 100, 200, 150);

    // A click: the image at one point per pixel, at most 200 points wide.
    AnnotDraft click = ImageDraft({100, 100, 101, 101});
    ASSERT_TRUE(DraftMedia::LoadImage(click, file));
    ExpectRect(click.rect, 100, 81, 140, 101);
    QImage broad(400, 100, QImage::Format_RGB32);
    broad.fill(Qt::white);
    AnnotDraft broadClick = ImageDraft({100, 100, 101, 101});
    ASSERT_TRUE(DraftMedia::LoadImage(broadClick, SaveImage(broad, "broad.png")));
    ExpectRect(broadClick.rect, 100, 51, 300, 101);
}

TEST_F(DraftMediaTest, LargeImagesShrinkToTheLimitAndNonImagesMakeNothing) {
    QImage big(3000, 1000, QImage::Format_RGB32);
    big.fill(QColor(200, 10, 10));
    AnnotDraft d = ImageDraft({0, 0, 300, 100});
    ASSERT_TRUE(DraftMedia::LoadImage(d, SaveImage(big, "big.png")));
    EXPECT_EQ(d.imageWidth, 2048);
    EXPECT_NEAR(d.imageHeight, 683, 1);
    EXPECT_EQ(d.imageRgb.size(), size_t(d.imageWidth) * d.imageHeight * 3);
    EXPECT_EQ(PixelOf(d, d.imageWidth - 1, d.imageHeight - 1), QColor(200, 10, 10));

    testsupport::WriteFileBytes(dir / "notes.png", "not a picture");
    AnnotDraft bad = ImageDraft({0, 0, 300, 100});
    EXPECT_FALSE(DraftMedia::LoadImage(bad, QString::fromStdString((dir / "notes.png").string())));
    EXPECT_TRUE(bad.imageRgb.empty());
    ExpectRect(bad.rect, 0, 0, 300, 100);
}

TEST_F(DraftMediaTest, TransparentPartsOfAnImageShowThePaper) {
    // Opaque blue on the left, see-through on the right, half see-through red in between:
    // the comment's pixels carry no transparency, so the image lies on white paper.
    QImage img(30, 10, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) img.setPixelColor(x, y, QColor(0, 0, 255));
        for (int x = 10; x < 20; ++x) img.setPixelColor(x, y, QColor(255, 0, 0, 128));
    }
    AnnotDraft d = ImageDraft({0, 0, 300, 100});
    ASSERT_TRUE(DraftMedia::LoadImage(d, SaveImage(img, "stamp.png")));
    EXPECT_EQ(PixelOf(d, 5, 5), QColor(0, 0, 255));
    EXPECT_EQ(PixelOf(d, 25, 5), QColor(255, 255, 255));
    const QColor half = PixelOf(d, 15, 5);
    EXPECT_EQ(half.red(), 255);
    EXPECT_NEAR(half.green(), 127, 2);
    EXPECT_NEAR(half.blue(), 127, 2);
}

TEST_F(DraftMediaTest, AttachmentTakesNameAndBytesAndOnlyImageAndFileToolsAsk) {
    const std::string bytes("pump\0data\n", 10);
    testsupport::WriteFileBytes(dir / "report.bin", bytes);
    int asked = 0;
    QString answer = QString::fromStdString((dir / "report.bin").string());
    widget::ViewerDialogs dialogs;
    dialogs.openFile = [&](QWidget*, const QString&, const QString&) {
        ++asked;
        return answer;
    };

    AnnotDraft file;
    file.tool = AnnotTool::FileAttachment;
    ASSERT_TRUE(DraftMedia::Load(file, dialogs, nullptr));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(file.fileName, "report.bin");
    EXPECT_EQ(file.fileBytes, bytes) << "every byte, a zero byte too";

    AnnotDraft rect;
    rect.tool = AnnotTool::Rectangle;
    EXPECT_TRUE(DraftMedia::Load(rect, dialogs, nullptr));
    EXPECT_EQ(asked, 1) << "a rectangle carries no file";

    // Cancelled, or a file that cannot be opened: nothing to make.
    answer.clear();
    AnnotDraft cancelled;
    cancelled.tool = AnnotTool::Image;
    EXPECT_FALSE(DraftMedia::Load(cancelled, dialogs, nullptr));
    answer = QString::fromStdString((dir / "missing.bin").string());
    AnnotDraft missing;
    missing.tool = AnnotTool::FileAttachment;
    EXPECT_FALSE(DraftMedia::Load(missing, dialogs, nullptr));
    EXPECT_TRUE(missing.fileName.empty());
    // No dialog at all is a cancel too.
    EXPECT_FALSE(DraftMedia::Load(missing, widget::ViewerDialogs{}, nullptr));
}

}  // namespace
}  // namespace widgettest
