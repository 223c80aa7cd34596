#include "viewer/engine/annot_shape.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace quill::engine {
namespace {

std::string SubtypeOf(const PdfObject& dict) {
    const PdfObject* s = dict.Get("Subtype");
    return (s && s->IsName()) ? s->text : std::string();
}

bool BoxIsInner(const std::string& sub) {
    return sub == "Square" || sub == "Circle" || sub == "FreeText";
}

void MapPointsIn(PdfObject& dict, const char* key, const std::function<PointF(PointF)>& map) {
    PdfObject* arr = dict.Get(key);
    if (!arr || !arr->IsArray()) return;
    std::vector<PointF> pts = PointsOf(arr);
    for (PointF& p : pts) p = map(p);
    *arr = PointArray(pts);
}

void MapInk(PdfObject& dict, const std::function<PointF(PointF)>& map) {
    PdfObject* ink = dict.Get("InkList");
    if (!ink || !ink->IsArray()) return;
    for (PdfObject& stroke : ink->array) {
        if (!stroke.IsArray()) continue;
        std::vector<PointF> pts = PointsOf(&stroke);
        for (PointF& p : pts) p = map(p);
        stroke = PointArray(pts);
    }
}

void MapAll(PdfObject& dict, const std::function<PointF(PointF)>& map) {
    for (const char* key : {"Vertices", "L", "CL", "QuadPoints"}) MapPointsIn(dict, key, map);
    MapInk(dict, map);
}

}  // namespace

RectF RectOf(const PdfObject& dict) {
    const PdfObject* r = dict.Get("Rect");
    const std::vector<double> n = r ? r->Numbers() : std::vector<double>{};
    if (n.size() < 4) return {};
    return RectF{n[0], n[1], n[2], n[3]}.Normalized();
}

PdfObject RectArray(const RectF& r) { return PdfObject::NumberArray({r.x1, r.y1, r.x2, r.y2}); }

RectF InsetsOf(const PdfObject& dict) {
    const PdfObject* rd = dict.Get("RD");
    const std::vector<double> n = rd ? rd->Numbers() : std::vector<double>{};
    if (n.size() < 4) return {};
    return {std::max(0.0, n[0]), std::max(0.0, n[1]), std::max(0.0, n[2]), std::max(0.0, n[3])};
}

RectF InnerBoxOf(const PdfObject& dict) {
    const RectF r = RectOf(dict);
    const RectF in = InsetsOf(dict);
    RectF box{r.x1 + in.x1, r.y1 + in.y1, r.x2 - in.x2, r.y2 - in.y2};
    if (box.x2 < box.x1 || box.y2 < box.y1) return r;
    return box;
}

std::vector<PointF> PointsOf(const PdfObject* arr) {
    std::vector<PointF> pts;
    if (!arr) return pts;
    const std::vector<double> n = arr->Numbers();
    for (size_t i = 0; i + 1 < n.size(); i += 2) pts.push_back({n[i], n[i + 1]});
    return pts;
}

PdfObject PointArray(const std::vector<PointF>& points) {
    std::vector<double> n;
    n.reserve(points.size() * 2);
    for (const PointF& p : points) {
        n.push_back(p.x);
        n.push_back(p.y);
    }
    return PdfObject::NumberArray(n);
}

std::vector<Quad> QuadsOf(const PdfObject& dict) {
    std::vector<Quad> quads;
    const std::vector<PointF> pts = PointsOf(dict.Get("QuadPoints"));
    for (size_t i = 0; i + 3 < pts.size(); i += 4)
        quads.push_back({pts[i], pts[i + 1], pts[i + 2], pts[i + 3]});
    return quads;
}

std::vector<std::vector<PointF>> InkOf(const PdfObject& dict) {
    std::vector<std::vector<PointF>> strokes;
    const PdfObject* ink = dict.Get("InkList");
    if (!ink || !ink->IsArray()) return strokes;
    for (const PdfObject& s : ink->array) {
        if (s.IsArray()) strokes.push_back(PointsOf(&s));
    }
    return strokes;
}

AnnotGeometry GeometryOfDict(const PdfObject& dict, int page) {
    AnnotGeometry g;
    g.page = page;
    g.rect = RectOf(dict);
    g.box = g.rect;
    const std::string sub = SubtypeOf(dict);
    if (sub == "Polygon" || sub == "PolyLine") {
        g.points = PointsOf(dict.Get("Vertices"));
        if (!g.points.empty()) g.box = BoundsOf(g.points);
    } else if (sub == "Line") {
        g.points = PointsOf(dict.Get("L"));
        if (g.points.size() > 2) g.points.resize(2);
        if (!g.points.empty()) g.box = BoundsOf(g.points);
    } else if (sub == "FreeText") {
        g.points = PointsOf(dict.Get("CL"));
        g.box = InnerBoxOf(dict);
    } else if (sub == "Ink") {
        g.strokes = InkOf(dict);
        std::vector<PointF> all;
        for (const auto& s : g.strokes) all.insert(all.end(), s.begin(), s.end());
        if (!all.empty()) g.box = BoundsOf(all);
    } else if (sub == "Highlight" || sub == "StrikeOut" || sub == "Underline" ||
               sub == "Squiggly") {
        g.quads = QuadsOf(dict);
    } else if (BoxIsInner(sub)) {
        g.box = InnerBoxOf(dict);
    }
    return g;
}

