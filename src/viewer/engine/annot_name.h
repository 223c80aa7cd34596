// Unique names of annotations and replies: a fresh GUID in the client's 36-character form.
#pragma once

#include <string>

namespace viewer::engine {

// "%.8X-%.4X-%.4X-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X" of platform::NewGuid().
std::string NewAnnotName();

}  // namespace viewer::engine
