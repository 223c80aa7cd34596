// GlyphFont: a font file read with FreeType; text becomes glyph outlines (vector paths), so
// appearances need no embedded font and look the same in every viewer.
#pragma once
#include "viewer/engine/engine_names.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "viewer/engine/affine.h"
#include "viewer/engine/annot_drawing.h"

namespace quill::engine {

class GlyphFont {
public:
    // nullptr when the file is missing or no font FreeType can read. In a collection the
    // Korean face is taken when there is one.
    static std::shared_ptr<GlyphFont> Load(const std::string& path);
    ~GlyphFont();
    GlyphFont(const GlyphFont&) = delete;
    GlyphFont& operator=(const GlyphFont&) = delete;

    const std::string& Path() const { return path_; }
    // Advance width of a character at the size, in points.
    double Advance(char32_t c, double size);
    // Ascent and descent (positive below the baseline) at the size.
    double Ascent(double size) const;
    double Descent(double size) const;
    // Appends the character's outline with its origin (on the baseline) mapped by `m`.
    void AppendGlyph(char32_t c, double size, const Affine& m, std::vector<PathSegment>& out);

private:
    struct Glyph {
        double advance = 0;                // font units
        std::vector<PathSegment> outline;  // font units
    };
    GlyphFont() = default;
    const Glyph& GlyphOf(char32_t c);

    struct Face;
    std::unique_ptr<Face> face_;
    std::string path_;
    double unitsPerEm_ = 1000;
    double ascender_ = 800;
    double descender_ = 200;
    std::unordered_map<char32_t, Glyph> cache_;
};

// The font for text in appearances: the file named by SetCJKResourcePath when it can be
// read, else an installed CJK font, else any installed font.
class FontProvider {
public:
    void SetPreferredPath(const std::string& path);
    // nullptr when no font can be found at all (text is then left out of appearances).
    std::shared_ptr<GlyphFont> Font();

private:
    std::string preferred_;
    std::shared_ptr<GlyphFont> font_;
    bool searched_ = false;
};

// Unicode code points of text in the system code page.
std::u32string CodePointsOf(const std::string& ansi);

}  // namespace quill::engine
