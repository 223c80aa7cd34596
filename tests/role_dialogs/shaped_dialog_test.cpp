#include "ui/shaped_dialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>

#include "role_fixture.h"
#include "ui/opener_review_dlg.h"
#include "widgets/art_ids.h"
#include "widgets/artwork.h"
#include "widgets/hover_button.h"

using namespace quill;
using namespace quill::ui;

namespace {

class ShapedDialogTest : public ::testing::Test {
protected:
    void SetUp() override { roletest::EnsureApp(); }

    void SendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons,
                   Qt::MouseButton button = Qt::LeftButton) {
        QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
};

TEST_F(ShapedDialogTest, RegionDropsPureRedRunsOnly) {
    QImage image(6, 3, QImage::Format_ARGB32);
    image.fill(QColor(0xFF, 0x00, 0x00));
    image.setPixelColor(1, 0, Qt::white);
    image.setPixelColor(2, 0, Qt::white);
    image.setPixelColor(4, 0, QColor(0xFE, 0x00, 0x00));  // nearly red is kept
    image.setPixelColor(0, 2, Qt::black);
    const QRegion region = ShapedDialog::RegionWithoutRed(image);
    EXPECT_TRUE(region.contains(QPoint(1, 0)));
    EXPECT_TRUE(region.contains(QPoint(2, 0)));
    EXPECT_FALSE(region.contains(QPoint(3, 0)));
    EXPECT_TRUE(region.contains(QPoint(4, 0)));
    EXPECT_FALSE(region.contains(QPoint(5, 0)));
    EXPECT_TRUE(region.contains(QPoint(0, 2)));
    EXPECT_FALSE(region.contains(QPoint(0, 1)));
    EXPECT_EQ(region.rectCount(), 3);
}

TEST_F(ShapedDialogTest, ReviewDialogIsAShapedToolWindowOfItsPictureSize) {
    ReviewDecisionContext context;
    COpenerReviewDlg dialog(context);
    EXPECT_EQ(dialog.size(), QSize(314, 196));
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    // The picture's corner is pure red and is cut away; the middle stays.
    const QImage picture = widgets::Artwork(widgets::ArtId::ReviewDialogBackground).toImage();
    ASSERT_EQ(picture.pixelColor(0, 0), QColor(0xFF, 0x00, 0x00));
    EXPECT_FALSE(dialog.Shape().contains(QPoint(0, 0)));
    EXPECT_FALSE(dialog.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(dialog.mask().contains(QPoint(157, 98)));
    EXPECT_EQ(dialog.CloseButton()->geometry(), QRect(260, 0, 47, 20));
    EXPECT_EQ(dialog.OkButton()->size(), QSize(66, 29));
    EXPECT_EQ(dialog.SummaryEdit()->geometry(), QRect(15, 80, 284, 60));
}

TEST_F(ShapedDialogTest, DragFromTheMiddleMovesTheWindowByTheDrag) {
    ReviewDecisionContext context;
    COpenerReviewDlg dialog(context);
    dialog.move(100, 100);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    SendMouse(&dialog, QEvent::MouseButtonPress, QPoint(157, 30), Qt::LeftButton);
    SendMouse(&dialog, QEvent::MouseMove, QPoint(157 + 30, 30 + 20), Qt::LeftButton, Qt::NoButton);
    SendMouse(&dialog, QEvent::MouseButtonRelease, QPoint(157 + 30, 30 + 20), Qt::NoButton);
    EXPECT_EQ(dialog.pos(), start + QPoint(30, 20));
    // A move after the release moves nothing.
    SendMouse(&dialog, QEvent::MouseMove, QPoint(10, 10), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(dialog.pos(), start + QPoint(30, 20));
}

TEST_F(ShapedDialogTest, CloseButtonRejects) {
    ReviewDecisionContext context;
    COpenerReviewDlg dialog(context);
    dialog.show();
    QTest::mouseClick(dialog.CloseButton(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
