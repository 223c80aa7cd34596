#include "widgets/artwork.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <cmath>
#include <limits>
#include <memory>
#include <set>

#include "widgets/arial_font.h"
#include "widgets/art_ids.h"

using namespace quill::widgets;

namespace {

// Pixmaps need a GUI application; one for the suite unless a test of another suite left one.
class ArtworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance()) return;
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    static void TearDownTestSuite() { app_.reset(); }

    static QImage Image(int id, qreal ratio = 1.0) {
        return Artwork(id, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
    }

    static std::unique_ptr<QApplication> app_;
};
std::unique_ptr<QApplication> ArtworkTest::app_;

// Ids and sizes as the client's windows use them, written out independently of the table.
struct Stated {
    std::vector<int> ids;
    QSize size;
};
const std::vector<Stated>& StatedSizes() {
    static const std::vector<Stated> stated = {
        {{160, 159, 156, 163, 161, 198, 162, 157, 166, 167, 277, 158, 165, 262, 164, 168},
         {124, 28}},
        {{169, 171, 170, 288}, {140, 34}},
        {{183, 184, 185, 186, 187, 188, 189, 190, 191, 192, 193}, {31, 28}},
        {{224, 225, 226, 282}, {31, 26}},
        {{235, 236, 237, 239, 240, 241, 242, 450, 451}, {16, 16}},
        {{149}, {48, 153}},
        {{150}, {48, 46}},
        {{ArtId::SortButton}, {100, 20}},
        {{ArtId::SpinnerWheel}, {500, 25}},
        {{410, 411, 412, 413, 414, 415}, {203, 82}},
        {{ArtId::PinIcon, ArtId::ReplyIcon}, {17, 17}},
        {{ArtId::ReviewDialogBackground}, {314, 196}},
        {{ArtId::ParticipantFinishBackground}, {314, 275}},
        {{ArtId::InitiatorFinishBackground}, {314, 310}},
        {{ArtId::FinishDialogIcon}, {24, 24}},
        {{ArtId::CloseButton}, {188, 20}},
        {{ArtId::OkButton}, {264, 29}},
    };
    return stated;
}

std::vector<int> HoverStrips() {
    return {160,
            159,
            156,
            163,
            161,
            198,
            162,
            157,
            166,
            167,
            277,
            158,
            165,
            262,
            164,
            168,
            169,
            171,
            170,
            288,
            ArtId::SortButton,
            ArtId::CloseButton,
            ArtId::OkButton};
}

bool IsPureRed(QRgb p) { return p == qRgba(255, 0, 0, 255); }

// A pixel that a blend of the cut colour with its neighbours would give.
bool IsNearRed(QRgb p) {
    return !IsPureRed(p) && qRed(p) > 150 && qRed(p) - qGreen(p) > 90 && qRed(p) - qBlue(p) > 90;
}

QImage Cell(const QImage& strip, int index, int cells) {
    const int w = strip.width() / cells;
    return strip.copy(index * w, 0, w, strip.height());
}

int OpaquePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    return sum / (a.width() * a.height());
}

TEST_F(ArtworkTest, EveryPictureRendersAtItsStatedSizeAtOneAndTwoTimes) {
    const std::vector<int> ids = ArtworkIds();
    ASSERT_FALSE(ids.empty());
    for (int id : ids) {
        SCOPED_TRACE(id);
        const QSize size = ArtworkSize(id);
        ASSERT_FALSE(size.isEmpty());
        const QPixmap one = Artwork(id);
        ASSERT_FALSE(one.isNull());
        EXPECT_EQ(one.size(), size);
        EXPECT_EQ(one.devicePixelRatio(), 1.0);
        const QPixmap two = Artwork(id, 2.0);
        ASSERT_FALSE(two.isNull());
        EXPECT_EQ(two.size(), size * 2);
        EXPECT_EQ(two.devicePixelRatio(), 2.0);
        EXPECT_EQ(two.deviceIndependentSize().toSize(), size);
        EXPECT_GT(OpaquePixels(one.toImage()), 0) << "nothing drawn";
        EXPECT_TRUE(QFileInfo(ArtworkSource(id)).fileName().startsWith(QString::number(id) + "_"));
    }
}

