// QuireGetPageRotate: the small reader over poppler's core classes that yields each page's
// crop box and rotation of a PDF file, for the page number labels of the viewer dialog.
#pragma once
#include "viewer/engine/engine_names.h"

#include <string>
#include <vector>

namespace quill::engine {

// Result codes of QuireGetPageRotate.
enum QuireResult : int {
    kQuireOk = 11111,
    kQuireCannotOpen = 31111,  // the file is missing or unreadable
    kQuireEncrypted = 31117,   // encrypted and not to be opened without a password
    kQuireNoDocument = 31135,  // no document could be made of the file
};

// One page: its crop box (x1, y1 lower left; x2, y2 upper right, in points) and its /Rotate in
// degrees, as poppler reads it (0 to 359).
struct QuirePageBox {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int rotate = 0;
};

// Opens the file by path and fills pages (one entry per page, in order). Returns kQuireOk,
// or one of the failure codes with pages empty.
int QuireGetPageRotate(const std::string& path, std::vector<QuirePageBox>& pages);

}  // namespace quill::engine
