// The view: pages rendered sharp under zoom and rotation with every comment on the same spot
// of the drawing, fit modes, the current page, going to a position, find and print.
#include <QApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "control/pdf_page.h"
#include "viewer/engine/sample_pdf.h"
#include "viewer/widget/find_window.h"
#include "viewer/widget/measure_text.h"
#include "viewer/widget/page_layout.h"
#include "viewer_widget/widget_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::engine;
using namespace quill::widget;

namespace widgettest {
namespace {

bool IsDark(QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; }
bool IsRed(QRgb c) { return qRed(c) > 170 && qGreen(c) < 90 && qBlue(c) < 90; }
// Any red pixel within a pixel of the point (a thin line may fall between two pixels).
bool RedNear(const QImage& img, QPoint p) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (img.rect().contains(p + QPoint(dx, dy)) && IsRed(img.pixel(p + QPoint(dx, dy)))) {
                return true;
            }
        }
    }
    return false;
}

class ViewTest : public WidgetTest {};

TEST_F(ViewTest, ZoomAndRotationKeepTheCommentOnTheDrawing) {
    // A red frame drawn around the drawing's black square.
    const Mark m = MarkOf(V(), 0);
    engine::AnnotDraft s;
    s.tool = control::AnnotTool::Rectangle;
    s.page = 0;
    s.rect = {m.x1 - 12, m.y1 - 12, m.x2 + 12, m.y2 + 12};
    s.style.color = 0x0000FF;
    s.style.width = 3;
    ASSERT_TRUE(E().CreateAnnot(s));
    V().PageChanged(0);
    const double zooms[] = {0.6, 1.0, 2.3};
    for (int rotation = 0; rotation < 4; ++rotation) {
        for (double zoom : zooms) {
            SCOPED_TRACE("rotation " + std::to_string(rotation) + " zoom " + std::to_string(zoom));
            V().Control().SetRotation(static_cast<int16_t>(rotation));
            V().SetZoom(zoom);
            V().GoToPagePosition(0, (m.x1 + m.x2) / 2, (m.y1 + m.y2) / 2);
            WaitRendered();
            const QImage shot = Grab();
            // The square's centre is black paper from the renderer ...
            const QPoint c = V().ToViewport(0, {(m.x1 + m.x2) / 2, (m.y1 + m.y2) / 2}).toPoint();
            ASSERT_TRUE(shot.rect().contains(c));
            EXPECT_TRUE(IsDark(shot.pixel(c)));
            // ... just outside it is white paper, and further out is the red frame (3 pt
            // wide, inside its 12 pt margin) on every side.
            const double gap = 6 * zoom, frame = 10.5 * zoom;
            const QPointF cf(c);
            const double half = 12 * zoom;
            const QPointF dirs[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const QPointF& d : dirs) {
                const QPoint paper = (cf + d * (half + gap)).toPoint();
                const QPoint red = (cf + d * (half + frame)).toPoint();
                EXPECT_FALSE(IsDark(shot.pixel(paper))) << paper.x() << "," << paper.y();
                EXPECT_TRUE(RedNear(shot, red)) << red.x() << "," << red.y();
            }
        }
    }
}

TEST_F(ViewTest, FitModesRotationAndCurrentPage) {
    const QSize vp = V().viewport()->size();
    V().Control().SetFitMode(control::kFitPage);
    QRect r = V().Layout().PageRect(0);
    EXPECT_LE(r.width(), vp.width());
    EXPECT_LE(r.height(), vp.height());
    EXPECT_TRUE(r.width() > vp.width() - 40 || r.height() > vp.height() - 40);
    V().Control().SetFitMode(control::kFitWidth);
    r = V().Layout().PageRect(0);
    EXPECT_LE(r.width(), vp.width());
    EXPECT_GT(r.width(), vp.width() - 60);
    V().Control().SetFitMode(control::kFitActualSize);
    EXPECT_NEAR(V().Zoom(), V().logicalDpiX() / 72.0, 1e-6);

    // Turning a landscape page a quarter makes it portrait.
    V().Control().SetRotation(1);
    r = V().Layout().PageRect(0);
    EXPECT_GT(r.height(), r.width());
    V().Control().SetRotation(0);

    // Scrolling down makes the next page current.
    EXPECT_EQ(V().Control().CurrentPage(), 0);
    V().verticalScrollBar()->setValue(V().Layout().PageRect(2).top());
    EXPECT_EQ(V().Control().CurrentPage(), 2);
    V().Control().GoToPagePosition(1, 600, 300);
    EXPECT_EQ(V().Control().CurrentPage(), 1);
    const QPointF at = V().ToViewport(1, {600, 300});
    EXPECT_NEAR(at.x(), vp.width() / 2.0, 2);
    EXPECT_NEAR(at.y(), vp.height() / 2.0, 2);
}

