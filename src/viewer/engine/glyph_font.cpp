#include "viewer/engine/glyph_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/code_page.h"

namespace quill::engine {

struct GlyphFont::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Face() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

namespace {

struct OutlineSink {
    std::vector<PathSegment>* out;
    PointF last;
    bool open = false;
};

PointF ToPoint(const FT_Vector* v) {
    return {static_cast<double>(v->x), static_cast<double>(v->y)};
}

int MoveTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    if (s->open) s->out->push_back({PathSegment::Close, {}});
    PathSegment seg{PathSegment::MoveTo, {}};
    seg.p[0] = ToPoint(to);
    s->out->push_back(seg);
    s->last = seg.p[0];
    s->open = true;
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    PathSegment seg{PathSegment::LineTo, {}};
    seg.p[0] = ToPoint(to);
    s->out->push_back(seg);
    s->last = seg.p[0];
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    const PointF c = ToPoint(control), e = ToPoint(to), p0 = s->last;
    PathSegment seg{PathSegment::CurveTo, {}};
    seg.p[0] = {p0.x + 2.0 / 3.0 * (c.x - p0.x), p0.y + 2.0 / 3.0 * (c.y - p0.y)};
    seg.p[1] = {e.x + 2.0 / 3.0 * (c.x - e.x), e.y + 2.0 / 3.0 * (c.y - e.y)};
    seg.p[2] = e;
    s->out->push_back(seg);
    s->last = e;
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    PathSegment seg{PathSegment::CurveTo, {}};
    seg.p[0] = ToPoint(c1);
    seg.p[1] = ToPoint(c2);
    seg.p[2] = ToPoint(to);
    s->out->push_back(seg);
    s->last = seg.p[2];
    return 0;
}

bool ContainsNoCase(std::string hay, std::string needle) {
    std::transform(hay.begin(), hay.end(), hay.begin(), ::tolower);
    std::transform(needle.begin(), needle.end(), needle.begin(), ::tolower);
    return hay.find(needle) != std::string::npos;
}

}  // namespace

std::shared_ptr<GlyphFont> GlyphFont::Load(const std::string& path) {
    if (path.empty()) return nullptr;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
    auto face = std::make_unique<Face>();
    if (FT_Init_FreeType(&face->library) != 0) return nullptr;
    if (FT_New_Face(face->library, path.c_str(), 0, &face->face) != 0) return nullptr;
    const long faces = face->face->num_faces;
    if (faces > 1) {
        // A collection: prefer the Korean face.
        for (long i = 0; i < faces; ++i) {
            FT_Face candidate = nullptr;
            if (FT_New_Face(face->library, path.c_str(), i, &candidate) != 0) continue;
            const std::string family = candidate->family_name ? candidate->family_name : "";
            if (ContainsNoCase(family, " KR") || ContainsNoCase(family, "Korean")) {
                FT_Done_Face(face->face);
                face->face = candidate;
                break;
            }
            FT_Done_Face(candidate);
        }
    }
    if (!FT_IS_SCALABLE(face->face)) return nullptr;
    FT_Select_Charmap(face->face, FT_ENCODING_UNICODE);
    std::shared_ptr<GlyphFont> font(new GlyphFont());
    font->path_ = path;
    font->unitsPerEm_ = face->face->units_per_EM > 0 ? face->face->units_per_EM : 1000;
    font->ascender_ = face->face->ascender;
    font->descender_ = -face->face->descender;
    font->face_ = std::move(face);
    return font;
}

GlyphFont::~GlyphFont() = default;

const GlyphFont::Glyph& GlyphFont::GlyphOf(char32_t c) {
    auto it = cache_.find(c);
    if (it != cache_.end()) return it->second;
    Glyph g;
    FT_Face f = face_->face;
    const FT_UInt index = FT_Get_Char_Index(f, c);
    if (FT_Load_Glyph(f, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) == 0) {
        g.advance = static_cast<double>(f->glyph->metrics.horiAdvance);
        if (f->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
            FT_Outline_Funcs funcs{};
            funcs.move_to = MoveTo;
            funcs.line_to = LineTo;
            funcs.conic_to = ConicTo;
            funcs.cubic_to = CubicTo;
            OutlineSink sink{&g.outline, {}, false};
            FT_Outline_Decompose(&f->glyph->outline, &funcs, &sink);
            if (sink.open) g.outline.push_back({PathSegment::Close, {}});
        }
    } else {
        g.advance = unitsPerEm_ / 2;
    }
    return cache_.emplace(c, std::move(g)).first->second;
}

double GlyphFont::Advance(char32_t c, double size) {
    return GlyphOf(c).advance * size / unitsPerEm_;
}

double GlyphFont::Ascent(double size) const { return ascender_ * size / unitsPerEm_; }

double GlyphFont::Descent(double size) const { return descender_ * size / unitsPerEm_; }

void GlyphFont::AppendGlyph(char32_t c, double size, const Affine& m,
                            std::vector<PathSegment>& out) {
    const Glyph& g = GlyphOf(c);
    const double s = size / unitsPerEm_;
    const Affine full = Affine::Scale(s, s).Then(m);
    for (PathSegment seg : g.outline) {
        for (PointF& p : seg.p) p = full.Apply(p);
        out.push_back(seg);
    }
}

void FontProvider::SetPreferredPath(const std::string& path) {
    if (path == preferred_) return;
    preferred_ = path;
    font_.reset();
    searched_ = false;
}

std::shared_ptr<GlyphFont> FontProvider::Font() {
    if (font_ || searched_) return font_;
    searched_ = true;
    font_ = GlyphFont::Load(preferred_);
    if (font_) return font_;
    static const char* kKnown[] = {
        "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
        "/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc",
        "/usr/share/fonts/truetype/nanum/NanumGothic.ttf",
    };
    for (const char* p : kKnown) {
        font_ = GlyphFont::Load(p);
        if (font_) return font_;
    }
    // Any CJK font first, then any font at all.
    std::error_code ec;
    std::vector<std::string> cjk, other;
    for (const char* root : {"/usr/share/fonts", "/usr/local/share/fonts"}) {
        std::filesystem::recursive_directory_iterator it(root, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            if (!it->is_regular_file(ec)) continue;
            const std::string p = it->path().string();
            const std::string ext = it->path().extension().string();
            if (ext != ".ttf" && ext != ".otf" && ext != ".ttc") continue;
            (ContainsNoCase(p, "cjk") || ContainsNoCase(p, "nanum") ? cjk : other).push_back(p);
        }
        ec.clear();
    }
    std::sort(cjk.begin(), cjk.end());
    std::sort(other.begin(), other.end());
    for (const auto* list : {&cjk, &other}) {
        for (const std::string& p : *list) {
            font_ = GlyphFont::Load(p);
            if (font_) return font_;
        }
    }
    return nullptr;
}

std::u32string CodePointsOf(const std::string& ansi) {
    const std::u16string u = platform::AnsiToUtf16(ansi);
    std::u32string out;
    out.reserve(u.size());
    for (size_t i = 0; i < u.size(); ++i) {
        const char16_t c = u[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < u.size() && u[i + 1] >= 0xDC00 &&
            u[i + 1] < 0xE000) {
            out += static_cast<char32_t>(0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00));
            ++i;
        } else {
            out += static_cast<char32_t>(c);
        }
    }
    return out;
}

}  // namespace quill::engine
