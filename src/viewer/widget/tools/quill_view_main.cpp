// quill-view: opens a PDF in the viewer widget alone, with a tool bar to pick the tools.
//   quill-view FILE.pdf [--samples] [--tool NAME] [--zoom Z] [--fit N] [--rotation N]
//              [--select N] [--note N] [--properties N] [--find TEXT] [--size WxH]
//              [--screenshot OUT.png]
//   quill-view --make-sample OUT.pdf [--heavy N]
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QMainWindow>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cstdio>

#include "control/viewer_tool.h"
#include "viewer/widget/annot_properties_dialog.h"
#include "viewer/widget/comment_note_dialog.h"
#include "viewer/widget/find_window.h"
#include "viewer/widget/pdf_viewer_widget.h"
#include "viewer/widget/tools/sample_annots.h"
#include "viewer/widget/tools/sample_drawing.h"

using namespace quill;
using namespace quill::widget;
using widget::PdfViewerWidget;

namespace {

void BuildToolBar(QMainWindow& window, PdfViewerWidget& viewer) {
    auto* bar = window.addToolBar("Tools");
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* group = new QActionGroup(&window);
    for (std::string_view name : control::ViewerToolNames()) {
        QString label = QString::fromUtf8(name.data(), static_cast<int>(name.size()));
        QString shortLabel = label;
        shortLabel.remove(" Tool");
        QAction* a = bar->addAction(shortLabel);
        a->setToolTip(label);
        a->setCheckable(true);
        group->addAction(a);
        if (label == "Hand Tool") a->setChecked(true);
        QObject::connect(a, &QAction::triggered, &viewer, [&viewer, label] {
            viewer.Control().SetCurrentTool(label.toStdString());
        });
        QObject::connect(&viewer, &PdfViewerWidget::ToolChanged, a,
                         [a, label](const QString& now) { a->setChecked(now == label); });
    }
    auto* view = window.addToolBar("View");
    window.insertToolBarBreak(view);
    view->addAction("Fit", &viewer, [&viewer] {
        viewer.Control().SetFitMode((viewer.Control().FitMode() + 1) % 3);
    });
    view->addAction("Rotate", &viewer, [&viewer] {
        viewer.Control().SetRotation(static_cast<int16_t>((viewer.Control().Rotation() + 1) % 4));
    });
    view->addAction("Zoom +", &viewer, [&viewer] { viewer.ZoomIn(); });
    view->addAction("Zoom -", &viewer, [&viewer] { viewer.ZoomOut(); });
    view->addAction("Calibrate", &viewer, [&viewer] { viewer.StartCalibration(); });
    view->addAction("Print", &viewer, [&viewer] { viewer.Control().Printer().Print(); });
    static bool shown = false;
    view->addAction("All", &viewer, [&viewer] {
        shown = !shown;
        auto& c = viewer.Control();
        for (int p = 0; p < c.PageCount(); ++p) {
            control::PdfPage page = c.GetPage(p);
            for (int i = 0; i < page.AnnotCount(); ++i) page.GetAnnot(i).SetShown(shown);
        }
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("quill-view");
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument("file", "the PDF to open");
    QCommandLineOption screenshot("screenshot", "save a screenshot once the pages are rendered",
                                  "png");
    QCommandLineOption samples("samples", "draw a comment of every type on the first page");
    QCommandLineOption tool("tool", "the viewer tool to start with", "name");
    QCommandLineOption zoom("zoom", "zoom (pixels per point)", "z");
    QCommandLineOption fit("fit", "fit mode 0-2", "n");
    QCommandLineOption rotation("rotation", "rotation in quarter turns", "n");
    QCommandLineOption select("select", "select the n-th comment of the first page", "n");
    QCommandLineOption note("note", "open the note of the n-th comment of the first page", "n");
    QCommandLineOption properties("properties", "open the style window of the n-th comment", "n");
    QCommandLineOption find("find", "search the text", "text");
    QCommandLineOption size("size", "window size", "WxH", "1500x950");
    QCommandLineOption makeSample("make-sample", "write a sample drawing and exit", "pdf");
    QCommandLineOption heavy("heavy", "extra paths per page of the sample drawing", "n", "0");
    QCommandLineOption printTo("print-to", "print through the printer object into a PDF and exit",
                               "pdf");
    for (auto* o : {&screenshot, &samples, &tool, &zoom, &fit, &rotation, &select, &note,
                    &properties, &find, &size, &makeSample, &heavy, &printTo}) {
        parser.addOption(*o);
    }
    parser.process(app);

    if (parser.isSet(makeSample)) {
        widget::SampleDrawingOptions o;
        o.extraPaths = parser.value(heavy).toInt();
        const bool ok = widget::WriteSampleDrawing(parser.value(makeSample), o);
        if (!ok) std::fprintf(stderr, "cannot write %s\n", qPrintable(parser.value(makeSample)));
        return ok ? 0 : 1;
    }
    if (parser.positionalArguments().isEmpty()) parser.showHelp(2);

    QMainWindow window;
    window.setWindowTitle("quill-view");
    auto* viewer = new PdfViewerWidget(&window);
    window.setCentralWidget(viewer);
    BuildToolBar(window, *viewer);
    const QStringList wh = parser.value(size).split('x');
    if (wh.size() == 2) window.resize(wh[0].toInt(), wh[1].toInt());
    auto* status = window.statusBar();
    auto showState = [status, viewer] {
        status->showMessage(QString("Page %1 of %2   zoom %3%")
                                .arg(viewer->Control().CurrentPage() + 1)
                                .arg(viewer->Control().PageCount())
                                .arg(qRound(viewer->Zoom() * 100)));
    };
    QObject::connect(viewer, &PdfViewerWidget::CurrentPageChanged, status, showState);
    QObject::connect(viewer, &PdfViewerWidget::ZoomChanged, status, showState);
    viewer->Engine().SetDefaultAuthor("Viewer-MECH");
    window.show();

    const QString file = parser.positionalArguments().first();
    if (!viewer->Control().OpenFile(file.toStdString(), nullptr)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
        return 1;
    }
    std::vector<control::AnnotId> ids;
    if (parser.isSet(samples)) {
        ids = widget::AddSampleAnnots(viewer->Engine(), 0);
        viewer->PageChanged(0);
    }
    if (parser.isSet(fit)) viewer->Control().SetFitMode(parser.value(fit).toInt());
    if (parser.isSet(rotation)) {
        viewer->Control().SetRotation(static_cast<int16_t>(parser.value(rotation).toInt()));
    }
    if (parser.isSet(zoom)) viewer->SetZoom(parser.value(zoom).toDouble());
    if (parser.isSet(tool)) viewer->Control().SetCurrentTool(parser.value(tool).toStdString());
    auto nth = [&](const QCommandLineOption& o) -> control::AnnotId {
        const int n = parser.value(o).toInt();
        control::PdfPage page = viewer->Control().GetPage(0);
        return page.GetAnnot(n).Id();
    };
    if (parser.isSet(select)) viewer->Select(nth(select));
    if (parser.isSet(note)) {
        if (auto* dlg = viewer->OpenNote(nth(note))) dlg->move(window.geometry().center());
    }
    if (parser.isSet(properties)) {
        if (auto* dlg = viewer->OpenProperties(nth(properties))) {
            dlg->move(window.geometry().center());
        }
    }
    if (parser.isSet(find)) {
        viewer->Control().SetCurrentTool("Find Text Tool");
        viewer->Finder()->TextEdit()->setText(parser.value(find));
        viewer->Finder()->FindNext();
        viewer->Finder()->move(window.geometry().center() - QPoint(121, 35));
    }

    if (parser.isSet(printTo)) {
        const QString out = parser.value(printTo);
        viewer->Dialogs().setupPrinter = [out](QWidget*, QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(out);
            return true;
        };
        const bool ok = viewer->Control().Printer().Print();
        std::fprintf(stderr, "%s %s\n", ok ? "printed" : "cannot print", qPrintable(out));
        return ok ? 0 : 1;
    }
    if (parser.isSet(screenshot)) {
        const QString out = parser.value(screenshot);
        auto shoot = [&window, out] {
            // The whole screen, so that tool windows and dialogs show too.
            QScreen* screen = window.screen();
            QPixmap shot = screen ? screen->grabWindow(0) : QPixmap();
            if (shot.isNull() || shot.toImage().allGray()) shot = window.grab();
            const bool ok = shot.save(out);
            std::fprintf(stderr, "%s %s\n", ok ? "saved" : "cannot save", qPrintable(out));
            QApplication::exit(ok ? 0 : 1);
        };
        auto settle = [viewer, shoot] {
            // Give queued tiles and dialogs a moment to paint.
            QTimer::singleShot(400, viewer, shoot);
        };
        QObject::connect(viewer, &PdfViewerWidget::RenderSettled, viewer, settle,
                         Qt::SingleShotConnection);
        QTimer::singleShot(60000, viewer, shoot);  // never hang
    }
    return app.exec();
}
