#include "viewer/engine/measure.h"

#include <cmath>

#include "viewer/engine/annot_properties.h"
#include "viewer/engine/annot_shape.h"
#include "viewer/engine/path_builder.h"
#include "viewer/engine/pdf_text_string.h"

namespace quill::engine {
namespace {

PdfObject NumberFormat(const std::string& unit, double factor) {
    PdfObject nf = PdfObject::Dict();
    nf.Set("Type", PdfObject::Name("NumberFormat"));
    nf.Set("U", PdfObject::String(unit));
    nf.Set("C", PdfObject::Real(factor));
    nf.Set("D", PdfObject::Int(100));
    return nf;
}

struct Scale {
    double factor = 1.0 / 72.0;
    std::string unit = "in";
    int decimals = 2;
};

Scale ScaleOf(const PdfObject& dict, const char* which) {
    Scale s;
    const PdfObject* m = dict.Get("Measure");
    if (!m || !m->IsDict()) return s;
    const PdfObject* arr = m->Get(which);
    if (!arr || !arr->IsArray() || arr->array.empty() || !arr->array[0].IsDict()) return s;
    const PdfObject& nf = arr->array[0];
    if (const PdfObject* c = nf.Get("C"); c && c->IsNumber() && std::isfinite(c->number))
        s.factor = c->number;
    if (const PdfObject* u = nf.Get("U"); u && u->IsString()) s.unit = PdfTextToAnsi(u->text);
    if (const PdfObject* d = nf.Get("D"); d && d->IsNumber() && d->number >= 1) {
        s.decimals = static_cast<int>(std::lround(std::log10(std::min(d->number, 1e6))));
    }
    return s;
}

double PathLength(const std::vector<PointF>& pts) {
    double len = 0;
    for (size_t i = 1; i < pts.size(); ++i)
        len += std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
    return len;
}

}  // namespace

PdfObject MeasureDict(const MeasureScale& scale) {
    PdfObject m = PdfObject::Dict();
    m.Set("Type", PdfObject::Name("Measure"));
    m.Set("Subtype", PdfObject::Name("RL"));
    m.Set("R", PdfObject::String(AnsiToPdfText(scale.ratioText)));
    const std::string unit = AnsiToPdfText(scale.unit);
    m.Set("X", PdfObject::Array({NumberFormat(unit, scale.unitsPerPoint)}));
    m.Set("D", PdfObject::Array({NumberFormat(unit, 1)}));
    m.Set("A", PdfObject::Array({NumberFormat(AnsiToPdfText("sq " + scale.unit), 1)}));
    return m;
}

std::optional<std::string> MeasureLabel(const PdfObject& dict) {
    const auto tool = ToolOf(dict);
    if (!tool) return std::nullopt;
    const Scale x = ScaleOf(dict, "X");
    switch (*tool) {
        case AnnotTool::Distance: {
            const std::vector<PointF> l = PointsOf(dict.Get("L"));
            if (l.size() < 2) return std::nullopt;
            return FormatFixed(PathLength({l[0], l[1]}) * x.factor, x.decimals) + " " + x.unit;
        }
        case AnnotTool::Perimeter:
            return FormatFixed(PathLength(PointsOf(dict.Get("Vertices"))) * x.factor, x.decimals) +
                   " " + x.unit;
        case AnnotTool::Area: {
            const std::vector<PointF> v = PointsOf(dict.Get("Vertices"));
            double a = 0;
            for (size_t i = 0; i < v.size(); ++i) {
                const PointF& p = v[i];
                const PointF& q = v[(i + 1) % v.size()];
                a += p.x * q.y - q.x * p.y;
            }
            const Scale area = ScaleOf(dict, "A");
            return FormatFixed(std::fabs(a) / 2 * x.factor * x.factor * area.factor, x.decimals) +
                   " " + area.unit;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace quill::engine
