#pragma once

#include "cluster/spline_areas.h"
#include "model/approx_specimen.h"

#include <algorithm>
#include <vector>

// A second opinion on the areas between two sampled curves, by a method of its own: the area
// of the symmetric difference of the two regions that each row of 51 samples encloses with the
// axis, both filled by the even-odd rule. That is the even-odd area of all edges of both
// polygons together, integrated over x strip by strip: between consecutive x of vertices and
// edge intersections the edges keep their order, so the covered length is linear in x and the
// midpoint rule is exact. Everything in double precision.
namespace area_reference {

struct Point {
    double x = 0.0;
    double y = 0.0;
};

// The samples as the program takes them: parameters formed in float, curves evaluated in float
// (the areas are compared, not the curve evaluation), the ventral curve mirrored.
inline std::vector<Point> SampleRow(const CApproxSpecimen& a, bool dorsal) {
    std::vector<Point> row;
    for (int k = 0; k < kSplineAreaSamples; ++k) {
        const int step = dorsal ? kSplineAreaSamples - 1 - k : k;
        const float t = static_cast<float>(step) * 0.02f;
        const FPoint p = dorsal ? a.ApproxUpper.Evaluate(t) : a.ApproxLower.Evaluate(t);
        row.push_back({p.x, dorsal ? p.y : -p.y});
    }
    return row;
}

inline double SymmetricDifferenceArea(const std::vector<Point>& a, const std::vector<Point>& b) {
    struct Edge {
        Point p, q; // p.x < q.x
    };
    std::vector<Edge> edges;
    for (const std::vector<Point>* polygon : {&a, &b})
        for (std::size_t i = 0; i < polygon->size(); ++i) {
            const Point p = (*polygon)[i];
            const Point q = (*polygon)[(i + 1) % polygon->size()];
            if (p.x != q.x)
                edges.push_back(p.x < q.x ? Edge{p, q} : Edge{q, p});
        }
    std::vector<double> xs;
    for (const Edge& e : edges) {
        xs.push_back(e.p.x);
        xs.push_back(e.q.x);
    }
    for (std::size_t i = 0; i < edges.size(); ++i)
        for (std::size_t j = i + 1; j < edges.size(); ++j) {
            const Edge& e = edges[i];
            const Edge& f = edges[j];
            if (e.q.x <= f.p.x || f.q.x <= e.p.x)
                continue;
            const double rx = e.q.x - e.p.x, ry = e.q.y - e.p.y;
            const double sx = f.q.x - f.p.x, sy = f.q.y - f.p.y;
            const double denominator = rx * sy - ry * sx;
            if (denominator == 0.0)
                continue;
            const double t = ((f.p.x - e.p.x) * sy - (f.p.y - e.p.y) * sx) / denominator;
            if (t > 0.0 && t < 1.0)
                xs.push_back(e.p.x + t * rx);
        }
    std::sort(xs.begin(), xs.end());
    double area = 0.0;
    std::vector<double> ys;
    for (std::size_t k = 0; k + 1 < xs.size(); ++k) {
        const double x0 = xs[k], x1 = xs[k + 1];
        if (!(x1 > x0))
            continue;
        const double xm = 0.5 * (x0 + x1);
        ys.clear();
        for (const Edge& e : edges)
            if (e.p.x < xm && xm < e.q.x)
                ys.push_back(e.p.y + (e.q.y - e.p.y) * (xm - e.p.x) / (e.q.x - e.p.x));
        std::sort(ys.begin(), ys.end());
        double covered = 0.0;
        for (std::size_t i = 0; i + 1 < ys.size(); i += 2)
            covered += ys[i + 1] - ys[i];
        area += covered * (x1 - x0);
    }
    return area;
}

// The reported area of one side: times 0.001.
inline double SideArea(const CApproxSpecimen& first, const CApproxSpecimen& second, bool dorsal) {
    return 0.001 * SymmetricDifferenceArea(SampleRow(first, dorsal), SampleRow(second, dorsal));
}

} // namespace area_reference
