#pragma once

#include "model/approx_specimen.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

// Cluster approximations built from explicit control points, and a double-precision second
// opinion on the curves they describe.
namespace cluster_test {

inline CApproxSpecimen MakeApprox(std::vector<FPoint> dorsal, std::vector<FPoint> ventral) {
    CApproxSpecimen a;
    a.ControlPointsCnt = static_cast<int>(dorsal.size()) - 1;
    a.ApproxUpper.ControlPoints = std::move(dorsal);
    a.ApproxLower.ControlPoints = std::move(ventral);
    return a;
}

// Control points on an ellipse with semi-axes rx, ry in normal position: dorsal from m1 = (rx, 0)
// over the top to m2 = (-rx, 0), ventral from m2 along the bottom to m1. `bulge(i)` scales the
// distance of the inner dorsal and ventral point i from the origin.
template <typename Bulge> CApproxSpecimen EllipseApprox(double rx, double ry, int n, Bulge bulge) {
    std::vector<FPoint> dorsal;
    std::vector<FPoint> ventral;
    for (int i = 0; i <= n; ++i) {
        const double phi = std::numbers::pi * i / n;
        const double f = (i == 0 || i == n) ? 1.0 : bulge(i);
        const double x = rx * std::cos(phi) * f;
        const double y = (i == 0 || i == n) ? 0.0 : ry * std::sin(phi) * f;
        dorsal.emplace_back(static_cast<float>(x), static_cast<float>(y));
        ventral.emplace_back(static_cast<float>(-x), static_cast<float>(-y));
    }
    return MakeApprox(dorsal, ventral);
}

inline CApproxSpecimen EllipseApprox(double rx, double ry, int n = 8) {
    return EllipseApprox(rx, ry, n, [](int) { return 1.0; });
}

struct DPoint {
    double x = 0.0;
    double y = 0.0;
};

// Clamped uniform quadratic B-spline by the Cox-de Boor recursion, in double precision.
inline double Knot(int i, int n) {
    if (i <= 2)
        return 0.0;
    if (i >= n + 1)
        return 1.0;
    return static_cast<double>(i - 2) / (n - 1);
}

inline double BasisD(int i, int p, double t, int n) {
    if (p == 0) {
        const double a = Knot(i, n), b = Knot(i + 1, n);
        // The last non-empty span is closed on the right so that t = 1 is covered.
        return (a <= t && (t < b || (t == 1.0 && b == 1.0 && a < 1.0))) ? 1.0 : 0.0;
    }
    double value = 0.0;
    const double d1 = Knot(i + p, n) - Knot(i, n);
    const double d2 = Knot(i + p + 1, n) - Knot(i + 1, n);
    if (d1 > 0.0)
        value += (t - Knot(i, n)) / d1 * BasisD(i, p - 1, t, n);
    if (d2 > 0.0)
        value += (Knot(i + p + 1, n) - t) / d2 * BasisD(i + 1, p - 1, t, n);
    return value;
}

inline DPoint Evaluate(const std::vector<FPoint>& cp, double t) {
    const int n = static_cast<int>(cp.size()) - 1;
    DPoint p;
    for (int i = 0; i <= n; ++i) {
        const double b = BasisD(i, 2, t, n);
        p.x += b * cp[i].x;
        p.y += b * cp[i].y;
    }
    return p;
}

// The side of an approximation as a polyline of `samples` points from the left end over the
// upper half-plane to the right end (dorsal read backwards, ventral mirrored).
inline std::vector<DPoint> SidePolyline(const CApproxSpecimen& a, bool dorsal, int samples) {
    std::vector<DPoint> line;
    for (int k = 0; k < samples; ++k) {
        const double u = static_cast<double>(k) / (samples - 1);
        if (dorsal) {
            line.push_back(Evaluate(a.ApproxUpper.ControlPoints, 1.0 - u));
        } else {
            const DPoint p = Evaluate(a.ApproxLower.ControlPoints, u);
            line.push_back({p.x, -p.y});
        }
    }
    return line;
}

// Distance from the origin to a star-shaped polyline (angles falling from pi to 0) along the
// ray at angle theta.
inline double RadiusAt(const std::vector<DPoint>& line, const std::vector<double>& angles,
                       double theta) {
    // angles are decreasing: find k with angles[k + 1] <= theta <= angles[k].
    size_t lo = 0, hi = line.size() - 1;
    while (hi - lo > 1) {
        const size_t mid = (lo + hi) / 2;
        if (angles[mid] >= theta)
            lo = mid;
        else
            hi = mid;
    }
    const DPoint p = line[lo], q = line[hi];
    const double dx = std::cos(theta), dy = std::sin(theta);
    const double cross = p.x * q.y - p.y * q.x;
    const double denominator = dx * (q.y - p.y) - dy * (q.x - p.x);
    return cross / denominator;
}

inline std::vector<double> Angles(const std::vector<DPoint>& line) {
    std::vector<double> angles;
    for (const DPoint& p : line) {
        double a = std::atan2(p.y, p.x);
        if (a < 0.0)
            a += 2.0 * std::numbers::pi;
        angles.push_back(a);
    }
    return angles;
}

// The area between two star-shaped polylines as the integral over the direction of
// |r_b^2 - r_a^2| / 2 (or without the absolute value when `signedArea`), by the midpoint rule.
inline double PolarAreaBetween(const std::vector<DPoint>& a, const std::vector<DPoint>& b,
                               bool signedArea = false, int steps = 200000) {
    const std::vector<double> angA = Angles(a), angB = Angles(b);
    const double h = std::numbers::pi / steps;
    double sum = 0.0;
    for (int s = 0; s < steps; ++s) {
        const double theta = (s + 0.5) * h;
        const double ra = RadiusAt(a, angA, theta), rb = RadiusAt(b, angB, theta);
        const double d = 0.5 * (rb * rb - ra * ra);
        sum += signedArea ? d : std::fabs(d);
    }
    return sum * h;
}

} // namespace cluster_test