TEST_F(ViewTest, HiddenCommentsAreNotDrawn) {
    const Mark m = MarkOf(V(), 0);
    engine::AnnotDraft s;
    s.tool = control::AnnotTool::Rectangle;
    s.page = 0;
    s.rect = {m.x2 + 30, m.y1, m.x2 + 90, m.y2};
    s.style.color = 0x0000FF;
    s.style.width = 4;
    s.style.fillColor = 0x0000FF;
    ASSERT_TRUE(E().CreateAnnot(s));
    V().PageChanged(0);
    const QPoint inside = V().ToViewport(0, {m.x2 + 60, (m.y1 + m.y2) / 2}).toPoint();
    EXPECT_TRUE(IsRed(Grab().pixel(inside)));
    V().Control().GetPage(0).GetAnnot(0).SetShown(false);
    EXPECT_FALSE(IsRed(Grab().pixel(inside)));
    V().Control().GetPage(0).GetAnnot(0).SetShown(true);
    EXPECT_TRUE(IsRed(Grab().pixel(inside)));
}

TEST_F(ViewTest, FindWindowStepsThroughHits) {
    SetTool("Find Text Tool");
    widget::FindWindow* finder = V().Finder();
    ASSERT_TRUE(finder->isVisible());
    EXPECT_EQ(finder->windowTitle(), "FindTool");
    finder->TextEdit()->setText("sample plant");
    finder->FindNext();
    ASSERT_TRUE(WaitFor([&] { return !finder->Searching(); }));
    EXPECT_EQ(finder->HitCount(), 3) << "the title block of each of the three pages";
    EXPECT_EQ(finder->CurrentHit(), 0);
    finder->FindNext();
    EXPECT_EQ(finder->CurrentHit(), 1);
    EXPECT_EQ(V().Control().CurrentPage(), 1) << "the view follows the hit";
    finder->FindPrevious();
    finder->FindPrevious();
    EXPECT_EQ(finder->CurrentHit(), 2) << "steps wrap around";
    finder->TextEdit()->setText("no such words");
    finder->FindNext();
    ASSERT_TRUE(WaitFor([&] { return !finder->Searching(); }));
    EXPECT_EQ(finder->HitCount(), 0);
}

TEST_F(ViewTest, PrintsEveryPageThroughThePrinterObject) {
    const std::string out = (dir / "printed.pdf").string();
    V().Dialogs().setupPrinter = [&](QWidget*, QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(out));
        printer.setResolution(72);
        return true;
    };
    engine::AnnotDraft s;
    s.tool = control::AnnotTool::Rectangle;
    s.page = 1;
    s.rect = {100, 100, 200, 200};
    ASSERT_TRUE(E().CreateAnnot(s));
    EXPECT_TRUE(V().Control().Printer().Print());
    const std::string bytes = testsupport::ReadFileBytes(out);
    ASSERT_FALSE(bytes.empty());
    size_t pages = 0;
    for (size_t at = bytes.find("/Type /Page\n"); at != std::string::npos;
         at = bytes.find("/Type /Page\n", at + 1)) {
        ++pages;
    }
    size_t pagesAlt = 0;
    for (size_t at = bytes.find("/Type /Page"); at != std::string::npos;
         at = bytes.find("/Type /Page", at + 1)) {
        if (bytes.compare(at, 12, "/Type /Pages") != 0) ++pagesAlt;
    }
    EXPECT_EQ(std::max(pages, pagesAlt), 3u);
    // A cancelled print dialog prints nothing.
    V().Dialogs().setupPrinter = [](QWidget*, QPrinter&) { return false; };
    EXPECT_FALSE(V().Control().Printer().Print());
}

TEST(PageLayoutTest, MapsPageSpaceBothWaysUnderEveryRotation) {
    engine::PageGeometry g;
    g.cropBox = {10, 20, 610, 420};  // 600 x 400
    g.mediaBox = g.cropBox;
    for (int own : {0, 90, 180, 270}) {
        g.rotate = own;
        for (int view = 0; view < 4; ++view) {
            widget::PageLayout layout;
            layout.SetPages({g, g});
            layout.SetView(1.5, view);
            const QRect r = layout.PageRect(1);
            // The crop box's corners land on the page rectangle's corners.
            for (engine::PointF p : {engine::PointF{10, 20}, {610, 420}}) {
                const QPointF c = layout.ToColumn(1, p);
                EXPECT_TRUE(std::abs(c.x() - r.left()) < 0.5 ||
                            std::abs(c.x() - r.right() - 1) < 0.5);
                EXPECT_TRUE(std::abs(c.y() - r.top()) < 0.5 ||
                            std::abs(c.y() - r.bottom() - 1) < 0.5);
                const engine::PointF back = layout.ToPage(1, c);
                EXPECT_NEAR(back.x, p.x, 1e-6);
                EXPECT_NEAR(back.y, p.y, 1e-6);
            }
            const bool turned = ((own / 90 + view) % 2) == 1;
            EXPECT_EQ(r.width(), turned ? 600 : 900);
        }
    }
}