TEST_F(ArtworkTest, TheWindowsFindEveryPictureTheyNameAtTheSizeTheyLayOut) {
    for (const Stated& group : StatedSizes())
        for (int id : group.ids) {
            SCOPED_TRACE(id);
            EXPECT_EQ(ArtworkSize(id), group.size);
        }
    for (int code = 0; code <= 16; ++code)
        EXPECT_EQ(ArtworkSize(ArtId::TypeIconFirst + code), QSize(16, 16)) << code;
    EXPECT_EQ(ArtworkSize(ArtId::LinkIcon), QSize(16, 16));
    EXPECT_EQ(ArtworkSize(ArtId::ToolStripTile).width(), 48);
    EXPECT_FALSE(ArtworkSize(ArtId::LeftPanelTile).isEmpty());
    for (int id : kDrawingSubToolArt) EXPECT_FALSE(ArtworkSize(id).isEmpty()) << id;
    for (int id : kMeasuringSubToolArt) EXPECT_FALSE(ArtworkSize(id).isEmpty()) << id;
    for (int id : kSecondOverlayArt) EXPECT_FALSE(ArtworkSize(id).isEmpty()) << id;
    // A 124-pixel strip makes a 31-pixel button.
    EXPECT_EQ(ArtworkSize(ArtId::HandTool).width() / 4, 31);
}

TEST_F(ArtworkTest, UnknownIdsAndUnusableRatiosGiveNothingAndNeverCrash) {
    for (int id : {0, -1, 1, 127, 129, 238, 999, std::numeric_limits<int>::min(),
                   std::numeric_limits<int>::max()}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(Artwork(id).isNull());
        EXPECT_TRUE(Artwork(id, 2.0).isNull());
        EXPECT_TRUE(ArtworkSize(id).isEmpty());
        EXPECT_TRUE(ArtworkIcon(id).isNull());
        EXPECT_TRUE(ArtworkSource(id).isEmpty());
    }
    for (qreal ratio : {0.0, -1.0, std::nan(""), std::numeric_limits<qreal>::infinity(), 1e9})
        EXPECT_TRUE(Artwork(ArtId::HandTool, ratio).isNull()) << ratio;
    // A fractional ratio still covers the whole stated size.
    const QPixmap odd = Artwork(ArtId::HandTool, 1.25);
    EXPECT_EQ(odd.size(), QSize(155, 35));
}

TEST_F(ArtworkTest, RenderedPixmapsAreCachedNotDrawnOnEveryPaint) {
    EXPECT_EQ(Artwork(ArtId::HandTool).cacheKey(), Artwork(ArtId::HandTool).cacheKey());
    EXPECT_EQ(Artwork(ArtId::HandTool, 2).cacheKey(), Artwork(ArtId::HandTool, 2).cacheKey());
    EXPECT_NE(Artwork(ArtId::HandTool).cacheKey(), Artwork(ArtId::HandTool, 2).cacheKey());
}

TEST_F(ArtworkTest, IconsCarryOneAndTwoTimesAndTheApplicationIconEveryDesktopSize) {
    const QIcon tool = ArtworkIcon(ArtId::ZoomInMenuIcon);
    ASSERT_FALSE(tool.isNull());
    EXPECT_EQ(tool.pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
    const QIcon app = ArtworkIcon(ArtId::AppIcon);
    const QList<QSize> sizes = app.availableSizes();
    for (int side : {16, 32, 48, 256}) EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
}

TEST_F(ArtworkTest, StripCellsAllDifferSoEveryButtonStateShows) {
    for (int id : HoverStrips()) {
        SCOPED_TRACE(id);
        for (qreal ratio : {1.0, 2.0}) {
            const QImage strip = Image(id, ratio);
            ASSERT_EQ(strip.width() % 4, 0);
            for (int a = 0; a < 4; ++a)
                for (int b = a + 1; b < 4; ++b)
                    EXPECT_GT(MeanDifference(Cell(strip, a, 4), Cell(strip, b, 4)), 0.5)
                        << "cells " << a << " and " << b << " at " << ratio;
        }
    }
}

TEST_F(ArtworkTest, SubToolPicturesAreTransparentAndLeaveTheDropDownMarkFree) {
    const QImage base = Image(ArtId::DropDownTool);
    // The mark sits in the lower right of every cell of the drop-down strip.
    int markPixels = 0;
    for (int y = 18; y < 24; ++y)
        for (int x = 23; x < 30; ++x) markPixels += qGray(base.pixel(x, y)) < 160;
    EXPECT_GT(markPixels, 3);
    for (int id : {183, 184, 185, 186, 187, 188, 189, 190, 191, 192, 193}) {
        SCOPED_TRACE(id);
        const QImage picture = Image(id);
        EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(picture.pixel(picture.width() - 1, picture.height() - 1)), 0);
        for (int y = 18; y < 24; ++y)
            for (int x = 23; x < 30; ++x)
                EXPECT_EQ(qAlpha(picture.pixel(x, y)), 0) << "covers the mark at " << x << "," << y;
        EXPECT_GT(OpaquePixels(picture), 20);
    }
}

