#include "viewer/widget/measure_text.h"

#include <cmath>
#include <cstdio>

namespace quill::widget {
namespace {

std::string Number(double v) {
    char buf[64];
    // %f follows LC_NUMERIC; our values must read the same in every locale.
    std::snprintf(buf, sizeof buf, "%.2f", v);
    for (char* c = buf; *c; ++c) {
        if (*c == ',') *c = '.';
    }
    return buf;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

}  // namespace

double PathLength(const std::vector<engine::PointF>& points, bool closed) {
    double len = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        len += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    }
    if (closed && points.size() > 2) {
        len += std::hypot(points.front().x - points.back().x, points.front().y - points.back().y);
    }
    return len;
}

double PolygonArea(const std::vector<engine::PointF>& points) {
    double a = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const auto& p = points[i];
        const auto& q = points[(i + 1) % points.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return std::abs(a) / 2;
}

std::string FormatLength(double points, const engine::MeasureScale& scale) {
    return Number(points * scale.unitsPerPoint) + " " + scale.unit;
}

std::string FormatArea(double squarePoints, const engine::MeasureScale& scale) {
    return Number(squarePoints * scale.unitsPerPoint * scale.unitsPerPoint) + " sq " + scale.unit;
}

std::optional<engine::MeasureScale> CalibratedScale(engine::PointF a, engine::PointF b,
                                                    double distance, const std::string& unit) {
    const double pts = std::hypot(b.x - a.x, b.y - a.y);
    if (!(pts > 1e-6) || !(distance > 0) || !std::isfinite(distance)) return std::nullopt;
    engine::MeasureScale s;
    s.unit = Trim(unit).empty() ? "in" : Trim(unit);
    s.unitsPerPoint = distance / pts;
    // What one inch of paper stands for, as the scale's ratio text.
    s.ratioText = "1 in = " + Number(72.0 * s.unitsPerPoint) + " " + s.unit;
    return s;
}

}  // namespace quill::widget
