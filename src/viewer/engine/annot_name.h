// Unique names of annotations and replies: a fresh GUID in the client's 36-character form.
#pragma once
#include "viewer/engine/engine_names.h"

#include <string>

namespace quill::engine {

// "%.8X-%.4X-%.4X-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X" of platform::NewGuid().
std::string NewAnnotName();

}  // namespace quill::engine
