#include "viewer/widget/tools/sample_annots.h"

#include <cmath>

namespace viewer::widget {

std::vector<AnnotId> AddSampleAnnots(engine::EngineControl& engine, int32_t page) {
    using engine::PointF;
    using engine::RectF;
    std::vector<AnnotId> ids;
    const engine::PageGeometry g = engine.PageGeometryOf(page);
    const RectF box = g.cropBox.Normalized();
    // A grid of cells, 6 across and 3 down, over the page.
    const double cw = box.Width() / 6, ch = box.Height() / 3.2;
    auto cell = [&](int i) {
        const int col = i % 6, row = i / 6;
        const double x = box.x1 + col * cw + cw * 0.15;
        const double y = box.y2 - (row + 1) * ch + ch * 0.15;
        return RectF{x, y, x + cw * 0.7, y + ch * 0.7};
    };
    const int32_t colors[] = {0x0000FF, 0xCC6600, 0x008800, 0xAA00AA};
    for (int t = 0; t < kAnnotToolCount; ++t) {
        const AnnotTool tool = *AnnotToolFromCode(t);
        const RectF c = cell(t);
        engine::AnnotSpec s;
        s.tool = tool;
        s.page = page;
        s.style.color = colors[t % 4];
        s.style.width = 2;
        s.author = "Sample-MECH";
        s.contents = std::string("Sample ") + AnnotToolName(tool);
        const PointF tl{c.x1, c.y2}, br{c.x2, c.y1}, tr{c.x2, c.y2}, bl{c.x1, c.y1};
        const PointF mid{(c.x1 + c.x2) / 2, (c.y1 + c.y2) / 2};
        switch (tool) {
            case AnnotTool::Line:
            case AnnotTool::Arrow:
            case AnnotTool::Distance:
                s.points = {bl, tr};
                break;
            case AnnotTool::Rectangle:
            case AnnotTool::Circle:
            case AnnotTool::Image:
                s.rect = c;
                break;
            case AnnotTool::Cloudy:
                s.style.borderStyle = 9;
                s.points = {bl, br, tr, tl};
                break;
            case AnnotTool::Polygon:
            case AnnotTool::Area:
                s.points = {bl, br, {c.x2 - c.Width() * 0.2, c.y2}, {c.x1, mid.y}};
                break;
            case AnnotTool::PolyLine:
            case AnnotTool::Perimeter:
                s.points = {bl, {mid.x, c.y2}, {mid.x + c.Width() * 0.2, c.y1}, tr};
                break;
            case AnnotTool::Pencil: {
                std::vector<PointF> stroke;
                for (int i = 0; i <= 40; ++i) {
                    const double u = i / 40.0;
                    stroke.push_back({c.x1 + u * c.Width(),
                                      mid.y + std::sin(u * 6.283 * 1.5) * c.Height() * 0.35});
                }
                s.strokes = {stroke};
                break;
            }
            case AnnotTool::Callout:
                s.points = {bl, {mid.x, mid.y}};
                s.rect = {mid.x, mid.y, c.x2 + cw * 0.1, c.y2};
                s.contents = "Check this\nsupport";
                break;
            case AnnotTool::Note:
            case AnnotTool::FileAttachment:
                s.rect = {mid.x - 10, mid.y - 10, mid.x + 10, mid.y + 10};
                s.fileName = "report.txt";
                s.fileBytes = "Sample attachment\n";
                break;
            case AnnotTool::Highlight:
            case AnnotTool::StrikeOut: {
                // The page's words in a band across the notes, else a made-up quad.
                std::vector<engine::Quad> words = engine.TextQuadsIn(page, box);
                const size_t first = tool == AnnotTool::Highlight ? 1 : 8;
                for (size_t i = first; i < words.size() && i < first + 5; ++i) {
                    s.quads.push_back(words[i]);
                }
                if (s.quads.empty()) s.quads.push_back(engine::Quad{tl, {c.x2, c.y2}, bl, br});
                if (tool == AnnotTool::Highlight) s.style.color = 0x00FFFF;
                break;
            }
        }
        if (tool == AnnotTool::Image) {
            s.imageWidth = 64;
            s.imageHeight = 48;
            s.imageRgb.resize(64 * 48 * 3);
            for (int y = 0; y < 48; ++y) {
                for (int x = 0; x < 64; ++x) {
                    char* px = s.imageRgb.data() + (y * 64 + x) * 3;
                    px[0] = static_cast<char>(x * 4);
                    px[1] = static_cast<char>(y * 5);
                    px[2] = static_cast<char>(200 - x * 2);
                }
            }
        }
        ids.push_back(engine.CreateAnnot(s));
    }
    return ids;
}

}  // namespace viewer::widget
