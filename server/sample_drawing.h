// The demo's sample drawing: a multi-page engineering PDF written by our own code, with
// linework, a title block on every sheet and sheets rotated by 90 and 270 degrees. The server
// writes it itself, without the client's PDF libraries, so that it stays an independent peer.
#pragma once

#include <string>

namespace quillserver {

// The sample drawing's number of pages.
constexpr int kSampleDrawingPages = 4;

// The bytes of the PDF file.
std::string MakeSampleDrawing();

}  // namespace quillserver
