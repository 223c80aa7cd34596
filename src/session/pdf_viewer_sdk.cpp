#include "session/pdf_viewer_sdk.h"
#include "session/session_names.h"

namespace quill::session {

namespace {
control::PdfViewerControl* published = nullptr;  // GUI thread only
}  // namespace

control::PdfViewerControl* CPdfViewerSdk::Instance() { return published; }

void CPdfViewerSdk::Publish(control::PdfViewerControl* control) { published = control; }

}  // namespace quill::session
