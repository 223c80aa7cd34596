// The content stream of an appearance (or of texts added to a page) from a drawing.
#pragma once
#include "viewer/engine/engine_names.h"

#include <string>
#include <vector>

#include "viewer/engine/annot_drawing.h"

namespace quill::engine {

struct AppearanceContent {
    std::string content;  // operators, numbers in the C locale
    // Graphics states used as /GS0, /GS1 ...: opacity and whether to multiply.
    struct GraphicsState {
        double opacity = 1;
        bool multiply = false;
    };
    std::vector<GraphicsState> states;
    // Images used as /Im0, /Im1 ... in the order of AnnotDrawing::images.
    std::vector<DrawImage> images;
};

// `prefix` keeps resource names apart when several drawings share one resource dictionary
// (page texts): names become /<prefix>GS0, /<prefix>Im0.
AppearanceContent BuildAppearanceContent(const AnnotDrawing& drawing,
                                         const std::string& prefix = "");

}  // namespace quill::engine
