// ViewHost: what the engine asks of the widget that shows the document (scrolling,
// printing, repainting). Without a host the engine works headless.
#pragma once
#include "viewer/engine/engine_names.h"

#include <cstdint>

namespace quill::engine {

class ViewHost {
public:
    virtual ~ViewHost() = default;

    // Rotation, fit mode or current tool changed through the control.
    virtual void ViewStateChanged() {}
    virtual void GoToPagePosition(int32_t page, double x, double y) {}
    virtual void SelectAnnot(int32_t page, int32_t index) {}
    // Annotations or page texts of the page changed (any source, events or not): repaint.
    virtual void PageChanged(int32_t page) {}
    // A document was opened or closed.
    virtual void DocumentChanged() {}
    // Prints the document; false when printing is not possible.
    virtual bool Print() { return false; }
};

}  // namespace quill::engine
