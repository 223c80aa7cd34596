#include "viewer/engine/annot_properties.h"

#include <algorithm>
#include <cmath>

#include "viewer/engine/pdf_object_writer.h"

namespace quill::engine {
namespace {

std::string NameOf(const PdfObject& dict, const char* key) {
    const PdfObject* o = dict.Get(key);
    return (o && o->IsName()) ? o->text : std::string();
}

int Channel(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

}  // namespace

std::optional<AnnotTool> ToolOf(const PdfObject& dict) {
    const std::string sub = NameOf(dict, "Subtype");
    const std::string it = NameOf(dict, "IT");
    if (sub == "Polygon") {
        if (it == "PolygonCloud") return AnnotTool::Cloudy;
        if (it == "PolygonDimension") return AnnotTool::Area;
        return AnnotTool::Polygon;
    }
    if (sub == "PolyLine") {
        if (it == "PolyLineDimension") return AnnotTool::Perimeter;
        return AnnotTool::PolyLine;
    }
    if (sub == "Line") {
        if (it == "LineArrow") return AnnotTool::Arrow;
        if (it == "LineDimension") return AnnotTool::Distance;
        return AnnotTool::Line;
    }
    if (sub == "Square") return AnnotTool::Rectangle;
    if (sub == "Circle") return AnnotTool::Circle;
    if (sub == "Ink") return AnnotTool::Pencil;
    if (sub == "FreeText") return AnnotTool::Callout;
    if (sub == "Text") return AnnotTool::Note;
    if (sub == "FileAttachment") return AnnotTool::FileAttachment;
    if (sub == "Highlight") return AnnotTool::Highlight;
    if (sub == "StrikeOut") return AnnotTool::StrikeOut;
    if (sub == "Stamp") return AnnotTool::Image;
    return std::nullopt;
}

std::string TypeNameOf(const PdfObject& dict) {
    return NameOf(dict, "Subtype") == "Stamp" ? "Stamp" : "Annot";
}

std::string SubtypeNameOf(const PdfObject& dict) {
    const std::string sub = NameOf(dict, "Subtype");
    if (sub == "FileAttachment") return "File Attachment";
    return sub;
}

std::optional<std::vector<double>> RgbOf(const PdfObject* c) {
    if (!c || !c->IsArray()) return std::nullopt;
    const std::vector<double> n = c->Numbers();
    if (n.size() == 1) return std::vector<double>{n[0], n[0], n[0]};
    if (n.size() == 3) return n;
    if (n.size() == 4) {
        return std::vector<double>{(1 - n[0]) * (1 - n[3]), (1 - n[1]) * (1 - n[3]),
                                   (1 - n[2]) * (1 - n[3])};
    }
    return std::nullopt;
}

int32_t ColorOf(const PdfObject& dict) {
    const auto rgb = RgbOf(dict.Get("C"));
    if (!rgb) return 0;
    return Channel((*rgb)[0]) | (Channel((*rgb)[1]) << 8) | (Channel((*rgb)[2]) << 16);
}

PdfObject ColorArray(int32_t bgr) {
    const double r = (bgr & 0xFF) / 255.0;
    const double g = ((bgr >> 8) & 0xFF) / 255.0;
    const double b = ((bgr >> 16) & 0xFF) / 255.0;
    return PdfObject::NumberArray({r, g, b});
}

void SetColor(PdfObject& dict, int32_t bgr) { dict.Set("C", ColorArray(bgr)); }

bool HasBorder(const PdfObject& dict) {
    const std::string sub = NameOf(dict, "Subtype");
    return sub == "Line" || sub == "Polygon" || sub == "PolyLine" || sub == "Square" ||
           sub == "Circle" || sub == "Ink" || sub == "FreeText";
}

double BorderWidthOf(const PdfObject& dict) {
    if (const PdfObject* bs = dict.Get("BS"); bs && bs->IsDict()) {
        if (const PdfObject* w = bs->Get("W"); w && w->IsNumber()) return w->number;
        return 1;
    }
    if (const PdfObject* b = dict.Get("Border"); b && b->IsArray()) {
        const std::vector<double> n = b->Numbers();
        if (n.size() >= 3) return n[2];
    }
    return 1;
}

void SetBorderWidth(PdfObject& dict, double width) {
    if (!std::isfinite(width) || width < 0) width = 0;
    PdfObject* bs = dict.Get("BS");
    if (!bs || !bs->IsDict()) {
        PdfObject fresh = PdfObject::Dict();
        fresh.Set("W", PdfObject::Real(width));
        fresh.Set("S", PdfObject::Name("S"));
        // /BS must stand before /BE, as the client reads them in this order.
        PdfObject be;
        const bool hadBe = dict.Get("BE") != nullptr;
        if (hadBe) {
            be = *dict.Get("BE");
            dict.Remove("BE");
        }
        dict.Set("BS", std::move(fresh));
        dict.Set(
            "BE", hadBe ? std::move(be) : [] {
                PdfObject solid = PdfObject::Dict();
                solid.Set("S", PdfObject::Name("S"));
                return solid;
            }());
        return;
    }
    bs->Set("W", PdfObject::Real(width));
    // /W first, as written by the engine.
    auto it = std::find_if(bs->dict.begin(), bs->dict.end(),
                           [](const PdfDictEntry& e) { return e.key == "W"; });
    if (it != bs->dict.begin()) std::rotate(bs->dict.begin(), it, it + 1);
}

int BorderStyleCodeOfText(std::string_view text) {
    // Without a border style entry the whole text is searched for a cloudy effect.
    const size_t at = text.rfind("BS<");
    {
        std::string_view tail = at == std::string_view::npos ? text : text.substr(at);
        if (tail.find("BE<</S/S/I") != std::string_view::npos ||
            tail.find("BE<</S/S>>") != std::string_view::npos) {
            tail = tail.substr(0, tail.find("BE"));
            static const std::pair<const char*, int> kPatterns[] = {
                {"/S/S>>", 1},           {"/S/S/D", 1},       {"/S/D/D[ 2 2]", 2},
                {"/S/D/D[ 3 3]", 3},     {"/S/D/D[ 4 4]", 4}, {"/S/D/D[ 4 3 2 3]", 5},
                {"/S/D/D[ 4 3 16 3]", 6}};
            for (const auto& [pattern, code] : kPatterns) {
                if (tail.find(pattern) != std::string_view::npos) return code;
            }
            return 7;
        }
        if (tail.find("/S/C/I 1") != std::string_view::npos) return 8;
        if (tail.find("/S/C/I 2") != std::string_view::npos) return 9;
    }
    return 1;
}

int BorderStyleCodeOf(const PdfObject& dict) { return BorderStyleCodeOfText(WritePdfObject(dict)); }

bool SetBorderStyleCode(PdfObject& dict, int code) {
    if (code < 1 || code > 9) return false;
    const double width = BorderWidthOf(dict);
    PdfObject bs = PdfObject::Dict();
    bs.Set("W", PdfObject::Real(width));
    static const std::vector<double> kDashes[] = {{},     {},           {2, 2},       {3, 3},
                                                  {4, 4}, {4, 3, 2, 3}, {4, 3, 16, 3}};
    if (code >= 2 && code <= 6) {
        bs.Set("S", PdfObject::Name("D"));
        PdfObject dash = PdfObject::Array();
        for (double d : kDashes[code]) dash.array.push_back(PdfObject::Int(static_cast<int>(d)));
        bs.Set("D", std::move(dash));
    } else if (code == 7) {
        bs.Set("S", PdfObject::Name("B"));  // beveled: "another border style"
    } else {
        bs.Set("S", PdfObject::Name("S"));
    }
    PdfObject be = PdfObject::Dict();
    if (code == 8 || code == 9) {
        be.Set("S", PdfObject::Name("C"));
        be.Set("I", PdfObject::Int(code == 8 ? 1 : 2));
    } else {
        be.Set("S", PdfObject::Name("S"));
    }
    dict.Remove("BS");
    dict.Remove("BE");
    dict.Remove("Border");
    dict.Set("BS", std::move(bs));
    dict.Set("BE", std::move(be));
    return true;
}

std::vector<double> DashOf(const PdfObject& dict) {
    const PdfObject* bs = dict.Get("BS");
    if (!bs || !bs->IsDict()) return {};
    const PdfObject* s = bs->Get("S");
    if (!s || !s->IsName("D")) return {};
    const PdfObject* d = bs->Get("D");
    std::vector<double> dash = d ? d->Numbers() : std::vector<double>{3};
    bool positive = false;
    for (double v : dash) {
        if (v < 0 || !std::isfinite(v)) return {};
        if (v > 0) positive = true;
    }
    if (!positive) return {};
    if (dash.size() > 16) dash.resize(16);
    return dash;
}

double CloudIntensityOf(const PdfObject& dict) {
    const PdfObject* be = dict.Get("BE");
    if (!be || !be->IsDict()) return 0;
    const PdfObject* s = be->Get("S");
    if (!s || !s->IsName("C")) return 0;
    const PdfObject* i = be->Get("I");
    const double v = i ? i->NumberOr(0) : 0;
    return std::clamp(v, 0.0, 2.0);
}

}  // namespace quill::engine
