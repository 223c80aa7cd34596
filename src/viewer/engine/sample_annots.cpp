#include "viewer/engine/sample_annots.h"

#include <algorithm>

namespace quill::engine {

std::vector<AnnotDraft> SampleAnnotDrafts(int page, const PageGeometry& g,
                                          const std::vector<Quad>& words) {
    std::vector<AnnotDraft> drafts;
    const RectF c = g.cropBox.Width() > 0 ? g.cropBox : g.mediaBox;
    const int cols = 6, rows = 3;
    const double cw = c.Width() / cols, ch = c.Height() / rows;
    for (int code = 0; code < kAnnotToolCount; ++code) {
        const int col = code % cols, row = code / cols;
        // A cell with a margin, from the top left.
        const RectF cell{c.x1 + col * cw + cw * 0.15, c.y2 - (row + 1) * ch + ch * 0.15,
                         c.x1 + (col + 1) * cw - cw * 0.15, c.y2 - row * ch - ch * 0.15};
        const double mx = (cell.x1 + cell.x2) / 2, my = (cell.y1 + cell.y2) / 2;
        AnnotDraft s;
        s.tool = static_cast<AnnotTool>(code);
        s.page = page;
        s.contents = std::string("Sample ") + AnnotToolSubject(s.tool);
        s.style.color = 0x0000FF;
        s.style.width = 2;
        switch (s.tool) {
            case AnnotTool::Line:
            case AnnotTool::Arrow:
            case AnnotTool::Distance:
                s.points = {{cell.x1, cell.y1}, {cell.x2, cell.y2}};
                if (s.tool == AnnotTool::Distance) s.contents.clear();
                break;
            case AnnotTool::Polygon:
            case AnnotTool::Cloudy:
            case AnnotTool::Area:
                s.points = {{cell.x1, cell.y1},
                            {cell.x2, cell.y1},
                            {cell.x2, my},
                            {mx, cell.y2},
                            {cell.x1, my}};
                if (s.tool == AnnotTool::Area) s.contents.clear();
                break;
            case AnnotTool::PolyLine:
            case AnnotTool::Perimeter:
                s.points = {{cell.x1, cell.y1}, {mx, cell.y2}, {mx, cell.y1}, {cell.x2, cell.y2}};
                if (s.tool == AnnotTool::Perimeter) s.contents.clear();
                break;
            case AnnotTool::Rectangle:
            case AnnotTool::Circle:
                s.rect = cell;
                break;
            case AnnotTool::Pencil:
                s.strokes = {{{cell.x1, my},
                              {mx - 10, cell.y2},
                              {mx, my},
                              {mx + 10, cell.y1},
                              {cell.x2, my}},
                             {{cell.x1, cell.y1}, {cell.x2, cell.y1}}};
                break;
            case AnnotTool::Callout:
                s.rect = {mx, my, cell.x2, cell.y2};
                s.points = {{cell.x1, cell.y1}, {cell.x1 + 10, my - 5}, {mx, my + 5}};
                s.useControlTextFont = false;
                s.text.size = 10;
                break;
            case AnnotTool::Note:
            case AnnotTool::FileAttachment:
                s.rect = {mx - 12, my - 12, mx + 12, my + 12};
                s.fileName = "sample.txt";
                s.fileBytes = "Attached sample file.\r\nSecond line.\n";
                break;
            case AnnotTool::Highlight:
            case AnnotTool::StrikeOut: {
                const size_t first = s.tool == AnnotTool::Highlight ? 0 : 3;
                if (words.size() > first) {
                    s.quads.assign(
                        words.begin() + static_cast<long>(first),
                        words.begin() + static_cast<long>(std::min(words.size(), first + 3)));
                } else {
                    s.rect = {cell.x1, my - 6, cell.x2, my + 6};
                }
                s.style.color = s.tool == AnnotTool::Highlight ? 0x00FFFF : 0x0000FF;
                break;
            }
            case AnnotTool::Image: {
                s.rect = cell;
                s.imageWidth = 16;
                s.imageHeight = 16;
                s.imageRgb.resize(16 * 16 * 3);
                for (int y = 0; y < 16; ++y) {
                    for (int x = 0; x < 16; ++x) {
                        const bool on = ((x / 4) + (y / 4)) % 2 == 0;
                        char* px = &s.imageRgb[static_cast<size_t>((y * 16 + x) * 3)];
                        px[0] = static_cast<char>(on ? 0x20 : 0xE0);
                        px[1] = static_cast<char>(on ? 0x60 : 0xE0);
                        px[2] = static_cast<char>(on ? 0xC0 : 0x40);
                    }
                }
                break;
            }
        }
        if (s.tool != AnnotTool::FileAttachment) {
            s.fileName.clear();
            s.fileBytes.clear();
        }
        drafts.push_back(std::move(s));
    }
    return drafts;
}

}  // namespace quill::engine
