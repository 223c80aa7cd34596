// A generated engineering-style drawing (title block, grid, text, many vector paths) for the
// viewer's test program, its tests and its benchmark. Separate from the engine's sample: it is
// drawn with Qt's PDF writer and made dense on purpose, to measure page rendering.
#pragma once
#include "viewer/widget/widget_names.h"

#include <QSizeF>
#include <QString>

namespace quill::widget {

struct SampleDrawingOptions {
    int pages = 3;
    QSizeF pageSizeMm{420, 297};  // A3 landscape
    int extraPaths = 0;           // small stroked paths per page, for a heavy drawing
};

// Writes the PDF; false when the file cannot be written.
bool WriteSampleDrawing(const QString& path, const SampleDrawingOptions& options);

}  // namespace quill::widget
