// The demo's sample drawing: a multi-page engineering PDF written by our own code, with
// linework, a title block on every sheet and sheets rotated by 90 and 270 degrees.
#pragma once

#include <string>

namespace quillserver {

// The sample drawing's number of pages.
constexpr int kSampleDrawingPages = 4;

// The bytes of the PDF file.
std::string MakeSampleDrawing();

}  // namespace quillserver
