// Builds an annotation's drawing (AnnotDrawing) from its dictionary, and keeps its /Rect
// around what is drawn.
#pragma once
#include "viewer/engine/engine_names.h"

#include "viewer/engine/annot_drawing.h"
#include "viewer/engine/annot_record.h"
#include "viewer/engine/page_text.h"

namespace quill::engine {

class FontProvider;

struct DrawingContext {
    FontProvider* fonts = nullptr;  // nullptr: drawings without text
    int pageRotate = 0;             // the page's /Rotate, so that text reads upright
};

AnnotDrawing BuildAnnotDrawing(const AnnotRecord& record, DrawingContext& ctx);
AnnotDrawing BuildPageTextDrawing(const PageText& text, DrawingContext& ctx);
// Recomputes /Rect (and /RD of boxes) so that it holds the drawing: after every change of
// geometry, width or border style.
void RefreshRect(AnnotRecord& record, DrawingContext& ctx);

// Decoded pixels of an image comment (/ImageData); nullptr when absent or damaged.
std::shared_ptr<const std::string> ImagePixels(const PdfObject& dict, int* width, int* height);
PdfObject ImageDataDict(int width, int height, const std::string& rgb);

}  // namespace quill::engine
