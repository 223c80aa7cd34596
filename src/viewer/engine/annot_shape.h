// The geometry inside an annotation dictionary: reading it, moving, resizing, editing
// vertices, and keeping /Rect around what is drawn.
#pragma once
#include "viewer/engine/engine_names.h"

#include <vector>

#include "viewer/engine/annot_geometry.h"
#include "viewer/engine/page_geometry.h"
#include "viewer/engine/pdf_object.h"

namespace quill::engine {

RectF RectOf(const PdfObject& dict);  // /Rect normalised; empty when absent
PdfObject RectArray(const RectF& r);
// Insets of /RD (left, bottom, right, top), zero when absent.
RectF InsetsOf(const PdfObject& dict);
// /Rect minus /RD.
RectF InnerBoxOf(const PdfObject& dict);
std::vector<PointF> PointsOf(const PdfObject* numberArray);
PdfObject PointArray(const std::vector<PointF>& points);
std::vector<Quad> QuadsOf(const PdfObject& dict);
std::vector<std::vector<PointF>> InkOf(const PdfObject& dict);

AnnotGeometry GeometryOfDict(const PdfObject& dict, int page);

// Move by (dx, dy): /Rect, /Vertices, /L, /CL, /InkList, /QuadPoints.
void TranslateDict(PdfObject& dict, double dx, double dy);
// Scales and moves the shape so that its box (AnnotGeometry::box) becomes `box`.
bool ResizeDict(PdfObject& dict, const RectF& box);
// Moves one vertex: of /Vertices, the two ends of /L, the points of /CL, the points of
// /InkList counted over all strokes. false when there is no such vertex.
bool SetVertexDict(PdfObject& dict, int vertex, PointF at);

}  // namespace quill::engine
