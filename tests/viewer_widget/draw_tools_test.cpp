// Every comment tool drawn with the mouse: the event fires once, the comment is in the FDF.
#include <QImage>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "control/pdf_page.h"
#include "viewer/widget/draw_session.h"
#include "viewer_widget/widget_fixture.h"

using namespace quill;
using namespace quill::control;
using namespace quill::widget;

namespace widgettest {
namespace {

class DrawToolsTest : public WidgetTest {
protected:
    // The newest comment of page 0 after one "added" event.
    control::PdfAnnot ExpectOneAdded() {
        EXPECT_EQ(events.log, std::vector<std::string>{"added 0," + std::to_string(count)});
        control::PdfAnnot a = V().Control().GetPage(0).GetAnnot(count);
        EXPECT_TRUE(a.IsValid());
        ++count;
        events.log.clear();
        return a;
    }
    int count = 0;
};

struct DragCase {
    const char* tool;
    const char* toolName;  // what the comment reports
    const char* fdf;       // must be in the exported FDF
};

TEST_F(DrawToolsTest, DragToolsMakeTheirCommentsWithOneEvent) {
    const DragCase cases[] = {
        {"Line Tool", "Line", "/Subtype/Line"},
        {"Arrow Tool", "Arrow", "/IT/LineArrow"},
        {"Distance Tool", "Distance", "/IT/LineDimension"},
        {"Rectangle Tool", "Rectangle", "/Subtype/Square"},
        {"Ellipse Tool", "Circle", "/Subtype/Circle"},
        {"Cloudy Tool", "Cloudy", "/IT/PolygonCloud"},
        {"Pencil Tool", "Pencil", "/Subtype/Ink"},
    };
    double y = 0.85;
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.tool);
        SetTool(c.tool);
        const std::string shot = std::string("draw-") + c.toolName;
        Drag(AtFrac(0, 0.3, y), AtFrac(0, 0.45, y - 0.08), 6, (shot + "-preview").c_str());
        control::PdfAnnot a = ExpectOneAdded();
        EXPECT_EQ(a.GetToolName(), c.toolName);
        EXPECT_EQ(a.Author(), "Tester-MECH");
        EXPECT_NE(ExportFdf().find(c.fdf), std::string::npos);
        y -= 0.1;
    }
    Shot("draw-drag-tools");
    // A click without a drag makes no line or rectangle.
    SetTool("Line Tool");
    Click(AtFrac(0, 0.7, 0.5));
    EXPECT_TRUE(events.log.empty());
}

TEST_F(DrawToolsTest, VertexToolsTakeClicksAndFinishOnDoubleClick) {
    const DragCase cases[] = {
        {"Polygon Tool", "Polygon", "/Subtype/Polygon"},
        {"Polyline Tool", "PolyLine", "/Subtype/PolyLine"},
        {"PolyLine Tool", "PolyLine", "/Subtype/PolyLine"},
        {"Perimeter Tool", "Perimeter", "/IT/PolyLineDimension"},
        {"Area Tool", "Area", "/IT/PolygonDimension"},
        {"Cloudy Tool", "Cloudy", "/IT/PolygonCloud"},
    };
    double y = 0.85;
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.tool);
        SetTool(c.tool);
        Click(AtFrac(0, 0.2, y));
        Click(AtFrac(0, 0.3, y));
        EXPECT_TRUE(events.log.empty()) << "made before the shape was finished";
        Click(AtFrac(0, 0.3, y - 0.1));
        QTest::mouseMove(Port(), AtFrac(0, 0.24, y - 0.12));
        Shot(std::string("draw-") + c.toolName + "-preview");
        DoubleClick(AtFrac(0, 0.25, y - 0.12));
        control::PdfAnnot a = ExpectOneAdded();
        EXPECT_EQ(a.GetToolName(), c.toolName);
        EXPECT_NE(ExportFdf().find(c.fdf), std::string::npos);
        const auto g = E().GeometryOf(a.Id());
        EXPECT_EQ(g.points.size(), 4u);
        y -= 0.13;
    }
    Shot("draw-vertex-tools");
    // Enter finishes too; Escape throws the shape away.
    SetTool("Polygon Tool");
    Click(AtFrac(0, 0.6, 0.3));
    Click(AtFrac(0, 0.7, 0.3));
    Click(AtFrac(0, 0.7, 0.2));
    Key(Qt::Key_Escape);
    EXPECT_TRUE(events.log.empty());
    Click(AtFrac(0, 0.6, 0.3));
    Click(AtFrac(0, 0.7, 0.3));
    Click(AtFrac(0, 0.7, 0.2));
    Key(Qt::Key_Return);
    EXPECT_EQ(E().GeometryOf(ExpectOneAdded().Id()).points.size(), 3u);
}

