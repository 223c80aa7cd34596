#include "ui/spinner_dlg.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include "ui/busy_event_pump.h"
#include "ui/ui_fixture.h"

using namespace quill::ui;

namespace {

// A wheel of one solid colour per frame.
QColor FrameColour(int frame) { return QColor(10 * frame + 40, 255 - 10 * frame, 17); }

QPixmap TestWheel() {
    QPixmap strip(CSpinnerDlg::kFrames * CSpinnerDlg::kFrameSize, CSpinnerDlg::kFrameSize);
    QPainter painter(&strip);
    for (int frame = 0; frame < CSpinnerDlg::kFrames; ++frame)
        painter.fillRect(frame * CSpinnerDlg::kFrameSize, 0, CSpinnerDlg::kFrameSize,
                         CSpinnerDlg::kFrameSize, FrameColour(frame));
    return strip;
}

class SpinnerTest : public ::testing::Test {
protected:
    SpinnerTest() {
        uitest::EnsureApp();
        spinner_ = std::make_unique<CSpinnerDlg>();
        spinner_->resize(400, 200);
        EXPECT_TRUE(spinner_->LoadWheel(TestWheel()));
    }
    // The colour in the middle of the wheel as the spinner paints it now.
    QColor WheelColour() {
        const QPoint at = CSpinnerDlg::WheelOrigin(spinner_->size()) + QPoint(12, 12);
        return spinner_->grab().toImage().pixelColor(at);
    }
    std::unique_ptr<CSpinnerDlg> spinner_;
};

TEST_F(SpinnerTest, PaintsTheCoverThePlateTheTextAndTheWheel) {
    EXPECT_FALSE(spinner_->isVisible());  // created hidden
    spinner_->SetText("Waiting...");
    const QImage image = spinner_->grab().toImage();
    const int cx = 200, cy = 100;
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));  // the hatch rectangle's border
    EXPECT_EQ(image.pixelColor(399, 199), QColor(Qt::black));
    // The cover: the fill and its cross hatch, nothing else.
    int fill = 0, hatch = 0;
    for (int y = 1; y < 60; ++y)
        for (int x = 1; x < 399; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == QColor(0x5B, 0x5B, 0x59))
                ++fill;
            else if (c == QColor(0x50, 0x50, 0x50))
                ++hatch;
            else
                ADD_FAILURE() << x << "," << y;
        }
    EXPECT_GT(fill, hatch);
    EXPECT_GT(hatch, 0);
    EXPECT_EQ(image.pixelColor(cx - 60, cy - 15), QColor(0x7E, 0x80, 0x8B));  // the plate
    EXPECT_EQ(image.pixelColor(cx + 100, cy + 15), QColor(0x7E, 0x80, 0x8B));
    EXPECT_NE(image.pixelColor(cx - 108, cy - 21), QColor(0x7E, 0x80, 0x8B));  // a round corner
    EXPECT_EQ(image.pixelColor(cx - 86, cy), FrameColour(0));
    // White text right of the wheel, inside its box.
    int white = 0;
    for (int y = cy - 7; y < cy + 21; ++y)
        for (int x = cx - 26; x < cx + 122; ++x)
            if (image.pixelColor(x, y).lightness() > 240) ++white;
    EXPECT_GT(white, 10);
}

TEST_F(SpinnerTest, WheelWaitsForThePaintThenTurnsOneFrameAStep) {
    spinner_->SetText("Waiting...");
    EXPECT_TRUE(spinner_->Running());
    EXPECT_TRUE(spinner_->AnimationTimer().isActive());
    EXPECT_EQ(spinner_->AnimationTimer().interval(), 30);
    for (int i = 0; i < 3; ++i) spinner_->Step();
    EXPECT_EQ(spinner_->NextFrame(), 0);  // no paint yet: nothing moves
    EXPECT_EQ(WheelColour(), FrameColour(0));
    EXPECT_TRUE(spinner_->Painted());
    spinner_->Step();  // draws frame 0, then frame 1 comes
    spinner_->Step();
    EXPECT_EQ(spinner_->ShownFrame(), 1);
    EXPECT_EQ(WheelColour(), FrameColour(1));
    for (int i = 0; i < 19; ++i) spinner_->Step();
    EXPECT_EQ(spinner_->ShownFrame(), 0);  // after frame 19 comes frame 0
    EXPECT_EQ(spinner_->NextFrame(), 1);
}

TEST_F(SpinnerTest, EmptyTextStopsAndTheNextTextRestartsAtFrameZero) {
    spinner_->SetText("Waiting...");
    spinner_->grab();
    for (int i = 0; i < 5; ++i) spinner_->Step();
    ASSERT_EQ(spinner_->ShownFrame(), 4);
    spinner_->SetText("");
    EXPECT_FALSE(spinner_->Running());
    EXPECT_FALSE(spinner_->Painted());
    EXPECT_FALSE(spinner_->AnimationTimer().isActive());
    spinner_->Step();
    EXPECT_EQ(spinner_->ShownFrame(), 4);

    // Started again (twice, as the main window may): frame 0, the one timer, one frame a step.
    spinner_->SetText("Waiting...");
    spinner_->SetText("Waiting...");
    EXPECT_EQ(spinner_->ShownFrame(), 0);
    EXPECT_EQ(spinner_->NextFrame(), 0);
    EXPECT_TRUE(spinner_->AnimationTimer().isActive());
    spinner_->grab();
    spinner_->Step();
    spinner_->Step();
    EXPECT_EQ(spinner_->ShownFrame(), 1);
}

TEST_F(SpinnerTest, OwnWheelHasTwentyDistinctFramesAndWrongStripsAreRefused) {
    const QPixmap wheel = CSpinnerDlg::DrawWheelStrip();
    EXPECT_EQ(wheel.size(), QSize(500, 25));
    EXPECT_EQ(CSpinnerDlg::DrawWheelStrip(2.0).size(), QSize(1000, 50));
    const QImage image = wheel.toImage();
    for (int frame = 1; frame < CSpinnerDlg::kFrames; ++frame)
        EXPECT_NE(image.copy(frame * 25, 0, 25, 25), image.copy((frame - 1) * 25, 0, 25, 25))
            << frame;
    EXPECT_FALSE(spinner_->LoadWheel(QPixmap(124, 28)));
    EXPECT_FALSE(spinner_->LoadWheel(QPixmap()));
    EXPECT_TRUE(spinner_->LoadWheel(wheel));
}

TEST_F(SpinnerTest, WaitingWithTheBusyPumpTurnsTheWheel) {
    QWidget window;
    window.resize(400, 200);
    spinner_->setParent(&window);
    window.show();
    spinner_->show();
    spinner_->SetText("Waiting...");
    // The paint and at least one 30 ms step both fall inside the wait.
    PumpBusyEvents(300);
    EXPECT_TRUE(spinner_->Painted());
    EXPECT_GT(spinner_->NextFrame(), 0);
    spinner_->setParent(nullptr);
}

TEST(BusyEventPumpTest, UntilStopsWhenDoneOrAtTheTimeout) {
    uitest::EnsureApp();
    bool done = false;
    QTimer::singleShot(30, [&] { done = true; });
    EXPECT_TRUE(PumpBusyEventsUntil([&] { return done; }, 10000));
    EXPECT_FALSE(PumpBusyEventsUntil([] { return false; }, 50));
    EXPECT_TRUE(PumpBusyEventsUntil([] { return true; }, 0));
}

}  // namespace