TEST_F(ArtworkTest, MenuIconsStandOutOnTheDarkBlueMenu) {
    for (int id : {235, 236, 237, 239, 240, 241, 242, 450, 451}) {
        SCOPED_TRACE(id);
        QImage on(16, 16, QImage::Format_ARGB32);
        on.fill(QColor(0, 51, 102));
        QPainter p(&on);
        p.drawPixmap(0, 0, Artwork(id));
        p.end();
        int bright = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) bright += qGray(on.pixel(x, y)) > 150;
        EXPECT_GE(bright, 12);
    }
}

TEST_F(ArtworkTest, CardIconsAreWhiteOnTransparentAndEachTypeHasItsOwn) {
    std::vector<int> ids = {ArtId::PinIcon, ArtId::ReplyIcon, ArtId::LinkIcon};
    for (int id = ArtId::TypeIconFirst; id <= ArtId::TypeIconLast; ++id) ids.push_back(id);
    std::vector<QImage> types;
    for (int id : ids) {
        SCOPED_TRACE(id);
        const QImage icon = Image(id);
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        int coloured = 0;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x) {
                const QRgb p = icon.pixel(x, y);
                if (qAlpha(p) < 128) continue;
                coloured += qRed(p) < 230 || qGreen(p) < 230 || qBlue(p) < 230;
            }
        EXPECT_EQ(coloured, 0);
        if (id >= ArtId::TypeIconFirst) types.push_back(icon);
    }
    for (size_t a = 0; a < types.size(); ++a)
        for (size_t b = a + 1; b < types.size(); ++b)
            EXPECT_GT(MeanDifference(types[a], types[b]), 1.0) << a << " and " << b;
}