void TranslateDict(PdfObject& dict, double dx, double dy) {
    const RectF r = RectOf(dict);
    if (dict.Has("Rect")) dict.Set("Rect", RectArray({r.x1 + dx, r.y1 + dy, r.x2 + dx, r.y2 + dy}));
    MapAll(dict, [&](PointF p) { return PointF{p.x + dx, p.y + dy}; });
}

bool ResizeDict(PdfObject& dict, const RectF& target) {
    const RectF box = target.Normalized();
    if (!std::isfinite(box.x1) || !std::isfinite(box.y1) || !std::isfinite(box.x2) ||
        !std::isfinite(box.y2)) {
        return false;
    }
    const AnnotGeometry g = GeometryOfDict(dict, 0);
    const RectF old = g.box;
    const std::string sub = SubtypeOf(dict);
    const double sx = old.Width() > 1e-9 ? box.Width() / old.Width() : 1;
    const double sy = old.Height() > 1e-9 ? box.Height() / old.Height() : 1;
    auto map = [&](PointF p) {
        return PointF{box.x1 + (p.x - old.x1) * sx, box.y1 + (p.y - old.y1) * sy};
    };
    if (sub == "FreeText") {
        // The text box changes; the call-out line keeps its target point and meets the box.
        const RectF in = InsetsOf(dict);
        const RectF rect = RectOf(dict);
        const double dx1 = box.x1 - old.x1, dy1 = box.y1 - old.y1;
        const double dx2 = box.x2 - old.x2, dy2 = box.y2 - old.y2;
        dict.Set("Rect", RectArray({rect.x1 + std::min(0.0, dx1), rect.y1 + std::min(0.0, dy1),
                                    rect.x2 + std::max(0.0, dx2), rect.y2 + std::max(0.0, dy2)}));
        (void)in;
        // Keep /RD consistent with the new box inside the new /Rect.
        const RectF nr = RectOf(dict);
        dict.Set("RD", PdfObject::NumberArray(
                           {box.x1 - nr.x1, box.y1 - nr.y1, nr.x2 - box.x2, nr.y2 - box.y2}));
        std::vector<PointF> cl = PointsOf(dict.Get("CL"));
        if (cl.size() >= 2) {
            PointF& end = cl.back();
            end.x = std::clamp(end.x, box.x1, box.x2);
            end.y = std::clamp(end.y, box.y1, box.y2);
            dict.Set("CL", PointArray(cl));
        }
        return true;
    }
    if (BoxIsInner(sub)) {
        const RectF in = InsetsOf(dict);
        dict.Set("Rect",
                 RectArray({box.x1 - in.x1, box.y1 - in.y1, box.x2 + in.x2, box.y2 + in.y2}));
        return true;
    }
    if (g.points.empty() && g.strokes.empty() && g.quads.empty()) {
        dict.Set("Rect", RectArray(box));
        return true;
    }
    MapAll(dict, map);
    const RectF r = RectOf(dict);
    dict.Set("Rect", RectArray({map({r.x1, r.y1}).x, map({r.x1, r.y1}).y, map({r.x2, r.y2}).x,
                                map({r.x2, r.y2}).y}));
    return true;
}

bool SetVertexDict(PdfObject& dict, int vertex, PointF at) {
    if (vertex < 0 || !std::isfinite(at.x) || !std::isfinite(at.y)) return false;
    for (const char* key : {"Vertices", "L", "CL"}) {
        PdfObject* arr = dict.Get(key);
        if (!arr || !arr->IsArray()) continue;
        std::vector<PointF> pts = PointsOf(arr);
        if (static_cast<size_t>(vertex) >= pts.size()) return false;
        pts[static_cast<size_t>(vertex)] = at;
        *arr = PointArray(pts);
        return true;
    }
    PdfObject* ink = dict.Get("InkList");
    if (ink && ink->IsArray()) {
        int k = vertex;
        for (PdfObject& stroke : ink->array) {
            std::vector<PointF> pts = PointsOf(&stroke);
            if (static_cast<size_t>(k) < pts.size()) {
                pts[static_cast<size_t>(k)] = at;
                stroke = PointArray(pts);
                return true;
            }
            k -= static_cast<int>(pts.size());
        }
    }
    return false;
}

}  // namespace quill::engine
