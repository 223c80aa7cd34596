// MouseMode: the one gesture the viewer's mouse is in; presses, moves and releases go by it.
#pragma once
#include "viewer/widget/widget_names.h"

namespace quill::widget {

enum class MouseMode {
    None,        // nothing under way: a press starts what the tool does
    Pan,         // the hand tool drags the view
    Move,        // the selected comment is dragged by its body
    Resize,      // ... by a handle of its box
    Vertex,      // ... by one of its points
    Draw,        // a new comment is being drawn (over one drag or several clicks)
    AwaitWords,  // a text mark was let go before its page's words were read
    Calibrate,   // the next clicks give the two points of the scale's calibration
};

}  // namespace quill::widget