TEST_F(ArtworkTest, DialogBackgroundsCutTheirCornersWithPureRedAndNothingNearIt) {
    for (int id : {ArtId::ReviewDialogBackground, ArtId::ParticipantFinishBackground,
                   ArtId::InitiatorFinishBackground}) {
        // Screens scaled by a fraction too: a blended edge there would leave a pink fringe
        // around the shaped window.
        for (qreal ratio : {1.0, 2.0, 1.25, 1.5, 1.75}) {
            SCOPED_TRACE(testing::Message() << id << " at " << ratio);
            const QImage bg = Image(id, ratio);
            const int w = bg.width(), h = bg.height();
            const int corner = static_cast<int>(8 * ratio);
            for (QPoint c :
                 {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
                EXPECT_TRUE(IsPureRed(bg.pixel(c))) << c.x() << "," << c.y();
            int red = 0, nearRed = 0, redInBody = 0, notOpaque = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const QRgb p = bg.pixel(x, y);
                    notOpaque += qAlpha(p) != 255;
                    nearRed += IsNearRed(p);
                    if (!IsPureRed(p)) continue;
                    ++red;
                    const bool inCorner =
                        (x < corner || x >= w - corner) && (y < corner || y >= h - corner);
                    redInBody += !inCorner;
                }
            EXPECT_EQ(nearRed, 0);
            EXPECT_EQ(redInBody, 0);
            EXPECT_EQ(notOpaque, 0) << "the window shows every pixel it keeps";
            if (ratio == std::floor(ratio)) {
                EXPECT_EQ(red % 4, 0) << "the four corners are cut alike";
            }
            EXPECT_GE(red, static_cast<int>(4 * 3 * ratio * ratio));
            // The border starts right where the cut ends: the top row's first kept pixel.
            int firstKept = 0;
            while (firstKept < w && IsPureRed(bg.pixel(firstKept, 0))) ++firstKept;
            EXPECT_GT(firstKept, 0);
            EXPECT_LT(qGray(bg.pixel(firstKept, 0)), 200);
        }
    }
}

TEST_F(ArtworkTest, SpinnerFramesAreOneWheelTurningThroughTwentySteps) {
    const QImage strip = Image(ArtId::SpinnerWheel);
    ASSERT_EQ(strip.width(), 20 * 25);
    std::vector<QImage> frames;
    for (int i = 0; i < 20; ++i) frames.push_back(Cell(strip, i, 20));
    for (int i = 0; i < 20; ++i) {
        EXPECT_GT(MeanDifference(frames[i], frames[(i + 1) % 20]), 2.0) << i;
        // Half a turn later the wheel is the same picture turned by 180 degrees.
        const QImage turned = frames[i].transformed(QTransform().rotate(180));
        EXPECT_LT(MeanDifference(turned, frames[(i + 10) % 20]), 6.0) << i;
    }
}

TEST_F(ArtworkTest, ArialTypeIsSizedInPixelsAndFallsBackToTheMetricTwin) {
    const QFont font = ArialPixelFont(15, 400);
    EXPECT_EQ(font.pixelSize(), 15);
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_EQ(ArialPixelFont(13, 600).weight(), QFont::DemiBold);
    EXPECT_EQ(ArialPixelFont(17, 700).weight(), QFont::Bold);
    EXPECT_EQ(ArialPixelFont(0, 400).pixelSize(), 1);
    EXPECT_EQ(ArialPixelFont(14, 5000).weight(), 1000);
    // A wider face standing in would push the texts out of their rectangles.
    const QString family = QFontInfo(font).family();
    EXPECT_TRUE(family == "Arial" || family == "Liberation Sans" || family == "Arimo")
        << family.toStdString();
    EXPECT_EQ(QFontInfo(font).pixelSize(), 15);
}

// The pictures together as the windows put them: the tool strip down the right edge with its
// buttons in several states, the workflow panel with the new-comment badge, a comment card, a
// finish dialog (its cut corners left out) and the spinner. Logical coordinates; `p` is scaled.
void DrawScene(QPainter& p, qreal ratio) {
    auto cell = [&](int id, int index, QPointF at) {
        const QPixmap strip = Artwork(id, ratio);
        const QSizeF size = QSizeF(ArtworkSize(id).width() / 4.0, ArtworkSize(id).height());
        p.drawPixmap(QRectF(at, size), strip,
                     QRectF(QPointF(index * size.width() * ratio, 0), size * ratio));
    };
    auto text = [&](QRect r, int pixels, int weight, QColor colour, const QString& s,
                    int flags = Qt::AlignLeft | Qt::AlignTop) {
        p.setFont(ArialPixelFont(pixels, weight));
        p.setPen(colour);
        p.drawText(r, flags, s);
    };

    // Tool strip, 48 wide and 760 high.
    const int h = 760;
    for (int y = 0; y < h; y += ArtworkSize(ArtId::ToolStripTile).height())
        p.drawPixmap(QPointF(0, y), Artwork(ArtId::ToolStripTile, ratio));
    const int tools[] = {ArtId::HandTool,       ArtId::DropDownTool,  ArtId::TextTool,
                         ArtId::NoteTool,       ArtId::HighlightTool, ArtId::StrikeoutTool,
                         ArtId::AttachmentTool, ArtId::DropDownTool,  ArtId::ZoomIn,
                         ArtId::ZoomOut,        ArtId::FindText,      ArtId::FitToPage,
                         ArtId::Rotation,       ArtId::AllComments,   ArtId::Printer};
    const int ys[] = {11, 41, 71, 101, 131, 161, 191, 221, 251, 281, 311, 341, 371, 401, 431};
    for (int i = 0; i < 15; ++i) {
        const int state = i == 0 ? 3 : i == 8 ? 1 : i == 14 ? 2 : 0;
        cell(tools[i], state, QPointF(10, ys[i]));
    }
    p.drawPixmap(QPointF(10, 41), Artwork(kDrawingSubToolArt[0], ratio));
    p.drawPixmap(QPointF(10, 221), Artwork(kMeasuringSubToolArt[0], ratio));
    p.drawPixmap(QPointF(10, 371 + 2), Artwork(kSecondOverlayArt[1], ratio));
    cell(ArtId::More, 0, QPointF(10, 461));
    p.drawPixmap(QPointF(0, h - 199), Artwork(ArtId::NewCommentBadge, ratio));
    text(QRect(0, h - 199, 48, 46), 16, 400, Qt::white, "9+", Qt::AlignCenter);
    p.drawPixmap(QPointF(0, h - 153), Artwork(ArtId::WorkflowPanel, ratio));
    cell(ArtId::CheckNewComments, 1, QPointF(9, h - 145));
    cell(ArtId::Publish, 0, QPointF(9, h - 95));
    cell(ArtId::FinishReview, 2, QPointF(9, h - 45));

    // A comment card and a selected one.
    for (int i = 0; i < 2; ++i) {
        const QPointF at(80, 10 + i * 82);
        p.drawPixmap(at, Artwork(i ? ArtId::GreenCardSelected : ArtId::BlueCard, ratio));
        p.drawPixmap(at + QPointF(7, 8), Artwork(ArtId::PinIcon, ratio));
        p.drawPixmap(at + QPointF(7, 25), Artwork(ArtId::TypeIconFirst + (i ? 11 : 0), ratio));
        p.drawPixmap(at + QPointF(7, 57), Artwork(ArtId::ReplyIcon, ratio));
        p.drawPixmap(at + QPointF(180, 57), Artwork(ArtId::LinkIcon, ratio));
        const QPoint o = at.toPoint();
        text(QRect(o + QPoint(30, 8), QSize(160, 16)), 14, 400, Qt::white,
             i ? "Apply" : "Under SC");
        text(QRect(o + QPoint(30, 25), QSize(160, 16)), 14, 400, Qt::white, "Kim-Piping");
        text(QRect(o + QPoint(30, 41), QSize(160, 16)), 14, 400, Qt::white, "2026-12-07 09:41:12");
        text(QRect(o + QPoint(30, 57), QSize(145, 16)), 14, 400, Qt::white,
             i ? "See https://example.org" : "Check the flange...");
    }

    // The participant's finish dialog with its cut corners dropped.
    const QPoint d(80, 190);
    QImage bg = Artwork(ArtId::ParticipantFinishBackground, ratio)
                    .toImage()
                    .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < bg.height(); ++y)
        for (int x = 0; x < bg.width(); ++x)
            if (IsPureRed(bg.pixel(x, y))) bg.setPixel(x, y, qRgba(0, 0, 0, 0));
    bg.setDevicePixelRatio(ratio);
    p.drawImage(QPointF(d), bg);
    cell(ArtId::CloseButton, 1, d + QPointF(260, 0));
    p.drawPixmap(d + QPointF(15, 10), Artwork(ArtId::FinishDialogIcon, ratio));
    text(QRect(d + QPoint(47, 18), d + QPoint(150, 130)), 17, 700, QColor(0x3C, 0x3C, 0x3C),
         "Closed");
    text(QRect(d + QPoint(50, 58), d + QPoint(280, 100)), 14, 400, QColor(0xFF, 0x33, 0x00),
         "The review of other documents in the\n[ SQ-0042 ] is finished.");
    text(QRect(d + QPoint(25, 110), d + QPoint(150, 125)), 14, 400, QColor(0x18, 0x4B, 0x79),
         "Result Summary:");
    p.fillRect(QRect(d + QPoint(25, 127), QSize(265, 92)), Qt::white);
    p.setPen(QColor(0xA3, 0xAF, 0xBC));
    p.drawRect(QRect(d + QPoint(25, 127), QSize(264, 91)));
    cell(ArtId::OkButton, 0, d + QPointF(223, 227));

    // The spinner over the busy window.
    const QRect busy(420, 10, 300, 120);
    p.fillRect(busy, QColor(91, 91, 89));
    const QPoint c = busy.center();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x7E, 0x80, 0x8B));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRect(c + QPoint(-108, -21), c + QPoint(107, 21)), 5, 5);
    p.drawPixmap(QRectF(c + QPointF(-98, -12), QSizeF(25, 25)), Artwork(ArtId::SpinnerWheel, ratio),
                 QRectF(0, 0, 25 * ratio, 25 * ratio));
    text(QRect(c + QPoint(-60, -21), c + QPoint(107, 21)), 15, 400, Qt::white, "Waiting...",
         Qt::AlignLeft | Qt::AlignVCenter);
}

