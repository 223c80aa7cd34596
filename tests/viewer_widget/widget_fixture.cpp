#include "viewer_widget/widget_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include "viewer/widget/tools/sample_drawing.h"

using namespace quill;
using namespace quill::widget;

namespace widgettest {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

Mark MarkOf(widget::PdfViewerWidget& viewer, int page) {
    // WriteSampleDrawing puts a 24 pt black square at (120, 120) from the top left.
    const auto g = viewer.Engine().PageGeometryOf(page);
    const double top = g.mediaBox.y2;
    return {120, top - 144, 144, top - 120};
}

void WidgetTest::SetUpTestSuite() {
    if (!qApp) {
        static int argc = 1;
        static char name[] = "test_viewer_widget";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

void WidgetTest::SetUp() {
    pdf = (dir / "drawing.pdf").string();
    widget::SampleDrawingOptions o;
    o.pages = 3;
    ASSERT_TRUE(widget::WriteSampleDrawing(QString::fromStdString(pdf), o));
    viewer = std::make_unique<widget::PdfViewerWidget>();
    viewer->resize(1000, 760);
    viewer->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.get()));
    viewer->Dialogs().openFile = [this](QWidget*, const QString&, const QString&) {
        return fileToOpen;
    };
    viewer->Dialogs().setupPrinter = [](QWidget*, QPrinter&) { return true; };
    E().SetDefaultAuthor("Tester-MECH");
    ASSERT_TRUE(E().OpenFile(pdf, nullptr));
    E().SetEventListener(&events);
    WaitRendered();
}

void WidgetTest::TearDown() {
    if (viewer) E().SetEventListener(nullptr);
    viewer.reset();
}

void WidgetTest::SetTool(const std::string& name) {
    viewer->Control().SetCurrentTool(name);
    ASSERT_EQ(viewer->Control().CurrentTool(), name);
}

void WidgetTest::WaitRendered() {
    ASSERT_TRUE(WaitFor([this] { return viewer->VisibleTilesReady(); }));
    QCoreApplication::processEvents();
}

QPoint WidgetTest::At(int page, double x, double y) {
    return viewer->ToViewport(page, {x, y}).toPoint();
}

QPoint WidgetTest::AtFrac(int page, double fx, double fy) {
    const auto c = E().PageGeometryOf(page).cropBox;
    return At(page, c.x1 + fx * c.Width(), c.y1 + fy * c.Height());
}

void WidgetTest::Click(QPoint p) { QTest::mouseClick(Port(), Qt::LeftButton, Qt::NoModifier, p); }

void WidgetTest::DoubleClick(QPoint p) {
    QTest::mouseDClick(Port(), Qt::LeftButton, Qt::NoModifier, p);
}

void WidgetTest::Drag(QPoint from, QPoint to, int steps, const char* shot) {
    QTest::mousePress(Port(), Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= steps; ++i) {
        QTest::mouseMove(Port(), from + (to - from) * i / steps);
    }
    if (shot) Shot(shot);
    QTest::mouseRelease(Port(), Qt::LeftButton, Qt::NoModifier, to);
}

void WidgetTest::Key(int key, Qt::KeyboardModifiers mods) {
    QTest::keyClick(viewer.get(), static_cast<Qt::Key>(key), mods);
}

QImage WidgetTest::Grab() { return Port()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

void WidgetTest::Shot(const std::string& name) {
    const QByteArray folder = qgetenv("QUILL_WIDGET_SHOTS");
    if (folder.isEmpty()) return;
    QCoreApplication::processEvents();
    viewer->grab().save(QString::fromUtf8(folder) + "/" + QString::fromStdString(name) + ".png");
}

std::string WidgetTest::ExportFdf() {
    const auto path = dir / "export.fdf";
    EXPECT_TRUE(E().ExportAnnotsToFDFFile(path.string()));
    return testsupport::ReadFileBytes(path);
}

}  // namespace widgettest
