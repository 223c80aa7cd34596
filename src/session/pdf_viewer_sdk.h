// CPdfViewerSdk: the process-wide viewer control that the viewer dialog publishes once it has
// set the control up.
#pragma once

namespace viewer {
class PdfViewerControl;
}

class CPdfViewerSdk {
public:
    // The published control, or nullptr before the viewer dialog has set one up (or after it
    // has gone).
    static viewer::PdfViewerControl* Instance();
    // control: not owned; nullptr withdraws it.
    static void Publish(viewer::PdfViewerControl* control);
};
