#include "viewer/engine/path_builder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "viewer/engine/glyph_font.h"

namespace quill::engine {
namespace {

constexpr double kKappa = 0.5522847498;

PathSegment Move(PointF p) {
    PathSegment s{PathSegment::MoveTo, {}};
    s.p[0] = p;
    return s;
}
PathSegment Line(PointF p) {
    PathSegment s{PathSegment::LineTo, {}};
    s.p[0] = p;
    return s;
}
PathSegment Curve(PointF a, PointF b, PointF c) {
    PathSegment s{PathSegment::CurveTo, {}};
    s.p[0] = a;
    s.p[1] = b;
    s.p[2] = c;
    return s;
}
PathSegment Close() { return {PathSegment::Close, {}}; }

double SignedArea(const std::vector<PointF>& p) {
    double a = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const PointF& u = p[i];
        const PointF& v = p[(i + 1) % p.size()];
        a += u.x * v.y - v.x * u.y;
    }
    return a / 2;
}

}  // namespace

void AddPolyline(Segments& out, const std::vector<PointF>& points, bool closed) {
    if (points.empty()) return;
    out.push_back(Move(points[0]));
    for (size_t i = 1; i < points.size(); ++i) out.push_back(Line(points[i]));
    if (closed) out.push_back(Close());
}

void AddRect(Segments& out, const RectF& r) {
    AddPolyline(out, {{r.x1, r.y1}, {r.x2, r.y1}, {r.x2, r.y2}, {r.x1, r.y2}}, true);
}

void AddEllipse(Segments& out, const RectF& r) {
    const double cx = (r.x1 + r.x2) / 2, cy = (r.y1 + r.y2) / 2;
    const double rx = r.Width() / 2, ry = r.Height() / 2;
    const double kx = rx * kKappa, ky = ry * kKappa;
    out.push_back(Move({cx + rx, cy}));
    out.push_back(Curve({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry}));
    out.push_back(Curve({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy}));
    out.push_back(Curve({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry}));
    out.push_back(Curve({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy}));
    out.push_back(Close());
}

std::vector<PointF> EllipsePolygon(const RectF& r, int count) {
    std::vector<PointF> pts;
    const double cx = (r.x1 + r.x2) / 2, cy = (r.y1 + r.y2) / 2;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * M_PI * i / count;
        pts.push_back({cx + r.Width() / 2 * std::cos(a), cy + r.Height() / 2 * std::sin(a)});
    }
    return pts;
}

void AddCloud(Segments& out, const std::vector<PointF>& polygonIn, double intensity, double width) {
    std::vector<PointF> polygon;
    for (const PointF& p : polygonIn) {
        if (polygon.empty() || std::hypot(p.x - polygon.back().x, p.y - polygon.back().y) > 1e-6)
            polygon.push_back(p);
    }
    while (polygon.size() > 1 && std::hypot(polygon.front().x - polygon.back().x,
                                            polygon.front().y - polygon.back().y) <= 1e-6)
        polygon.pop_back();
    if (polygon.size() < 2) return;
    // Scallop size grows with the intensity and a little with the line width.
    const double diameter = 8.0 * std::max(1.0, intensity) + 2.0 * std::max(0.0, width) + 4.0;
    const bool ccw = SignedArea(polygon) >= 0;
    bool first = true;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const PointF a = polygon[i];
        const PointF b = polygon[(i + 1) % polygon.size()];
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        if (len < 1e-6) continue;
        const int n = std::max(1, static_cast<int>(std::lround(len / diameter)));
        const PointF t{(b.x - a.x) / len, (b.y - a.y) / len};
        // Outward normal: to the right of the edge for a counter-clockwise polygon.
        const PointF nrm = ccw ? PointF{t.y, -t.x} : PointF{-t.y, t.x};
        const double h = len / n / 2;
        const double k = h * kKappa;
        for (int s = 0; s < n; ++s) {
            const PointF m{a.x + t.x * h * (2 * s + 1), a.y + t.y * h * (2 * s + 1)};
            auto at = [&](double u, double v) {
                return PointF{m.x + t.x * u + nrm.x * v, m.y + t.y * u + nrm.y * v};
            };
            if (first) {
                out.push_back(Move(at(-h, 0)));
                first = false;
            }
            out.push_back(Curve(at(-h, k), at(-k, h), at(0, h)));
            out.push_back(Curve(at(k, h), at(h, k), at(h, 0)));
        }
    }
    if (!first) out.push_back(Close());
}

