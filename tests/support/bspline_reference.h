#pragma once

#include "model/fpoint.h"

#include <cmath>
#include <cstddef>
#include <vector>

// A second, double-precision B-spline of degree 2 for checking the program's curves: the
// Cox-de Boor recursion on the clamped uniform knot vector, independent of the closed-form
// pieces the program evaluates.
namespace reference {

struct DPoint {
    double x = 0.0;
    double y = 0.0;
};

// Knots 0, 0, 0, 1/(g-1), ..., (g-2)/(g-1), 1, 1, 1 of a curve with g + 1 control points.
inline std::vector<double> Knots(int g) {
    std::vector<double> u;
    for (int i = 0; i < 3; ++i)
        u.push_back(0.0);
    for (int i = 1; i <= g - 2; ++i)
        u.push_back(static_cast<double>(i) / (g - 1));
    for (int i = 0; i < 3; ++i)
        u.push_back(1.0);
    return u;
}

// Cox-de Boor N_(i,p)(t) on the knots u; half-open spans, t = 1 closing the last one.
inline double BasisOfDegree(const std::vector<double>& u, int i, int p, double t) {
    if (i < 0 || i + p + 1 >= static_cast<int>(u.size()))
        return 0.0;
    if (p == 0) {
        if (t == 1.0)
            return (u[i] < 1.0 && u[i + 1] == 1.0) ? 1.0 : 0.0;
        return (u[i] <= t && t < u[i + 1]) ? 1.0 : 0.0;
    }
    double value = 0.0;
    if (u[i + p] > u[i])
        value += (t - u[i]) / (u[i + p] - u[i]) * BasisOfDegree(u, i, p - 1, t);
    if (u[i + p + 1] > u[i + 1])
        value += (u[i + p + 1] - t) / (u[i + p + 1] - u[i + 1]) * BasisOfDegree(u, i + 1, p - 1, t);
    return value;
}

// N_c of degree 2 of a curve with g + 1 control points.
inline double Basis(int g, int c, double t) {
    return BasisOfDegree(Knots(g), c, 2, t);
}

inline DPoint Evaluate(const std::vector<FPoint>& control, double t) {
    const int g = static_cast<int>(control.size()) - 1;
    DPoint p;
    for (int c = 0; c <= g; ++c) {
        const double b = Basis(g, c, t);
        p.x += b * control[c].x;
        p.y += b * control[c].y;
    }
    return p;
}

// C'(t) = sum of N_(i+1,1)(t) * 2 (P_(i+1) - P_i) / (u_(i+3) - u_(i+1)).
inline DPoint Derivative(const std::vector<FPoint>& control, double t) {
    const int g = static_cast<int>(control.size()) - 1;
    const std::vector<double> u = Knots(g);
    DPoint d;
    for (int i = 0; i < g; ++i) {
        const double b = BasisOfDegree(u, i + 1, 1, t);
        const double k = 2.0 / (u[i + 3] - u[i + 1]);
        d.x += b * k * (control[i + 1].x - control[i].x);
        d.y += b * k * (control[i + 1].y - control[i].y);
    }
    return d;
}

inline double Distance(const FPoint& a, const DPoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Chord-length parameters of a polyline, in double precision.
inline std::vector<double> ChordParameters(const std::vector<FPoint>& points) {
    std::vector<double> t(points.size(), 0.0);
    double total = 0.0;
    for (std::size_t a = 1; a < points.size(); ++a)
        total += std::hypot(points[a].x - points[a - 1].x, points[a].y - points[a - 1].y);
    double running = 0.0;
    for (std::size_t a = 1; a < points.size(); ++a) {
        running += std::hypot(points[a].x - points[a - 1].x, points[a].y - points[a - 1].y);
        t[a] = running / total;
    }
    return t;
}

} // namespace reference