TEST_F(DrawToolsTest, MeasurementsUseTheCalibratedScale) {
    // 100 points between the two calibration clicks are 5 m.
    V().Dialogs().knownDistance = [](QWidget*, double, const QString&) {
        return std::optional<widget::KnownDistance>({5.0, "m"});
    };
    V().SetZoom(1.0);
    WaitRendered();
    V().StartCalibration();
    Click(At(0, 300, 400));
    Shot("measure-calibrating");
    Click(At(0, 400, 400));
    EXPECT_EQ(V().Scale().unit, "m");
    EXPECT_NEAR(V().Scale().unitsPerPoint, 0.05, 1e-3);
    EXPECT_TRUE(events.log.empty());

    SetTool("Distance Tool");
    Drag(At(0, 300, 300), At(0, 500, 300), 6, "measure-distance-preview");
    control::PdfAnnot d = ExpectOneAdded();
    EXPECT_EQ(d.GetContents(), "10.00 m");
    const std::string fdf = ExportFdf();
    EXPECT_NE(fdf.find("/Measure"), std::string::npos);

    SetTool("Area Tool");
    Click(At(0, 300, 200));
    Click(At(0, 400, 200));
    Click(At(0, 400, 100));
    DoubleClick(At(0, 300, 100));
    // 100 x 100 points = 5 m x 5 m.
    EXPECT_EQ(ExpectOneAdded().GetContents(), "25.00 sq m");

    SetTool("Perimeter Tool");
    Click(At(0, 600, 200));
    Click(At(0, 700, 200));
    DoubleClick(At(0, 700, 100));
    EXPECT_EQ(ExpectOneAdded().GetContents(), "10.00 m");
    Shot("measure-calibrated");
}

TEST_F(DrawToolsTest, HighlightAndStrikeOutFollowThePageText) {
    const auto g = E().PageGeometryOf(0);
    // The notes column right of the plan, below the frame's grid numbers: "GENERAL NOTES",
    // then "1. All dimensions are in millimetres.", then "2. ...".
    std::vector<engine::Quad> words = E().TextQuadsIn(
        0,
        {g.cropBox.x1 + g.cropBox.Width() * 0.66, g.cropBox.y1, g.cropBox.x2, g.cropBox.y2 - 40});
    ASSERT_GE(words.size(), 6u);
    auto center = [&](size_t i) {
        const auto& q = words[i];
        return At(0, (q[0].x + q[3].x) / 2, (q[0].y + q[3].y) / 2);
    };
    for (const char* tool : {"Highlight Tool", "Strikeout Tool"}) {
        SCOPED_TRACE(tool);
        SetTool(tool);
        // From the first word of the first note line across to the second line. The page's
        // words are read on a worker: the mark is made once they are there.
        Drag(center(2), center(8), 6,
             tool[0] == 'H' ? "text-highlight-preview" : "text-strike-preview");
        ASSERT_TRUE(WaitFor([&] { return !events.log.empty(); }, 10000));
        control::PdfAnnot a = ExpectOneAdded();
        const auto geo = E().GeometryOf(a.Id());
        ASSERT_FALSE(geo.quads.empty());
        EXPECT_GE(geo.quads.size(), 2u) << "one quad per line of text";
        // The quads lie on the text: the first line from "1." to its end, the second line's
        // first word.
        ASSERT_EQ(geo.quads.size(), 2u);
        const auto first = engine::BoundsOf({words[2].begin(), words[2].end()});
        const auto last = engine::BoundsOf({words[7].begin(), words[7].end()});
        const auto q = engine::BoundsOf({geo.quads[0].begin(), geo.quads[0].end()});
        EXPECT_NEAR(q.y1, first.y1, 1.0);
        EXPECT_NEAR(q.y2, first.y2, 1.0);
        EXPECT_NEAR(q.x1, first.x1, 1.0);
        EXPECT_NEAR(q.x2, last.x2, 1.0);
        EXPECT_NE(ExportFdf().find("/QuadPoints"), std::string::npos);
    }
    Shot("text-marks");
    // Dragging over blank paper marks nothing.
    SetTool("Highlight Tool");
    Drag(AtFrac(0, 0.05, 0.1), AtFrac(0, 0.1, 0.12));
    EXPECT_TRUE(events.log.empty());
}

