// The names the engine layer takes unqualified from the viewer control's interface.
#pragma once

namespace quill::control {}

namespace quill::engine {
using namespace quill::control;
}  // namespace quill::engine
