// The names the widget layer takes unqualified from the viewer control's interface.
#pragma once

namespace quill::control {}

namespace quill::widget {
using namespace quill::control;
}  // namespace quill::widget
