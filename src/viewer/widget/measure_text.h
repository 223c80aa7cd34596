// Measurement values of the distance, perimeter and area tools in a document scale, and
// the scale calibrated from two points of known distance.
#pragma once
#include "viewer/widget/widget_names.h"

#include <optional>
#include <string>
#include <vector>

#include "viewer/engine/annot_draft.h"

namespace quill::widget {

double PathLength(const std::vector<engine::PointF>& points, bool closed);
double PolygonArea(const std::vector<engine::PointF>& points);

// "12.34 in", "3.50 sq in" (C locale, two decimals).
std::string FormatLength(double points, const engine::MeasureScale& scale);
std::string FormatArea(double squarePoints, const engine::MeasureScale& scale);

// The scale in which the distance between a and b (in points) is `distance` units. nullopt
// when the points coincide or the distance is not positive; `unit` is trimmed, empty "in".
std::optional<engine::MeasureScale> CalibratedScale(engine::PointF a, engine::PointF b,
                                                    double distance, const std::string& unit);

}  // namespace quill::widget
