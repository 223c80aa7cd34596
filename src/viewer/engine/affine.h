// Affine: a 2-D affine transform in PDF's [a b c d e f] form.
#pragma once
#include "viewer/engine/engine_names.h"

#include <cmath>

#include "viewer/engine/page_geometry.h"

namespace quill::engine {

struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    PointF Apply(PointF p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    // this, then next.
    Affine Then(const Affine& n) const {
        return {a * n.a + b * n.c, a * n.b + b * n.d,       c * n.a + d * n.c,
                c * n.b + d * n.d, e * n.a + f * n.c + n.e, e * n.b + f * n.d + n.f};
    }
    static Affine Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Affine Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Counter-clockwise by the angle in degrees.
    static Affine Rotate(double degrees) {
        const double r = degrees * M_PI / 180.0;
        const double cs = std::cos(r), sn = std::sin(r);
        return {cs, sn, -sn, cs, 0, 0};
    }
};

}  // namespace quill::engine
