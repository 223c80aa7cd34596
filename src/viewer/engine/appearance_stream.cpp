#include "viewer/engine/appearance_stream.h"

#include "viewer/engine/pdf_object_writer.h"

namespace quill::engine {
namespace {

void Num(std::string& out, double v) {
    out += FormatPdfNumber(v, false);
    out += ' ';
}

void Pt(std::string& out, PointF p) {
    Num(out, p.x);
    Num(out, p.y);
}

void Color(std::string& out, const RgbColor& c, const char* op) {
    Num(out, c.r);
    Num(out, c.g);
    Num(out, c.b);
    out += op;
    out += '\n';
}

}  // namespace

AppearanceContent BuildAppearanceContent(const AnnotDrawing& drawing, const std::string& prefix) {
    AppearanceContent a;
    std::string& out = a.content;
    for (const DrawPath& p : drawing.paths) {
        if (p.segments.empty() || (!p.stroke && !p.fill)) continue;
        out += "q\n";
        if (p.opacity < 1 || p.multiply) {
            int index = -1;
            for (size_t i = 0; i < a.states.size(); ++i) {
                if (a.states[i].opacity == p.opacity && a.states[i].multiply == p.multiply)
                    index = static_cast<int>(i);
            }
            if (index < 0) {
                a.states.push_back({p.opacity, p.multiply});
                index = static_cast<int>(a.states.size()) - 1;
            }
            out += "/" + prefix + "GS" + std::to_string(index) + " gs\n";
        }
        if (p.stroke) {
            Color(out, p.strokeColor, "RG");
            Num(out, p.width);
            out += "w\n";
            if (!p.dash.empty()) {
                out += '[';
                for (double d : p.dash) Num(out, d);
                out += "] 0 d\n";
            }
            out += p.roundJoins ? "1 j 1 J\n" : "0 j 0 J\n";
        }
        if (p.fill) Color(out, p.fillColor, "rg");
        for (const PathSegment& s : p.segments) {
            switch (s.kind) {
                case PathSegment::MoveTo:
                    Pt(out, s.p[0]);
                    out += "m\n";
                    break;
                case PathSegment::LineTo:
                    Pt(out, s.p[0]);
                    out += "l\n";
                    break;
                case PathSegment::CurveTo:
                    Pt(out, s.p[0]);
                    Pt(out, s.p[1]);
                    Pt(out, s.p[2]);
                    out += "c\n";
                    break;
                case PathSegment::Close:
                    out += "h\n";
                    break;
            }
        }
        if (p.stroke && p.fill) {
            out += p.evenOdd ? "B*\n" : "B\n";
        } else if (p.fill) {
            out += p.evenOdd ? "f*\n" : "f\n";
        } else {
            out += "S\n";
        }
        out += "Q\n";
    }
    for (size_t i = 0; i < drawing.images.size(); ++i) {
        const DrawImage& im = drawing.images[i];
        out += "q\n";
        Num(out, im.rect.Width());
        out += "0 0 ";
        Num(out, im.rect.Height());
        Pt(out, {im.rect.x1, im.rect.y1});
        out += "cm\n/" + prefix + "Im" + std::to_string(i) + " Do\nQ\n";
        a.images.push_back(im);
    }
    return a;
}

}  // namespace quill::engine