TEST_F(DrawToolsTest, NoteImageAndAttachmentTakeAClickAndAFile) {
    SetTool("Note Tool");
    Click(AtFrac(0, 0.5, 0.5));
    control::PdfAnnot note = ExpectOneAdded();
    EXPECT_EQ(note.GetSubtypeName(), "Text");

    // The file dialog's answer: a small PNG, then a text file, then nothing (cancelled).
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(QColor(10, 200, 30));
    fileToOpen = QString::fromStdString((dir / "pic.png").string());
    ASSERT_TRUE(img.save(fileToOpen));
    SetTool("Image Tool");
    Drag(AtFrac(0, 0.2, 0.5), AtFrac(0, 0.3, 0.4));
    control::PdfAnnot image = ExpectOneAdded();
    EXPECT_EQ(image.GetTypeName(), "Stamp");
    // The image keeps its shape inside the dragged rectangle.
    const auto r = E().GeometryOf(image.Id()).box;
    EXPECT_NEAR(r.Width() / r.Height(), 2.0, 0.05);

    testsupport::WriteFileBytes(dir / "report.txt", "pump data\n");
    fileToOpen = QString::fromStdString((dir / "report.txt").string());
    SetTool("FileAttachment Tool");
    Click(AtFrac(0, 0.6, 0.6));
    control::PdfAnnot file = ExpectOneAdded();
    EXPECT_EQ(file.GetSubtypeName(), "File Attachment");
    const std::string fdf = ExportFdf();
    EXPECT_NE(fdf.find("/Subtype/FileAttachment"), std::string::npos);
    EXPECT_NE(fdf.find("report.txt"), std::string::npos);

    Shot("note-image-attachment");
    fileToOpen.clear();
    Click(AtFrac(0, 0.7, 0.6));
    EXPECT_TRUE(events.log.empty()) << "a cancelled file dialog makes nothing";
}

TEST_F(DrawToolsTest, CallOutTextUsesTheTextFont) {
    control::PdfTextFont font = V().Control().GetTextFont();
    font.SetFaceName("DejaVu Serif");
    font.SetSize(18);
    font.SetColor(0x985B3B);
    SetTool("CallOut");
    Drag(AtFrac(0, 0.4, 0.4), AtFrac(0, 0.55, 0.55));
    ASSERT_NE(V().CalloutEditor(), nullptr);
    EXPECT_TRUE(events.log.empty()) << "made only when the text is done";
    QTest::keyClicks(V().CalloutEditor(), "Check weld");
    Shot("callout-typing");
    QTest::keyClick(V().CalloutEditor(), Qt::Key_Return, Qt::ControlModifier);
    control::PdfAnnot a = ExpectOneAdded();
    EXPECT_EQ(a.GetContents(), "Check weld");
    Shot("callout-done");
    const std::string fdf = ExportFdf();
    EXPECT_NE(fdf.find("/IT/FreeTextCallout"), std::string::npos);
    EXPECT_NE(fdf.find("18"), std::string::npos);
    EXPECT_NE(fdf.find("DejaVu"), std::string::npos);
    const auto geo = E().GeometryOf(a.Id());
    ASSERT_GE(geo.points.size(), 2u);
    // The line starts at the target the user pressed on.
    const QPoint target = AtFrac(0, 0.4, 0.4);
    const QPointF start = V().ToViewport(0, geo.points.front());
    EXPECT_LE((start - QPointF(target)).manhattanLength(), 2.0);

    // An empty text makes nothing.
    Drag(AtFrac(0, 0.2, 0.2), AtFrac(0, 0.3, 0.3));
    ASSERT_NE(V().CalloutEditor(), nullptr);
    QTest::keyClick(V().CalloutEditor(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(events.log.empty());
}

TEST_F(DrawToolsTest, CallOutTextIsDroppedByEscapeFollowsTheViewAndIsKeptByAClickElsewhere) {
    SetTool("CallOut");
    Drag(AtFrac(0, 0.4, 0.4), AtFrac(0, 0.55, 0.55));
    ASSERT_NE(V().CalloutEditor(), nullptr);
    QTest::keyClicks(V().CalloutEditor(), "Dropped");
    QTest::keyClick(V().CalloutEditor(), Qt::Key_Escape);
    EXPECT_EQ(V().CalloutEditor(), nullptr);
    EXPECT_TRUE(events.log.empty());

    Drag(AtFrac(0, 0.4, 0.4), AtFrac(0, 0.55, 0.55));
    QPlainTextEdit* box = V().CalloutEditor();
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, "Kept");
    // The box stays on its spot of the page while the view scrolls.
    const QPoint before = box->pos();
    QScrollBar* bar = V().verticalScrollBar();
    ASSERT_GE(bar->maximum() - bar->value(), 40);
    bar->setValue(bar->value() + 40);
    EXPECT_EQ(box->pos(), before - QPoint(0, 40));
    // A press elsewhere makes the call-out of what was typed.
    Click(AtFrac(0, 0.1, 0.1));
    EXPECT_EQ(ExpectOneAdded().GetContents(), "Kept");
}

TEST(DrawSessionTest, WordsOnOneLineMergeIntoOneQuad) {
    using engine::Quad;
    auto word = [](double x1, double y1, double x2, double y2) {
        return Quad{engine::PointF{x1, y2}, {x2, y2}, {x1, y1}, {x2, y1}};
    };
    const auto lines = widget::DrawSession::MergeLines(
        {word(10, 100, 40, 110), word(45, 100, 80, 110), word(10, 85, 30, 95)});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0][0].x, 10);
    EXPECT_EQ(lines[0][1].x, 80);
    EXPECT_EQ(lines[1][1].x, 30);
}

}  // namespace
}  // namespace widgettest

