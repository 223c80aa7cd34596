#include "session/pdf_viewer_sdk.h"

namespace {
viewer::PdfViewerControl* published = nullptr;  // GUI thread only
}  // namespace

viewer::PdfViewerControl* CPdfViewerSdk::Instance() { return published; }

void CPdfViewerSdk::Publish(viewer::PdfViewerControl* control) { published = control; }
