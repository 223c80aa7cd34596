// CPdfViewerSdk: the process-wide viewer control that the viewer dialog publishes once it has
// set the control up.
#pragma once
#include "session/session_names.h"

namespace quill::control {
class PdfViewerControl;
}

namespace quill::session {

class CPdfViewerSdk {
public:
    // The published control, or nullptr before the viewer dialog has set one up (or after it
    // has gone).
    static control::PdfViewerControl* Instance();
    // control: not owned; nullptr withdraws it.
    static void Publish(control::PdfViewerControl* control);
};

}  // namespace quill::session