namespace widgettest {
namespace {

TEST(DrawSessionTest, TextDragMarksWordsInReadingOrderWithinItsColumn) {
    using engine::Quad;
    auto word = [](double x1, double y1, double x2, double y2) {
        return Quad{engine::PointF{x1, y2}, {x2, y2}, {x1, y1}, {x2, y1}};
    };
    // Left column: three lines of three words; right column far away: one word per line;
    // a grid label above everything.
    std::vector<Quad> words;
    for (int line = 0; line < 3; ++line) {
        const double y = 500 - line * 14;
        for (int w = 0; w < 3; ++w) words.push_back(word(100 + w * 40, y, 130 + w * 40, y + 10));
        words.push_back(word(600, y, 640, y + 10));
    }
    words.push_back(word(300, 560, 310, 570));
    // From the middle word of the first line to the first word of the third.
    const auto chosen = widget::DrawSession::SelectWords(words, {155, 505}, {110, 477}, 20);
    // Two words of the first line, the whole second line, the first word of the third.
    ASSERT_EQ(chosen.size(), 6u);
    for (const Quad& q : chosen) {
        EXPECT_LT(q[0].x, 300) << "nothing of the other column or the label";
    }
    EXPECT_EQ(chosen.front()[0].x, 140);
    EXPECT_EQ(chosen.back()[0].x, 100);
    EXPECT_EQ(widget::DrawSession::MergeLines(chosen).size(), 3u);
    // Dragged the other way round: the same words.
    EXPECT_EQ(widget::DrawSession::SelectWords(words, {110, 477}, {155, 505}, 20).size(), 6u);
    // Far from any word: nothing.
    EXPECT_TRUE(widget::DrawSession::SelectWords(words, {400, 100}, {450, 120}, 20).empty());
}

}  // namespace
}  // namespace widgettest

namespace widgettest {
namespace {

TEST_F(DrawToolsTest, ShapesDraggedPastThePageEdgeStopAtIt) {
    SetTool("Rectangle Tool");
    const QRect page = V().Layout().PageRect(0).translated(-V().horizontalScrollBar()->value(),
                                                           -V().verticalScrollBar()->value());
    Drag(AtFrac(0, 0.9, 0.5), QPoint(page.right() + 40, page.center().y() + 30));
    const auto box = E().GeometryOf(ExpectOneAdded().Id()).box;
    EXPECT_LE(box.x2, E().PageGeometryOf(0).cropBox.x2 + 0.01);
}

}  // namespace
}  // namespace widgettest
