// PageText: a text the client shows over a page (page number labels); saved with the page.
#pragma once
#include "viewer/engine/engine_names.h"

#include <cstdint>
#include <string>

namespace quill::engine {

struct PageText {
    int page = 0;
    std::string text;     // system code page
    double x = 0, y = 0;  // start of the baseline, page space
    std::string fontName;
    int fontStyle = 0;
    double fontSize = 12;
    int32_t color = 0;    // 0x00BBGGRR
    double opacity = 1;   // 0..1
    double rotation = 0;  // degrees, counter-clockwise
};

}  // namespace quill::engine