// With ART_SHEET_DIR set, writes the whole set at 1x and 2x onto labelled sheets for a look by eye:
// each picture under its file name, menu icons on the menu's blue, card icons on a card, the
// spinner on its box, the rest on the main window's grey.
TEST_F(ArtworkTest, ContactSheet) {
    const QByteArray dir = qgetenv("ART_SHEET_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "set ART_SHEET_DIR to write the sheets";
    auto backdrop = [](int id) -> QColor {
        if ((id >= 235 && id <= 242) || id == ArtId::AgreeMenuIcon || id == ArtId::DisagreeMenuIcon)
            return QColor(0, 51, 102);
        if (id >= ArtId::PinIcon && id <= ArtId::TypeIconLast) return QColor(0x42, 0x7E, 0xBD);
        if (id == ArtId::SpinnerWheel) return QColor(0x7E, 0x80, 0x8B);
        return {};
    };
    for (int scale : {1, 2}) {
        const QFont font = ArialPixelFont(11 * scale, 400);
        const QFontMetrics metrics(font);
        const int sheetWidth = 1100 * scale, gap = 12 * scale, labelHeight = metrics.height();
        struct Place {
            int id;
            QRect box;
        };
        std::vector<Place> places;
        int x = gap, y = gap, rowHeight = 0;
        for (int id : ArtworkIds()) {
            const QString label = QFileInfo(ArtworkSource(id)).baseName();
            const QSize art = ArtworkSize(id) * scale;
            const QSize box(std::max(art.width(), metrics.horizontalAdvance(label)),
                            labelHeight + 6 * scale + art.height());
            if (x + box.width() > sheetWidth - gap) {
                x = gap;
                y += rowHeight + gap;
                rowHeight = 0;
            }
            places.push_back({id, QRect(QPoint(x, y), box)});
            x += box.width() + gap;
            rowHeight = std::max(rowHeight, box.height());
        }
        const int sceneTop = y + rowHeight + gap;
        QImage sheet(sheetWidth, sceneTop + 780 * scale, QImage::Format_ARGB32);
        sheet.fill(QColor(171, 171, 169));
        QPainter p(&sheet);
        p.setFont(font);
        for (const Place& place : places) {
            p.setPen(QColor(30, 30, 30));
            p.drawText(place.box.topLeft() + QPoint(0, metrics.ascent()),
                       QFileInfo(ArtworkSource(place.id)).baseName());
            const QPoint at = place.box.topLeft() + QPoint(0, labelHeight + 4 * scale);
            const QSize art = ArtworkSize(place.id) * scale;
            if (const QColor under = backdrop(place.id); under.isValid())
                p.fillRect(QRect(at - QPoint(2, 2) * scale, art + QSize(4, 4) * scale), under);
            p.drawPixmap(QRect(at, art), Artwork(place.id, scale));
        }
        p.translate(gap, sceneTop);
        p.scale(scale, scale);
        DrawScene(p, scale);
        p.end();
        const QString path = QString::fromLocal8Bit(dir) + QString("/art-sheet-%1x.png").arg(scale);
        EXPECT_TRUE(sheet.save(path)) << path.toStdString();
    }
}

}  // namespace
