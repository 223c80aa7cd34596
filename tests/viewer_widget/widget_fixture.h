// The viewer widget on the offscreen platform with a generated drawing, an event recorder
// and helpers that click and drag like a user.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/pdf_viewer_events.h"
#include "support/temp_dir.h"
#include "support/viewer_event_recorder.h"
#include "viewer/widget/pdf_viewer_widget.h"

using namespace quill;
using namespace quill::control;
using namespace quill::widget;

namespace widgettest {

using Recorder = testsupport::ViewerEventRecorder;

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

// The sample drawing's black square (page space) that pixel tests look for.
struct Mark {
    double x1, y1, x2, y2;
};
Mark MarkOf(widget::PdfViewerWidget& viewer, int page);

class WidgetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    widget::PdfViewerWidget& V() { return *viewer; }
    engine::EngineControl& E() { return viewer->Engine(); }
    QWidget* Port() { return viewer->viewport(); }
    void SetTool(const std::string& name);
    void WaitRendered();
    // Viewport point of a page-space point.
    QPoint At(int page, double x, double y);
    // A point given as a fraction of the page's crop box (0,0 bottom left).
    QPoint AtFrac(int page, double fx, double fy);
    void Click(QPoint p);
    void DoubleClick(QPoint p);
    // shot: when set, the view is saved (see Shot) before the button is let go.
    void Drag(QPoint from, QPoint to, int steps = 6, const char* shot = nullptr);
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    QImage Grab();
    // With QUILL_WIDGET_SHOTS naming a folder, saves the widget as <folder>/<name>.png, so
    // that a person can look at what the tools draw.
    void Shot(const std::string& name);
    std::string ExportFdf();

    testsupport::TempDir dir;
    std::string pdf;
    std::unique_ptr<widget::PdfViewerWidget> viewer;
    Recorder events;
    QString fileToOpen;  // what the replaced file dialog answers
};

}  // namespace widgettest
