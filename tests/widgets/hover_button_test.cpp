#include "widgets/hover_button.h"

#include <gtest/gtest.h>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "widgets/picture_source.h"
#include "widgets/widgets_fixture.h"

using namespace quill::widgets;
using namespace widgetstest;

namespace {

class HoverButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallTestPictures();
        button_.LoadStrip(SolidStrip(31, 28));
    }
    void TearDown() override { SetPictureSource({}); }

    // The colour of the background in the middle-bottom of the button, clear of any overlay.
    QColor Background() { return PixelAt(button_.grab().toImage(), 28, 26); }
    void Enter() {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&button_, &enter);
    }
    void Leave() {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button_, &leave);
    }

    bool app_ = (EnsureApp(), true);  // before any widget
    CHoverButton button_;
};

TEST_F(HoverButtonTest, StripGivesTheCellSizeAndKeepsPlaceAndStackingOrder) {
    QWidget parent;
    auto* first = new CHoverButton(&parent);
    auto* second = new CHoverButton(&parent);
    first->move(40, 10);
    second->raise();
    first->LoadStrip(SolidStrip(31, 28));
    EXPECT_EQ(first->size(), QSize(31, 28));
    EXPECT_EQ(first->CellSize(), QSize(31, 28));
    EXPECT_EQ(first->pos(), QPoint(40, 10));
    EXPECT_EQ(parent.children().indexOf(first), 0);  // still below the second button
    // The workflow strips and a high-density strip: the cell is in device-independent pixels.
    second->LoadStrip(SolidStrip(35, 34));
    EXPECT_EQ(second->size(), QSize(35, 34));
    second->LoadStrip(SolidStrip(31, 28, 2.0));
    EXPECT_EQ(second->size(), QSize(31, 28));
    second->SetDropDown(true);
    EXPECT_EQ(PixelAt(second->grab().toImage(), 30, 27), kCellColours[CHoverButton::kNormal]);
    // A strip through the picture source.
    second->LoadStrip(1);
    EXPECT_EQ(second->size(), QSize(31, 28));
}

TEST_F(HoverButtonTest, BackgroundOrderFlatSelectedPressedHoverNormal) {
    EXPECT_EQ(Background(), kCellColours[CHoverButton::kNormal]);
    Enter();
    EXPECT_TRUE(button_.Hover());
    EXPECT_EQ(Background(), kCellColours[CHoverButton::kHover]);
    button_.setDown(true);
    EXPECT_EQ(Background(), kCellColours[CHoverButton::kPressed]);
    button_.SetSelected(true);
    EXPECT_EQ(Background(), kCellColours[CHoverButton::kSelected]);
    button_.SetFlat(true);
    const QImage flat = button_.grab().toImage();
    EXPECT_EQ(PixelAt(flat, 0, 0), QColor(0x5A, 0x5A, 0x5A));
    EXPECT_EQ(PixelAt(flat, 30, 27), QColor(0x5A, 0x5A, 0x5A));
    EXPECT_EQ(PixelAt(flat, 1, 1), QColor(0xE6, 0xE6, 0xE6));
    EXPECT_EQ(PixelAt(flat, 15, 14), QColor(0xE6, 0xE6, 0xE6));
    button_.SetFlat(false);
    button_.SetSelected(false);
    button_.setDown(false);
    EXPECT_EQ(Background(), kCellColours[CHoverButton::kHover]);
    Leave();
    EXPECT_FALSE(button_.Hover());
    EXPECT_EQ(Background(), kCellColours[CHoverButton::kNormal]);
}

