// Small path shapes for annotation drawings: polylines, ellipses, clouds, arrow heads, text.
#pragma once
#include "viewer/engine/engine_names.h"

#include <string>
#include <vector>

#include "viewer/engine/affine.h"
#include "viewer/engine/annot_drawing.h"
#include "viewer/engine/page_geometry.h"

namespace quill::engine {

class GlyphFont;

using Segments = std::vector<PathSegment>;

void AddPolyline(Segments& out, const std::vector<PointF>& points, bool closed);
void AddRect(Segments& out, const RectF& r);
void AddEllipse(Segments& out, const RectF& r);
std::vector<PointF> EllipsePolygon(const RectF& r, int count);
// The scalloped outline of a closed polygon, the arcs bulging outwards; intensity 1 or 2.
void AddCloud(Segments& out, const std::vector<PointF>& polygon, double intensity, double width);
// A line ending at `tip` coming from `from`: "OpenArrow", "ClosedArrow", "Circle",
// "Square", "Butt"; filled endings go to `fillOut`.
void AddLineEnding(Segments& strokeOut, Segments& fillOut, const std::string& style, PointF tip,
                   PointF from, double width);
RectF SegmentsBounds(const Segments& segs);

// Lines of text broken to fit the width (at blanks where possible, else anywhere).
std::vector<std::u32string> WrapText(GlyphFont& font, const std::u32string& text, double size,
                                     double maxWidth);
double TextWidth(GlyphFont& font, const std::u32string& text, double size);
// Glyph outlines of one line; (0, 0) is the start of the baseline in the frame `m` maps.
void AddTextLine(Segments& out, GlyphFont& font, const std::u32string& line, double size,
                 const Affine& m);

// Numbers for labels, in the C locale.
std::string FormatFixed(double value, int decimals);

}  // namespace quill::engine
