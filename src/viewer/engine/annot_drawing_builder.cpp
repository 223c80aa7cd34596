#include "viewer/engine/annot_drawing_builder.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "viewer/engine/annot_properties.h"
#include "viewer/engine/annot_shape.h"
#include "viewer/engine/glyph_font.h"
#include "viewer/engine/measure.h"
#include "viewer/engine/path_builder.h"
#include "viewer/engine/pdf_text_string.h"

namespace quill::engine {
namespace {

constexpr int kMaxImageSide = 4096;

RgbColor ToRgb(const std::vector<double>& c) {
    return {std::clamp(c[0], 0.0, 1.0), std::clamp(c[1], 0.0, 1.0), std::clamp(c[2], 0.0, 1.0)};
}

RgbColor BgrToRgb(int32_t bgr) {
    return {(bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0};
}

std::string NameOf(const PdfObject& dict, const char* key) {
    const PdfObject* o = dict.Get(key);
    return (o && o->IsName()) ? o->text : std::string();
}

struct Style {
    RgbColor stroke{1, 0, 0};
    bool hasFill = false;
    RgbColor fill;
    double width = 1;
    std::vector<double> dash;
    double opacity = 1;
    double cloud = 0;
};

Style StyleOf(const PdfObject& dict) {
    Style s;
    if (auto c = RgbOf(dict.Get("C"))) s.stroke = ToRgb(*c);
    if (auto f = RgbOf(dict.Get("IC"))) {
        s.hasFill = true;
        s.fill = ToRgb(*f);
    }
    s.width = std::clamp(BorderWidthOf(dict), 0.0, 100.0);
    s.dash = DashOf(dict);
    if (const PdfObject* ca = dict.Get("CA"); ca && ca->IsNumber())
        s.opacity = std::clamp(ca->number, 0.0, 1.0);
    s.cloud = CloudIntensityOf(dict);
    return s;
}

DrawPath Stroke(Segments segs, const Style& s) {
    DrawPath p;
    p.segments = std::move(segs);
    p.stroke = s.width > 0;
    p.strokeColor = s.stroke;
    p.width = s.width;
    p.dash = s.dash;
    p.opacity = s.opacity;
    return p;
}

DrawPath Fill(Segments segs, RgbColor color, double opacity) {
    DrawPath p;
    p.segments = std::move(segs);
    p.fill = true;
    p.fillColor = color;
    p.opacity = opacity;
    return p;
}

// The frame of text inside a box, upright on a page turned by `rotate` degrees: (u, w)
// with u to the right and w up as the reader sees the page, (0, 0) at the box's top left.
Affine UprightFrame(const RectF& b, int rotate, double* frameWidth, double* frameHeight) {
    switch (((rotate % 360) + 360) % 360) {
        case 90:
            *frameWidth = b.Height();
            *frameHeight = b.Width();
            return {0, 1, -1, 0, b.x1, b.y1};
        case 180:
            *frameWidth = b.Width();
            *frameHeight = b.Height();
            return {-1, 0, 0, -1, b.x2, b.y1};
        case 270:
            *frameWidth = b.Height();
            *frameHeight = b.Width();
            return {0, -1, 1, 0, b.x2, b.y2};
        default:
            *frameWidth = b.Width();
            *frameHeight = b.Height();
            return {1, 0, 0, 1, b.x1, b.y2};
    }
}

// Font size and colour from /DA ("0 0 1 rg /Helv 12 Tf").
void ParseDa(const PdfObject& dict, double* size, RgbColor* color) {
    const PdfObject* da = dict.Get("DA");
    if (!da || !da->IsString()) return;
    std::vector<double> nums;
    std::string tok;
    auto flush = [&]() {
        if (tok == "Tf" && !nums.empty()) *size = std::clamp(nums.back(), 1.0, 200.0);
        if (tok == "rg" && nums.size() >= 3)
            *color = ToRgb({nums[nums.size() - 3], nums[nums.size() - 2], nums[nums.size() - 1]});
        if (tok == "g" && !nums.empty()) *color = ToRgb({nums.back(), nums.back(), nums.back()});
        bool number = !tok.empty();
        double v = 0, scale = 0, sign = 1;
        for (size_t i = 0; i < tok.size() && number; ++i) {
            const char c = tok[i];
            if (c == '-' && i == 0)
                sign = -1;
            else if (c == '.' && scale == 0)
                scale = 0.1;
            else if (c >= '0' && c <= '9') {
                if (scale == 0)
                    v = v * 10 + (c - '0');
                else {
                    v += (c - '0') * scale;
                    scale /= 10;
                }
            } else
                number = false;
        }
        if (number) nums.push_back(sign * v);
        tok.clear();
    };
    for (char c : da->text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
            flush();
        else
            tok += c;
    }
    flush();
}

void AddLabel(AnnotDrawing& d, DrawingContext& ctx, const std::string& label, PointF at,
              double angleDeg, double size, RgbColor color, bool centred) {
    GlyphFont* font = ctx.fonts ? ctx.fonts->Font().get() : nullptr;
    if (!font || label.empty()) return;
    const std::u32string text = CodePointsOf(label);
    const double w = TextWidth(*font, text, size);
    Segments segs;
    const Affine m = Affine::Translate(centred ? -w / 2 : 0, 0)
                         .Then(Affine::Rotate(angleDeg))
                         .Then(Affine::Translate(at.x, at.y));
    AddTextLine(segs, *font, text, size, m);
    d.paths.push_back(Fill(std::move(segs), color, 1));
}

void DrawNoteIcon(AnnotDrawing& d, const RectF& r, const Style& s) {
    // A speech bubble filling the icon box.
    const double w = r.Width(), h = r.Height();
    const double x = r.x1, y = r.y1;
    Segments bubble;
    AddPolyline(bubble,
                {{x + 0.1 * w, y + 0.95 * h},
                 {x + 0.9 * w, y + 0.95 * h},
                 {x + 0.95 * w, y + 0.9 * h},
                 {x + 0.95 * w, y + 0.35 * h},
                 {x + 0.9 * w, y + 0.3 * h},
                 {x + 0.45 * w, y + 0.3 * h},
                 {x + 0.2 * w, y + 0.05 * h},
                 {x + 0.25 * w, y + 0.3 * h},
                 {x + 0.1 * w, y + 0.3 * h},
                 {x + 0.05 * w, y + 0.35 * h},
                 {x + 0.05 * w, y + 0.9 * h}},
                true);
    DrawPath fill = Fill(bubble, s.stroke, s.opacity);
    fill.stroke = true;
    fill.strokeColor = {0.2, 0.2, 0.2};
    fill.width = 0.6;
    d.paths.push_back(fill);
    Segments lines;
    for (double f : {0.78, 0.62, 0.46}) {
        AddPolyline(lines, {{x + 0.22 * w, y + f * h}, {x + 0.78 * w, y + f * h}}, false);
    }
    DrawPath l;
    l.segments = std::move(lines);
    l.stroke = true;
    l.strokeColor = {0.15, 0.15, 0.15};
    l.width = std::max(0.5, h / 20);
    d.paths.push_back(l);
}

void DrawPushPin(AnnotDrawing& d, const RectF& r, const Style& s) {
    const double w = r.Width(), h = r.Height();
    const double x = r.x1, y = r.y1;
    Segments head;
    AddEllipse(head, {x + 0.45 * w, y + 0.5 * h, x + 0.94 * w, y + 0.94 * h});
    DrawPath hp = Fill(head, s.stroke, s.opacity);
    hp.stroke = true;
    hp.strokeColor = {0.2, 0.2, 0.2};
    hp.width = 0.6;
    d.paths.push_back(hp);
    Segments needle;
    AddPolyline(needle, {{x + 0.55 * w, y + 0.58 * h}, {x + 0.12 * w, y + 0.12 * h}}, false);
    DrawPath np;
    np.segments = std::move(needle);
    np.stroke = true;
    np.strokeColor = {0.2, 0.2, 0.2};
    np.width = std::max(0.8, w / 14);
    d.paths.push_back(np);
}

void DrawLineEndings(AnnotDrawing& d, const PdfObject& dict, const std::vector<PointF>& pts,
                     const Style& s) {
    if (pts.size() < 2) return;
    std::string start, end;
    if (const PdfObject* le = dict.Get("LE"); le && le->IsArray()) {
        if (le->array.size() > 0 && le->array[0].IsName()) start = le->array[0].text;
        if (le->array.size() > 1 && le->array[1].IsName()) end = le->array[1].text;
    } else if (le && le->IsName()) {
        start = le->text;  // a call-out's single ending is at the start of its line
    }
    Segments strokeSegs, fillSegs;
    AddLineEnding(strokeSegs, fillSegs, start, pts[0], pts[1], s.width);
    AddLineEnding(strokeSegs, fillSegs, end, pts.back(), pts[pts.size() - 2], s.width);
    if (!strokeSegs.empty()) {
        Style solid = s;
        solid.dash.clear();
        d.paths.push_back(Stroke(std::move(strokeSegs), solid));
    }
    if (!fillSegs.empty()) d.paths.push_back(Fill(std::move(fillSegs), s.stroke, s.opacity));
}

void DrawCallout(AnnotDrawing& d, const AnnotRecord& r, DrawingContext& ctx, const Style& s) {
    const PdfObject& dict = r.dict;
    const RectF box = InnerBoxOf(dict);
    const double inset = s.width / 2;
    const RectF border{box.x1 + inset, box.y1 + inset, box.x2 - inset, box.y2 - inset};
    Segments frame;
    if (s.cloud > 0) {
        AddCloud(frame,
                 {{border.x1, border.y1},
                  {border.x2, border.y1},
                  {border.x2, border.y2},
                  {border.x1, border.y2}},
                 s.cloud, s.width);
    } else {
        AddRect(frame, border);
    }
    DrawPath framePath = Stroke(frame, s);
    framePath.fill = true;
    framePath.fillColor = s.hasFill ? s.fill : RgbColor{1, 1, 1};
    d.paths.push_back(framePath);
    const std::vector<PointF> cl = PointsOf(dict.Get("CL"));
    if (cl.size() >= 2) {
        Segments line;
        AddPolyline(line, cl, false);
        Style solid = s;
        solid.dash.clear();
        d.paths.push_back(Stroke(std::move(line), solid));
        DrawLineEndings(d, dict, cl, s);
    }
    GlyphFont* font = ctx.fonts ? ctx.fonts->Font().get() : nullptr;
    const PdfObject* contents = dict.Get("Contents");
    if (!font || !contents || !contents->IsString() || contents->text.empty()) return;
    double size = 12;
    RgbColor color{0, 0, 0};
    ParseDa(dict, &size, &color);
    double fw = 0, fh = 0;
    const Affine frameToPage = UprightFrame(box, ctx.pageRotate, &fw, &fh);
    const double pad = 2 + s.width;
    const std::u32string text = CodePointsOf(PdfTextToAnsi(contents->text));
    const auto lines = WrapText(*font, text, size, std::max(1.0, fw - 2 * pad));
    const double lineHeight = size * 1.2;
    Segments glyphs;
    double baseline = -(pad + font->Ascent(size));
    for (const auto& line : lines) {
        if (-baseline > fh) break;  // the rest does not fit the box
        AddTextLine(glyphs, *font, line, size, Affine::Translate(pad, baseline).Then(frameToPage));
        baseline -= lineHeight;
    }
    d.paths.push_back(Fill(std::move(glyphs), color, 1));
}

void BuildShapes(AnnotDrawing& d, const AnnotRecord& r, DrawingContext& ctx) {
    const PdfObject& dict = r.dict;
    const Style s = StyleOf(dict);
    const std::string sub = NameOf(dict, "Subtype");
    const auto tool = ToolOf(dict);
    if (sub == "Line") {
        std::vector<PointF> l = PointsOf(dict.Get("L"));
        if (l.size() < 2) return;
        l.resize(2);
        Segments segs;
        AddPolyline(segs, l, false);
        d.paths.push_back(Stroke(std::move(segs), s));
        DrawLineEndings(d, dict, l, s);
        if (auto label = MeasureLabel(dict)) {
            // Along the line, and upright as the reader sees the (possibly turned) page.
            double shown =
                std::atan2(l[1].y - l[0].y, l[1].x - l[0].x) * 180 / M_PI - ctx.pageRotate;
            while (shown > 90) shown -= 180;
            while (shown <= -90) shown += 180;
            const double angle = shown + ctx.pageRotate;
            const PointF mid{(l[0].x + l[1].x) / 2, (l[0].y + l[1].y) / 2};
            const double a = angle * M_PI / 180;
            const double lift = 3 + s.width;
            AddLabel(d, ctx, *label, {mid.x - std::sin(a) * lift, mid.y + std::cos(a) * lift},
                     angle, 9, s.stroke, true);
        }
    } else if (sub == "Polygon" || sub == "PolyLine") {
        const std::vector<PointF> v = PointsOf(dict.Get("Vertices"));
        if (v.size() < 2) return;
        const bool closed = sub == "Polygon";
        Segments segs;
        if (closed && s.cloud > 0) {
            AddCloud(segs, v, s.cloud, s.width);
        } else {
            AddPolyline(segs, v, closed);
        }
        DrawPath p = Stroke(std::move(segs), s);
        if (closed && s.hasFill) {
            p.fill = true;
            p.fillColor = s.fill;
        }
        d.paths.push_back(p);
        if (!closed) DrawLineEndings(d, dict, v, s);
        if (auto label = MeasureLabel(dict)) {
            PointF at = v.back();
            if (closed) {
                at = {0, 0};
                for (const PointF& q : v) {
                    at.x += q.x / v.size();
                    at.y += q.y / v.size();
                }
            } else {
                at.y += 3 + s.width;
            }
            AddLabel(d, ctx, *label, at, ctx.pageRotate, 9, s.stroke, closed);
        }
    } else if (sub == "Square" || sub == "Circle") {
        const RectF box = InnerBoxOf(dict);
        const double in = s.width / 2;
        const RectF r2{box.x1 + in, box.y1 + in, box.x2 - in, box.y2 - in};
        Segments segs;
        if (s.cloud > 0) {
            const std::vector<PointF> outline = sub == "Square"
                                                    ? std::vector<PointF>{{r2.x1, r2.y1},
                                                                          {r2.x2, r2.y1},
                                                                          {r2.x2, r2.y2},
                                                                          {r2.x1, r2.y2}}
                                                    : EllipsePolygon(r2, 32);
            AddCloud(segs, outline, s.cloud, s.width);
        } else if (sub == "Square") {
            AddRect(segs, r2);
        } else {
            AddEllipse(segs, r2);
        }
        DrawPath p = Stroke(std::move(segs), s);
        if (s.hasFill) {
            p.fill = true;
            p.fillColor = s.fill;
        }
        d.paths.push_back(p);
    } else if (sub == "Ink") {
        Segments segs;
        for (const auto& stroke : InkOf(dict)) {
            if (stroke.size() == 1) {
                AddPolyline(segs, {stroke[0], {stroke[0].x + 0.01, stroke[0].y}}, false);
            } else {
                AddPolyline(segs, stroke, false);
            }
        }
        DrawPath p = Stroke(std::move(segs), s);
        p.roundJoins = true;
        d.paths.push_back(p);
    } else if (sub == "FreeText") {
        DrawCallout(d, r, ctx, s);
    } else if (sub == "Text") {
        DrawNoteIcon(d, RectOf(dict), s);
    } else if (sub == "FileAttachment") {
        DrawPushPin(d, RectOf(dict), s);
    } else if (sub == "Highlight") {
        Segments segs;
        for (const Quad& q : QuadsOf(dict)) AddPolyline(segs, {q[0], q[1], q[3], q[2]}, true);
        DrawPath p = Fill(std::move(segs), s.stroke, s.opacity);
        p.multiply = true;
        d.paths.push_back(p);
    } else if (sub == "StrikeOut") {
        Segments segs;
        double width = 1;
        for (const Quad& q : QuadsOf(dict)) {
            const PointF l{(q[0].x + q[2].x) / 2, (q[0].y + q[2].y) / 2};
            const PointF rr{(q[1].x + q[3].x) / 2, (q[1].y + q[3].y) / 2};
            AddPolyline(segs, {l, rr}, false);
            width = std::max(width, std::hypot(q[0].x - q[2].x, q[0].y - q[2].y) / 12);
        }
        Style st = s;
        st.width = width;
        st.dash.clear();
        d.paths.push_back(Stroke(std::move(segs), st));
    } else if (sub == "Stamp") {
        int w = 0, h = 0;
        auto pixels = ImagePixels(dict, &w, &h);
        if (pixels) d.images.push_back({RectOf(dict), w, h, pixels});
    }
    (void)tool;
}

}  // namespace

AnnotDrawing BuildAnnotDrawing(const AnnotRecord& record, DrawingContext& ctx) {
    AnnotDrawing d;
    BuildShapes(d, record, ctx);
    RectF bounds = RectOf(record.dict);
    for (const DrawPath& p : d.paths) {
        if (p.segments.empty()) continue;
        const RectF b = SegmentsBounds(p.segments).Inflated(p.stroke ? p.width / 2 + 0.5 : 0);
        if (bounds.Width() <= 0 && bounds.Height() <= 0) {
            bounds = b;
        } else {
            bounds = {std::min(bounds.x1, b.x1), std::min(bounds.y1, b.y1),
                      std::max(bounds.x2, b.x2), std::max(bounds.y2, b.y2)};
        }
    }
    d.bbox = bounds;
    return d;
}

void RefreshRect(AnnotRecord& record, DrawingContext& ctx) {
    PdfObject& dict = record.dict;
    const std::string sub = NameOf(dict, "Subtype");
    if (sub == "Text" || sub == "FileAttachment" || sub == "Stamp" || sub == "Popup") return;
    const bool boxed = sub == "Square" || sub == "Circle" || sub == "FreeText";
    const RectF inner = InnerBoxOf(dict);
    // Draw without the old /Rect, so that it can shrink as well as grow.
    AnnotRecord probe;
    probe.dict = dict;
    if (boxed) {
        probe.dict.Set("Rect", RectArray(inner));
        probe.dict.Remove("RD");
    } else {
        probe.dict.Remove("Rect");
    }
    AnnotDrawing d;
    BuildShapes(d, probe, ctx);
    RectF b = boxed ? inner : RectF{};
    bool any = boxed;
    for (const DrawPath& p : d.paths) {
        if (p.segments.empty()) continue;
        const RectF pb = SegmentsBounds(p.segments).Inflated(p.stroke ? p.width / 2 + 1 : 1);
        b = any ? RectF{std::min(b.x1, pb.x1), std::min(b.y1, pb.y1), std::max(b.x2, pb.x2),
                        std::max(b.y2, pb.y2)}
                : pb;
        any = true;
    }
    if (!any) return;
    dict.Set("Rect", RectArray(b));
    if (boxed) {
        const RectF rd{inner.x1 - b.x1, inner.y1 - b.y1, b.x2 - inner.x2, b.y2 - inner.y2};
        if (rd.x1 > 1e-4 || rd.y1 > 1e-4 || rd.x2 > 1e-4 || rd.y2 > 1e-4 || dict.Has("RD")) {
            dict.Set("RD", PdfObject::NumberArray({rd.x1, rd.y1, rd.x2, rd.y2}));
        }
    }
}

AnnotDrawing BuildPageTextDrawing(const PageText& t, DrawingContext& ctx) {
    AnnotDrawing d;
    GlyphFont* font = ctx.fonts ? ctx.fonts->Font().get() : nullptr;
    if (!font || t.text.empty()) return d;
    Segments segs;
    const Affine m = Affine::Rotate(t.rotation).Then(Affine::Translate(t.x, t.y));
    AddTextLine(segs, *font, CodePointsOf(t.text), t.fontSize, m);
    if (t.fontStyle == 1) {
        // Bold: the outline stroked as well.
        DrawPath p = Fill(segs, BgrToRgb(t.color), t.opacity);
        p.stroke = true;
        p.strokeColor = p.fillColor;
        p.width = t.fontSize / 30;
        d.paths.push_back(p);
    } else {
        d.paths.push_back(Fill(segs, BgrToRgb(t.color), t.opacity));
    }
    d.bbox = SegmentsBounds(d.paths.back().segments).Inflated(1);
    return d;
}

std::shared_ptr<const std::string> ImagePixels(const PdfObject& dict, int* width, int* height) {
    const PdfObject* img = dict.Get("ImageData");
    if (!img || !img->IsDict()) return nullptr;
    const PdfObject* w = img->Get("Width");
    const PdfObject* h = img->Get("Height");
    const PdfObject* data = img->Get("Data");
    if (!w || !h || !data || !w->IsNumber() || !h->IsNumber() || !data->IsString()) return nullptr;
    const int iw = static_cast<int>(w->number), ih = static_cast<int>(h->number);
    if (iw <= 0 || ih <= 0 || iw > kMaxImageSide || ih > kMaxImageSide) return nullptr;
    uLongf size = static_cast<uLongf>(iw) * static_cast<uLongf>(ih) * 3;
    auto out = std::make_shared<std::string>(size, '\0');
    if (uncompress(reinterpret_cast<Bytef*>(out->data()), &size,
                   reinterpret_cast<const Bytef*>(data->text.data()),
                   static_cast<uLong>(data->text.size())) != Z_OK ||
        size != out->size()) {
        return nullptr;
    }
    *width = iw;
    *height = ih;
    return out;
}

PdfObject ImageDataDict(int width, int height, const std::string& rgb) {
    PdfObject d = PdfObject::Dict();
    d.Set("Width", PdfObject::Int(width));
    d.Set("Height", PdfObject::Int(height));
    d.Set("BitsPerComponent", PdfObject::Int(8));
    d.Set("Filter", PdfObject::Name("FlateDecode"));
    uLongf size = compressBound(static_cast<uLong>(rgb.size()));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                  reinterpret_cast<const Bytef*>(rgb.data()), static_cast<uLong>(rgb.size()),
                  9) != Z_OK) {
        packed.clear();
        size = 0;
    }
    packed.resize(size);
    d.Set("Data", PdfObject::String(std::move(packed)));
    return d;
}

}  // namespace quill::engine