void AddLineEnding(Segments& strokeOut, Segments& fillOut, const std::string& style, PointF tip,
                   PointF from, double width) {
    const double len = std::hypot(tip.x - from.x, tip.y - from.y);
    if (len < 1e-6 || style.empty() || style == "None") return;
    const PointF d{(tip.x - from.x) / len, (tip.y - from.y) / len};
    const PointF n{-d.y, d.x};
    const double size = std::max(6.0, 3.0 * width + 4.0);
    if (style == "OpenArrow" || style == "ClosedArrow") {
        // 30 degrees each side of the line.
        const double back = size * std::cos(M_PI / 6), side = size * std::sin(M_PI / 6);
        const PointF l{tip.x - d.x * back + n.x * side, tip.y - d.y * back + n.y * side};
        const PointF r{tip.x - d.x * back - n.x * side, tip.y - d.y * back - n.y * side};
        if (style == "OpenArrow") {
            AddPolyline(strokeOut, {l, tip, r}, false);
        } else {
            AddPolyline(fillOut, {l, tip, r}, true);
        }
    } else if (style == "Circle") {
        const double r = size / 2;
        AddEllipse(fillOut, {tip.x - r, tip.y - r, tip.x + r, tip.y + r});
    } else if (style == "Square") {
        const double r = size / 2;
        AddRect(fillOut, {tip.x - r, tip.y - r, tip.x + r, tip.y + r});
    } else if (style == "Butt") {
        const double r = size / 2;
        AddPolyline(strokeOut,
                    {{tip.x + n.x * r, tip.y + n.y * r}, {tip.x - n.x * r, tip.y - n.y * r}},
                    false);
    }
}

RectF SegmentsBounds(const Segments& segs) {
    std::vector<PointF> pts;
    for (const PathSegment& s : segs) {
        switch (s.kind) {
            case PathSegment::MoveTo:
            case PathSegment::LineTo:
                pts.push_back(s.p[0]);
                break;
            case PathSegment::CurveTo:
                pts.insert(pts.end(), s.p, s.p + 3);
                break;
            case PathSegment::Close:
                break;
        }
    }
    return BoundsOf(pts);
}

double TextWidth(GlyphFont& font, const std::u32string& text, double size) {
    double w = 0;
    for (char32_t c : text) w += font.Advance(c, size);
    return w;
}

std::vector<std::u32string> WrapText(GlyphFont& font, const std::u32string& text, double size,
                                     double maxWidth) {
    std::vector<std::u32string> lines;
    std::u32string paragraph;
    auto flushParagraph = [&](const std::u32string& para) {
        std::u32string line;
        double width = 0;
        size_t lastBlank = std::u32string::npos;
        for (char32_t c : para) {
            const double adv = font.Advance(c, size);
            if (!line.empty() && width + adv > maxWidth) {
                if (lastBlank != std::u32string::npos && lastBlank > 0) {
                    std::u32string rest = line.substr(lastBlank + 1);
                    line.resize(lastBlank);
                    lines.push_back(line);
                    line = rest;
                } else {
                    lines.push_back(line);
                    line.clear();
                }
                width = TextWidth(font, line, size);
                lastBlank = std::u32string::npos;
            }
            if (c == U' ') lastBlank = line.size();
            line += c;
            width += adv;
        }
        lines.push_back(line);
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            flushParagraph(paragraph);
            paragraph.clear();
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
        } else {
            paragraph += c;
        }
    }
    flushParagraph(paragraph);
    return lines;
}

void AddTextLine(Segments& out, GlyphFont& font, const std::u32string& line, double size,
                 const Affine& m) {
    double x = 0;
    for (char32_t c : line) {
        if (c != U' ' && c != U'\t')
            font.AppendGlyph(c, size, Affine::Translate(x, 0).Then(m), out);
        x += font.Advance(c, size);
    }
}

std::string FormatFixed(double value, int decimals) {
    char buf[64];
    if (!std::isfinite(value)) value = 0;
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return std::string(buf, r.ptr);
}

}  // namespace quill::engine
