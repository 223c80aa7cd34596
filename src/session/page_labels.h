// The page number labels the viewer draws at the top right of every page.
#pragma once
#include "session/session_names.h"

#include <cstdint>
#include <optional>
#include <string>

#include "viewer/engine/quire_page_rotate.h"

namespace quill::control {
class PdfViewerControl;
}

namespace quill::session {

struct PageLabel {
    std::string text;  // "1", "2", ...
    float x = 0;
    float y = 0;
    int16_t rotation = 0;  // the page's rotation in degrees
};

// The label of page pageIndex (from 0) from its crop box and rotation and the control's page
// height; none for a rotation other than 0, 90, 180 or 270.
std::optional<PageLabel> PageLabelFor(int pageIndex, const engine::QuirePageBox& box,
                                      float pageHeight);

// Reads the pages of documentFile and adds every page's label as a page text: Arial 15,
// colour 0x005EFF, opacity 200. Returns the reader's result; no labels unless kQuireOk.
int DrawPageLabels(control::PdfViewerControl& control, const std::string& documentFile);

}  // namespace quill::session
