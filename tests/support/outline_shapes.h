#pragma once

#include "model/fpoint.h"

#include <cmath>
#include <numbers>
#include <vector>

// Test outlines with known geometry, built in double precision.
namespace shapes {

// An ellipse with semi-axes a (along the direction angleDeg) and b, centred at (cx, cy),
// sampled counter-clockwise starting at parameter startDeg.
inline std::vector<FPoint> Ellipse(double a, double b, double angleDeg, double cx, double cy,
                                   int count, double startDeg = 0.0) {
    const double phi = angleDeg * std::numbers::pi / 180.0;
    std::vector<FPoint> points;
    for (int i = 0; i < count; ++i) {
        const double t = (startDeg + 360.0 * i / count) * std::numbers::pi / 180.0;
        const double u = a * std::cos(t);
        const double v = b * std::sin(t);
        points.emplace_back(static_cast<float>(cx + u * std::cos(phi) - v * std::sin(phi)),
                            static_cast<float>(cy + u * std::sin(phi) + v * std::cos(phi)));
    }
    return points;
}

// Signed area and area centroid of a closed polygon in double precision.
struct PolygonMoments {
    double area = 0.0;
    double cx = 0.0;
    double cy = 0.0;
};

inline PolygonMoments Moments(const std::vector<FPoint>& p) {
    PolygonMoments m;
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double x0 = p[i].x, y0 = p[i].y;
        const double x1 = p[(i + 1) % n].x, y1 = p[(i + 1) % n].y;
        const double cross = x0 * y1 - x1 * y0;
        m.area += cross;
        m.cx += (x0 + x1) * cross;
        m.cy += (y0 + y1) * cross;
    }
    m.area *= 0.5;
    m.cx /= 6.0 * m.area;
    m.cy /= 6.0 * m.area;
    return m;
}

} // namespace shapes
