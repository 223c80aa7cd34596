// Printing of PdfViewerWidget: every page as the document shows it, with its comments.
#include "viewer/widget/pdf_viewer_widget.h"
#include "viewer/widget/widget_names.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "viewer/widget/annot_painter.h"

namespace quill::widget {

bool PdfViewerWidget::Print() {
    if (!engine_->IsOpen() || engine_->PageCount() == 0) return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(engine_->FilePath()));
    printer.setFromTo(1, engine_->PageCount());
    if (!dialogs_.setupPrinter || !dialogs_.setupPrinter(this, printer)) return false;
    return PrintTo(printer);
}

bool PdfViewerWidget::PrintTo(QPrinter& printer) {
    if (!engine_->IsOpen()) return false;
    std::unique_ptr<Poppler::Document> doc =
        Poppler::Document::load(QString::fromStdString(engine_->FilePath()));
    if (!doc) return false;
    doc->setRenderHint(Poppler::Document::Antialiasing, true);
    doc->setRenderHint(Poppler::Document::TextAntialiasing, true);
    doc->setRenderHint(Poppler::Document::HideAnnotations, true);
    const int count = std::min(doc->numPages(), engine_->PageCount());
    int from = 1, to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    // Each sheet turned the way its page is (a landscape drawing prints across the paper).
    auto shownSize = [this](int i) {
        const engine::PageGeometry g = engine_->PageGeometryOf(i);
        const int turns = ((g.rotate / 90) % 4 + 4) % 4;
        return (turns % 2) ? QSizeF(g.cropBox.Height(), g.cropBox.Width())
                           : QSizeF(g.cropBox.Width(), g.cropBox.Height());
    };
    auto orient = [&](int i) {
        const QSizeF s = shownSize(i);
        printer.setPageOrientation(s.width() > s.height() ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
    };
    orient(from - 1);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    bool first = true;
    for (int i = from - 1; i < to; ++i) {
        if (!first) {
            orient(i);
            if (!printer.newPage()) {
                painter.end();
                return false;
            }
        }
        first = false;
        std::unique_ptr<Poppler::Page> page = doc->page(i);
        if (!page) continue;
        const engine::PageGeometry g = engine_->PageGeometryOf(i);
        const int turns = ((g.rotate / 90) % 4 + 4) % 4;
        const QSizeF shown = shownSize(i);
        const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
        const QRectF area(0, 0, paper.width(), paper.height());
        const double scale = std::min(area.width() / shown.width(), area.height() / shown.height());
        // Render at the printer's resolution, but keep one page image within reason.
        double dpi = std::min(72.0 * scale, 300.0);
        const double maxPixels = 60e6;
        const double pixels = shown.width() * shown.height() * (dpi / 72) * (dpi / 72);
        if (pixels > maxPixels) dpi *= std::sqrt(maxPixels / pixels);
        const QImage image = page->renderToImage(dpi, dpi);
        const QRectF target(area.left() + (area.width() - shown.width() * scale) / 2,
                            area.top() + (area.height() - shown.height() * scale) / 2,
                            shown.width() * scale, shown.height() * scale);
        if (!image.isNull()) painter.drawImage(target, image);
        const QTransform toPaper = PageLayout::PageToShown(g, turns) *
                                   QTransform(scale, 0, 0, scale, target.left(), target.top());
        for (const auto& d : engine_->PageTextDrawings(i)) PaintDrawing(painter, d, toPaper);
        for (AnnotId id : engine_->AnnotsOnPage(i)) {
            if (!engine_->GetShown(id)) continue;
            PaintDrawing(painter, engine_->DrawingOf(id), toPaper);
        }
    }
    return painter.end();
}

}  // namespace quill::widget
