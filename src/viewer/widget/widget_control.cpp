#include "viewer/widget/widget_control.h"

namespace quill::widget {

void WidgetControl::SetFitMode(int32_t mode) {
    const int32_t before = e_.FitMode();
    e_.SetFitMode(mode);
    // The engine reports a change; setting the same mode again must fit as well (the tool
    // bar's fit button after the reviewer zoomed by hand).
    if (mode == before && e_.FitMode() == mode && fitAgain_) fitAgain_();
}

}  // namespace quill::widget