TEST_F(HoverButtonTest, ToggleModeShowsOnlyTheFirstTwoCells) {
    button_.SetToggleMode(true);
    Enter();
    button_.setDown(true);
    button_.SetSelected(true);
    EXPECT_EQ(Background(), kCellColours[CHoverButton::kNormal]);
    button_.SetToggleState(true);
    EXPECT_EQ(Background(), kCellColours[CHoverButton::kHover]);
    // A real click on a toggle button never shows the pressed cell either.
    button_.SetSelected(false);
    button_.setDown(false);
    QTest::mousePress(&button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button_.isDown());
    EXPECT_EQ(Background(), kCellColours[CHoverButton::kHover]);
    QTest::mouseRelease(&button_, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(HoverButtonTest, OverlaysDrawTheirPicturesAndOutOfRangeIndexesDrawTheFirst) {
    const QPoint subTool(kSquareX + 1, kSquareY + 1);
    const QPoint second(kSquareX + 1, kSquareY + 2 + 3);  // the second overlay sits 2 lower
    button_.SetDropDown(true);
    button_.SetDrawingSubTool(3);
    EXPECT_EQ(button_.SubToolPicture(), 193);
    EXPECT_EQ(PixelAt(button_.grab().toImage(), subTool.x(), subTool.y()), ColourOfPicture(193));
    button_.SetGroup(1);
    button_.SetMeasuringSubTool(2);
    EXPECT_EQ(PixelAt(button_.grab().toImage(), subTool.x(), subTool.y()), ColourOfPicture(183));

    // Values from a settings file outside the tables read as 0.
    for (int bad : {-1, 3, 12, 1 << 30}) {
        button_.SetMeasuringSubTool(bad);
        EXPECT_EQ(button_.SubToolPicture(), 187) << bad;
    }
    button_.SetGroup(0);
    for (int bad : {-1, 8, 12}) {
        button_.SetDrawingSubTool(bad);
        EXPECT_EQ(button_.SubToolPicture(), 186) << bad;
        EXPECT_EQ(PixelAt(button_.grab().toImage(), subTool.x(), subTool.y()),
                  ColourOfPicture(186));
    }
    button_.SetDropDown(false);
    EXPECT_EQ(button_.SubToolPicture(), 0);

    button_.SetSecondOverlay(true);
    button_.SetPictureIndex(3);
    EXPECT_EQ(button_.SecondOverlayPicture(), 282);
    const QImage drawn = button_.grab().toImage();
    EXPECT_EQ(PixelAt(drawn, second.x(), second.y()), ColourOfPicture(282));
    EXPECT_EQ(PixelAt(drawn, second.x(), kSquareY + 1), kCellColours[0]);  // moved down by 2
    for (int bad : {-1, 4, 99}) {
        button_.SetPictureIndex(bad);
        EXPECT_EQ(button_.SecondOverlayPicture(), 224) << bad;
    }

    button_.SetSecondOverlay(false);
    button_.SetOverlay(240);
    EXPECT_EQ(PixelAt(button_.grab().toImage(), subTool.x(), subTool.y()), ColourOfPicture(240));
}

TEST_F(HoverButtonTest, CountShowsNinePlusAboveNineInWhiteInItsBox) {
    EXPECT_EQ(CHoverButton::CountText(10), "9+");
    EXPECT_EQ(CHoverButton::CountText(9), "9");
    EXPECT_EQ(CHoverButton::CountText(1), "1");
    auto whiteIn = [](const QImage& image, const QRect& box) {
        int white = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (image.pixelColor(x, y).lightness() > 200) ++white;
        return white;
    };
    button_.LoadStrip(SolidStrip(48, 46));
    const QRect box(QPoint(23, 6), QPoint(37, 16));
    EXPECT_EQ(whiteIn(button_.grab().toImage(), box), 0);
    button_.SetCount(10);
    const QImage ten = button_.grab().toImage();
    EXPECT_GT(whiteIn(ten, box), 0);
    EXPECT_EQ(whiteIn(ten, QRect(0, 20, 48, 26)), 0);
}

TEST_F(HoverButtonTest, ShortClickClicksAndLongHoldAsksForTheMenuWithoutAClick) {
    QSignalSpy menu(&button_, &CHoverButton::ToolMenuRequested);
    QSignalSpy clicked(&button_, &QAbstractButton::clicked);
    button_.SetDropDown(true);
    button_.SetGroup(1);

    // A release before the hold interval: an ordinary click, no menu.
    button_.SetHoldInterval(60 * 1000);
    QTest::mousePress(&button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button_.HoldTimerActive());
    QTest::mouseRelease(&button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button_.HoldTimerActive());
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(menu.count(), 0);

    // A hold: one menu request with the group, the button no longer drawn pressed, and
    // neither moving on the button nor the release clicks it.
    button_.SetHoldInterval(1);
    QTest::mousePress(&button_, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(menu.wait(5000));
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.at(0).at(0).toInt(), 1);
    EXPECT_FALSE(button_.isDown());
    EXPECT_NE(Background(), kCellColours[CHoverButton::kPressed]);
    QTest::mouseMove(&button_, QPoint(6, 6));
    EXPECT_FALSE(button_.isDown());
    QTest::mouseRelease(&button_, Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(menu.count(), 1);

    // The next short click is a click again.
    button_.SetHoldInterval(60 * 1000);
    QTest::mouseClick(&button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 2);

    // A button without the drop-down never asks for the menu.
    button_.SetDropDown(false);
    button_.SetHoldInterval(1);
    QTest::mousePress(&button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button_.HoldTimerActive());
    QTest::qWait(20);
    QTest::mouseRelease(&button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(menu.count(), 1);
    EXPECT_EQ(clicked.count(), 3);
}

TEST_F(HoverButtonTest, ArrowHitIsTheRightmostEighteenPixels) {
    button_.LoadStrip(SolidStrip(48, 28));
    QTest::mouseClick(&button_, Qt::LeftButton, {}, QPoint(48 - 18, 5));
    EXPECT_TRUE(button_.ArrowHit());
    QTest::mouseClick(&button_, Qt::LeftButton, {}, QPoint(48 - 19, 5));
    EXPECT_FALSE(button_.ArrowHit());
    QTest::mouseClick(&button_, Qt::LeftButton, {}, QPoint(47, 27));
    EXPECT_TRUE(button_.ArrowHit());
}

TEST_F(HoverButtonTest, KeysAndSwallowedReleases) {
    QSignalSpy clicked(&button_, &QAbstractButton::clicked);
    QSignalSpy hand(&button_, &CHoverButton::HandToolRequested);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_F1, Qt::Key_F4}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&button_, &press);
        EXPECT_TRUE(press.isAccepted()) << key;
    }
    EXPECT_EQ(hand.count(), 0);
    QTest::keyClick(&button_, Qt::Key_Escape);
    EXPECT_EQ(hand.count(), 1);
    EXPECT_EQ(clicked.count(), 0);

    button_.SetSwallowButtonUp(true);
    QTest::mouseClick(&button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_FALSE(button_.isDown());
    button_.SetSwallowButtonUp(false);
    QTest::mouseClick(&button_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(HoverButtonTest, HandCursorAndToolTipWrappedAt200Pixels) {
    button_.SetHandCursor(true);
    EXPECT_EQ(button_.cursor().shape(), Qt::PointingHandCursor);
    button_.SetHandCursor(false);
    EXPECT_EQ(button_.cursor().shape(), Qt::ArrowCursor);

    const QString text =
        "Drawing tools: hold the button to choose a line, an arrow, a rectangle, an ellipse, a "
        "polygon, a cloud or a pencil; click to draw with the one shown.\nSecond paragraph "
        "WithAVeryLongWordThatDoesNotFitIntoTwoHundredPixelsAtAllWhateverTheFontIs";
    button_.SetToolTipText(text);
    const QString wrapped = button_.WrappedToolTip();
    const QStringList lines = wrapped.split('\n');
    EXPECT_GT(lines.size(), 4);
    const QFontMetrics metrics(QToolTip::font());
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), CHoverButton::kMaxTipWidth)
            << line.toStdString();
    // Only line breaks and the blanks at them change.
    QString flat = wrapped;
    QString original = text;
    EXPECT_EQ(flat.remove(' ').remove('\n'), original.remove(' ').remove('\n'));
}

TEST_F(HoverButtonTest, LabelIsDrawnInItsColour) {
    button_.LoadStrip(SolidStrip(80, 28));
    button_.SetFlat(true);
    auto labelPixels = [&] {
        const QImage image = button_.grab().toImage();
        int count = 0;
        for (int y = 3; y < 25; ++y)
            for (int x = 3; x < 77; ++x)
                if (image.pixelColor(x, y) != QColor(0xE6, 0xE6, 0xE6)) ++count;
        return count;
    };
    EXPECT_EQ(labelPixels(), 0);
    button_.SetLabel(true, "OK", true);
    EXPECT_GT(labelPixels(), 0);
}

}  // namespace
