#include "viewer/engine/annot_factory.h"

#include <cmath>

#include "viewer/engine/annot_drawing_builder.h"
#include "viewer/engine/annot_name.h"
#include "viewer/engine/annot_properties.h"
#include "viewer/engine/annot_shape.h"
#include "viewer/engine/measure.h"
#include "viewer/engine/path_builder.h"
#include "viewer/engine/pdf_date.h"
#include "viewer/engine/pdf_object_writer.h"
#include "viewer/engine/pdf_text_string.h"

namespace quill::engine {
namespace {

bool Finite(PointF p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool Finite(const RectF& r) { return Finite(PointF{r.x1, r.y1}) && Finite(PointF{r.x2, r.y2}); }
bool AllFinite(const std::vector<PointF>& pts) {
    for (const PointF& p : pts) {
        if (!Finite(p)) return false;
    }
    return true;
}

const char* SubtypeFor(AnnotTool tool) {
    switch (tool) {
        case AnnotTool::Cloudy:
        case AnnotTool::Polygon:
        case AnnotTool::Area:
            return "Polygon";
        case AnnotTool::PolyLine:
        case AnnotTool::Perimeter:
            return "PolyLine";
        case AnnotTool::Arrow:
        case AnnotTool::Line:
        case AnnotTool::Distance:
            return "Line";
        case AnnotTool::Rectangle:
            return "Square";
        case AnnotTool::Circle:
            return "Circle";
        case AnnotTool::Pencil:
            return "Ink";
        case AnnotTool::Callout:
            return "FreeText";
        case AnnotTool::Note:
            return "Text";
        case AnnotTool::FileAttachment:
            return "FileAttachment";
        case AnnotTool::Highlight:
            return "Highlight";
        case AnnotTool::StrikeOut:
            return "StrikeOut";
        case AnnotTool::Image:
            return "Stamp";
    }
    return "Square";
}

const char* IntentFor(AnnotTool tool) {
    switch (tool) {
        case AnnotTool::Cloudy:
            return "PolygonCloud";
        case AnnotTool::Area:
            return "PolygonDimension";
        case AnnotTool::Perimeter:
            return "PolyLineDimension";
        case AnnotTool::Arrow:
            return "LineArrow";
        case AnnotTool::Distance:
            return "LineDimension";
        case AnnotTool::Callout:
            return "FreeTextCallout";
        default:
            return nullptr;
    }
}

std::string HexColor(int32_t bgr) {
    static const char* hex = "0123456789ABCDEF";
    std::string s = "#";
    for (int shift : {0, 8, 16}) {
        const int c = (bgr >> shift) & 0xFF;
        s += hex[c >> 4];
        s += hex[c & 15];
    }
    return s;
}

RectF IconBox(const RectF& r) {
    const RectF n = r.Normalized();
    if (n.Width() >= 4 && n.Height() >= 4) return n;
    return {n.x1, n.y2 - 20, n.x1 + 20, n.y2};
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

bool CheckGeometry(const AnnotDraft& s, std::string* error) {
    if (!AllFinite(s.points) || !Finite(s.rect)) return Fail(error, "coordinates are not finite");
    for (const auto& stroke : s.strokes) {
        if (!AllFinite(stroke)) return Fail(error, "coordinates are not finite");
    }
    for (const Quad& q : s.quads) {
        if (!AllFinite({q.begin(), q.end()})) return Fail(error, "coordinates are not finite");
    }
    switch (s.tool) {
        case AnnotTool::Line:
        case AnnotTool::Arrow:
        case AnnotTool::Distance:
            if (s.points.size() < 2) return Fail(error, "a line needs two points");
            break;
        case AnnotTool::Polygon:
        case AnnotTool::Cloudy:
        case AnnotTool::Area:
            if (s.points.size() < 3) return Fail(error, "a polygon needs three points");
            break;
        case AnnotTool::PolyLine:
        case AnnotTool::Perimeter:
            if (s.points.size() < 2) return Fail(error, "a polyline needs two points");
            break;
        case AnnotTool::Rectangle:
        case AnnotTool::Circle:
        case AnnotTool::Image:
            if (s.rect.Normalized().Width() <= 0 || s.rect.Normalized().Height() <= 0)
                return Fail(error, "the rectangle is empty");
            if (s.tool == AnnotTool::Image &&
                (s.imageWidth <= 0 || s.imageHeight <= 0 || s.imageWidth > 4096 ||
                 s.imageHeight > 4096 ||
                 s.imageRgb.size() != static_cast<size_t>(s.imageWidth) * s.imageHeight * 3))
                return Fail(error, "the image pixels do not match its size");
            break;
        case AnnotTool::Pencil:
            if (s.strokes.empty()) return Fail(error, "a pencil comment needs a stroke");
            for (const auto& stroke : s.strokes) {
                if (stroke.empty()) return Fail(error, "a pencil stroke is empty");
            }
            break;
        case AnnotTool::Callout:
            if (s.rect.Normalized().Width() <= 0 || s.rect.Normalized().Height() <= 0)
                return Fail(error, "the text box is empty");
            if (!s.points.empty() && (s.points.size() < 2 || s.points.size() > 3))
                return Fail(error, "a call-out line has two or three points");
            break;
        case AnnotTool::Highlight:
        case AnnotTool::StrikeOut:
            if (s.quads.empty() &&
                (s.rect.Normalized().Width() <= 0 || s.rect.Normalized().Height() <= 0))
                return Fail(error, "no text is marked");
            break;
        case AnnotTool::FileAttachment:
            if (s.fileName.empty()) return Fail(error, "the attached file has no name");
            break;
        case AnnotTool::Note:
            break;
    }
    return true;
}

PdfObject TextString(const std::string& ansi) { return PdfObject::String(AnsiToPdfText(ansi)); }

}  // namespace

PdfObject PopupDictFor(const PdfObject& annotDict) {
    const RectF r = RectOf(annotDict);
    PdfObject popup = PdfObject::Dict();
    popup.Set("Type", PdfObject::Name("Annot"));
    popup.Set("Subtype", PdfObject::Name("Popup"));
    popup.Set("Rect", RectArray({r.x2, r.y2 - 120, r.x2 + 180, r.y2}));
    popup.Set("Open", PdfObject::Bool(false));
    return popup;
}

std::unique_ptr<AnnotRecord> BuildAnnotRecord(const AnnotDraft& s, const std::string& defaultAuthor,
                                              const TextStyle& textFont, DrawingContext& ctx,
                                              std::string* error) {
    if (!CheckGeometry(s, error)) return nullptr;
    auto rec = std::make_unique<AnnotRecord>();
    rec->page = s.page;
    PdfObject& d = rec->dict;
    const std::string now = PdfDateNow();
    d.Set("Type", PdfObject::Name("Annot"));
    d.Set("Subtype", PdfObject::Name(SubtypeFor(s.tool)));
    d.Set("Rect", RectArray(s.rect.Normalized()));
    // Geometry first, ahead of every string: the client finds arrays by their first
    // occurrence in the text ("Rect[", "L[", "Vertices[", "InkList[[").
    switch (s.tool) {
        case AnnotTool::Line:
        case AnnotTool::Arrow:
        case AnnotTool::Distance: {
            d.Set("L", PointArray({s.points[0], s.points[1]}));
            const char* start = s.tool == AnnotTool::Distance ? "OpenArrow" : "None";
            const char* end = s.tool == AnnotTool::Line ? "None" : "OpenArrow";
            d.Set("LE", PdfObject::Array({PdfObject::Name(start), PdfObject::Name(end)}));
            break;
        }
        case AnnotTool::Polygon:
        case AnnotTool::Cloudy:
        case AnnotTool::Area:
        case AnnotTool::PolyLine:
        case AnnotTool::Perimeter:
            d.Set("Vertices", PointArray(s.points));
            break;
        case AnnotTool::Pencil: {
            PdfObject ink = PdfObject::Array();
            for (const auto& stroke : s.strokes) ink.array.push_back(PointArray(stroke));
            d.Set("InkList", std::move(ink));
            break;
        }
        case AnnotTool::Callout:
            if (s.points.size() >= 2) {
                d.Set("CL", PointArray(s.points));
                d.Set("LE", PdfObject::Name("OpenArrow"));
            }
            break;
        case AnnotTool::Note:
        case AnnotTool::FileAttachment:
            d.Set("Rect", RectArray(IconBox(s.rect)));
            break;
        case AnnotTool::Highlight:
        case AnnotTool::StrikeOut: {
            std::vector<Quad> quads = s.quads;
            if (quads.empty()) {
                const RectF r = s.rect.Normalized();
                quads.push_back({PointF{r.x1, r.y2}, PointF{r.x2, r.y2}, PointF{r.x1, r.y1},
                                 PointF{r.x2, r.y1}});
            }
            std::vector<PointF> pts;
            for (const Quad& q : quads) pts.insert(pts.end(), q.begin(), q.end());
            d.Set("QuadPoints", PointArray(pts));
            d.Set("Rect", RectArray(BoundsOf(pts)));
            break;
        }
        default:
            break;
    }
    d.Set("NM", PdfObject::String(NewAnnotName()));
    d.Set("T", TextString(s.author.empty() ? defaultAuthor : s.author));
    d.Set("Subj", TextString(AnnotToolSubject(s.tool)));
    d.Set("Contents", TextString(s.contents));
    d.Set("CreationDate", PdfObject::String(now));
    d.Set("M", PdfObject::String(now));
    d.Set("F", PdfObject::Int(4));  // print
    SetColor(d, s.style.color);
    if (s.style.opacity < 1 && s.style.opacity >= 0) d.Set("CA", PdfObject::Real(s.style.opacity));
    if (const char* it = IntentFor(s.tool)) d.Set("IT", PdfObject::Name(it));

    switch (s.tool) {
        case AnnotTool::Callout: {
            const TextStyle& font = s.useControlTextFont ? textFont : s.text;
            const int32_t c = font.color;
            auto n = [](double v) { return FormatPdfNumber(v, false); };
            d.Set("DA", PdfObject::String(
                            n((c & 0xFF) / 255.0) + " " + n(((c >> 8) & 0xFF) / 255.0) + " " +
                            n(((c >> 16) & 0xFF) / 255.0) + " rg /Helv " + n(font.size) + " Tf"));
            d.Set("DS", TextString("font: " + n(font.size) + "pt " + font.face +
                                   "; color:" + HexColor(c)));
            d.Set("Q", PdfObject::Int(0));
            d.Set("IC", PdfObject::NumberArray({1, 1, 1}));
            break;
        }
        case AnnotTool::Note:
            d.Set("Name", PdfObject::Name("Comment"));
            d.Set("Open", PdfObject::Bool(false));
            break;
        case AnnotTool::FileAttachment: {
            d.Set("Name", PdfObject::Name("PushPin"));
            PdfObject fs = PdfObject::Dict();
            fs.Set("Type", PdfObject::Name("Filespec"));
            fs.Set("F", TextString(s.fileName));
            fs.Set("UF", TextString(s.fileName));
            PdfObject ef = PdfObject::Dict();
            ef.Set("F", PdfObject::Ref(kEmbeddedFileRef));
            fs.Set("EF", std::move(ef));
            d.Set("FS", std::move(fs));
            EmbeddedFile file;
            file.streamDict = PdfObject::Dict();
            file.streamDict.Set("Type", PdfObject::Name("EmbeddedFile"));
            PdfObject params = PdfObject::Dict();
            params.Set("Size", PdfObject::Int(static_cast<int64_t>(s.fileBytes.size())));
            params.Set("ModDate", PdfObject::String(now));
            file.streamDict.Set("Params", std::move(params));
            file.bytes = s.fileBytes;
            rec->file = std::move(file);
            break;
        }
        case AnnotTool::Image:
            d.Set("Name", PdfObject::Name("Image"));
            d.Set("ImageData", ImageDataDict(s.imageWidth, s.imageHeight, s.imageRgb));
            break;
        default:
            break;
    }
    if ((s.tool == AnnotTool::Rectangle || s.tool == AnnotTool::Circle ||
         s.tool == AnnotTool::Polygon || s.tool == AnnotTool::Cloudy ||
         s.tool == AnnotTool::Area) &&
        s.style.fillColor) {
        d.Set("IC", ColorArray(*s.style.fillColor));
    }
    if (s.tool == AnnotTool::Distance || s.tool == AnnotTool::Perimeter ||
        s.tool == AnnotTool::Area) {
        d.Set("Measure", MeasureDict(s.scale));
        if (s.contents.empty()) {
            if (auto label = MeasureLabel(d)) d.Set("Contents", TextString(*label));
        }
    }
    if (HasBorder(d)) {
        int code = s.style.borderStyle;
        if (s.tool == AnnotTool::Cloudy && code != 8 && code != 9) code = 9;
        if (code < 1 || code > 9) code = 1;
        SetBorderWidth(d, std::max(0.0, s.style.width));
        SetBorderStyleCode(d, code);
    }
    RefreshRect(*rec, ctx);
    rec->popup = PopupDictFor(d);
    return rec;
}

std::unique_ptr<AnnotRecord> BuildReplyRecord(const AnnotRecord& parent, const std::string& text,
                                              const std::string& author) {
    auto rec = std::make_unique<AnnotRecord>();
    rec->page = parent.page;
    PdfObject& d = rec->dict;
    const std::string now = PdfDateNow();
    const RectF r = RectOf(parent.dict);
    d.Set("Type", PdfObject::Name("Annot"));
    d.Set("Subtype", PdfObject::Name("Text"));
    d.Set("Rect", RectArray({r.x1, r.y2 - 20, r.x1 + 20, r.y2}));
    d.Set("NM", PdfObject::String(NewAnnotName()));
    d.Set("T", TextString(author));
    d.Set("Contents", TextString(text));
    d.Set("CreationDate", PdfObject::String(now));
    d.Set("M", PdfObject::String(now));
    d.Set("F", PdfObject::Int(4));
    d.Set("Name", PdfObject::Name("Comment"));
    d.Set("IRT", PdfObject::String(parent.Name()));
    d.Set("RT", PdfObject::Name("R"));
    return rec;
}

}  // namespace quill::engine