TEST(MeasureTextTest, CalibrationAndFormatting) {
    const auto s = widget::CalibratedScale({0, 0}, {30, 40}, 10, " m ");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->unit, "m");
    EXPECT_DOUBLE_EQ(s->unitsPerPoint, 0.2);
    EXPECT_EQ(widget::FormatLength(100, *s), "20.00 m");
    EXPECT_EQ(widget::FormatArea(100, *s), "4.00 sq m");
    EXPECT_FALSE(widget::CalibratedScale({5, 5}, {5, 5}, 10, "m"));
    EXPECT_FALSE(widget::CalibratedScale({0, 0}, {1, 0}, 0, "m"));
    EXPECT_FALSE(widget::CalibratedScale({0, 0}, {1, 0}, -3, "m"));
    EXPECT_DOUBLE_EQ(widget::PolygonArea({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 100);
    EXPECT_DOUBLE_EQ(widget::PathLength({{0, 0}, {3, 4}, {3, 0}}, true), 12);
}

}  // namespace
}  // namespace widgettest

namespace widgettest {
namespace {

// Pages with their own /Rotate: what the mouse draws lands under the mouse, in every view
// rotation.
TEST_F(ViewTest, DrawingOnTurnedPagesLandsUnderTheMouse) {
    engine::SamplePdfOptions o;
    o.pageCount = 2;
    o.rotations = {90, 270};
    const std::string turned = (dir / "turned.pdf").string();
    std::string error;
    ASSERT_TRUE(engine::WriteSamplePdf(o, turned, &error)) << error;
    ASSERT_TRUE(E().OpenFile(turned, nullptr));
    for (int rotation = 0; rotation < 4; ++rotation) {
        SCOPED_TRACE("view rotation " + std::to_string(rotation));
        V().Control().SetRotation(static_cast<int16_t>(rotation));
        V().Control().SetFitMode(control::kFitPage);
        WaitRendered();
        const int page = V().Control().CurrentPage();
        const QRect pr =
            V().Layout().PageRect(page).translated(-V().verticalScrollBar()->value(), 0);
        ASSERT_GT(pr.height(), 100);
        SetTool("Rectangle Tool");
        const QPoint from(V().viewport()->width() / 2 - 80, V().viewport()->height() / 2 - 50);
        const QPoint to = from + QPoint(160, 90);
        events.log.clear();
        Drag(from, to);
        ASSERT_EQ(events.log.size(), 1u);
        const int index = V().Control().GetPage(page).AnnotCount() - 1;
        const auto box = E().GeometryOf(V().Control().GetPage(page).GetAnnot(index).Id()).box;
        // The box's corners, shown, are the corners of the drag.
        QRectF shown;
        for (engine::PointF c : {engine::PointF{box.x1, box.y1}, {box.x2, box.y2}}) {
            shown |= QRectF(V().ToViewport(page, c), QSizeF(0.01, 0.01));
        }
        EXPECT_NEAR(shown.left(), from.x(), 1.5);
        EXPECT_NEAR(shown.top(), from.y(), 1.5);
        EXPECT_NEAR(shown.right(), to.x(), 1.5);
        EXPECT_NEAR(shown.bottom(), to.y(), 1.5);
    }
}

}  // namespace
}  // namespace widgettest

namespace widgettest {
namespace {

TEST_F(ViewTest, ZoomToolsKeepTheClickedPointInPlace) {
    const QPoint at = AtFrac(0, 0.4, 0.6);
    const engine::PointF under = V().ToPage(0, at);
    const double before = V().Zoom();
    SetTool("ZoomIn Tool");
    Click(at);
    EXPECT_NEAR(V().Zoom(), before * 1.25, 1e-9);
    const QPointF still = V().ToViewport(0, under);
    EXPECT_NEAR(still.x(), at.x(), 1.5);
    EXPECT_NEAR(still.y(), at.y(), 1.5);
    SetTool("ZoomOut Tool");
    Click(at);
    EXPECT_NEAR(V().Zoom(), before, 1e-9);
    // Ctrl and the wheel zoom too; fitting again after a hand zoom.
    QWheelEvent wheel(QPointF(at), V().viewport()->mapToGlobal(QPointF(at)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(V().viewport(), &wheel);
    EXPECT_NEAR(V().Zoom(), before * 1.25, 1e-9);
    // Setting a tool again (Escape gives the hand tool each time) keeps the zoom ...
    SetTool("Hand Tool");
    SetTool("Hand Tool");
    EXPECT_NEAR(V().Zoom(), before * 1.25, 1e-9);
    // ... and the fit button fits again, even to the fit mode already set.
    ASSERT_EQ(V().Control().FitMode(), control::kFitPage);
    V().Control().SetFitMode(control::kFitPage);
    EXPECT_NEAR(V().Zoom(), before, 1e-9);
    EXPECT_TRUE(events.log.empty());
}

}  // namespace
}  // namespace widgettest
