#include "imaging/outline_shaping.h"

#include <algorithm>
#include <cmath>

double SignedArea(const std::vector<DPoint>& outline) {
    const std::size_t n = outline.size();
    if (n < 3)
        return 0.0;
    // Relative to the first point, so that far from the origin nothing cancels.
    const DPoint o = outline[0];
    double twice = 0.0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double ax = outline[i].x - o.x, ay = outline[i].y - o.y;
        const double bx = outline[i + 1].x - o.x, by = outline[i + 1].y - o.y;
        twice += ax * by - bx * ay;
    }
    return 0.5 * twice;
}

DPoint AreaCentroid(const std::vector<DPoint>& outline) {
    const std::size_t n = outline.size();
    if (n == 0)
        return {};
    const DPoint o = outline[0];
    double twice = 0.0;
    double sx = 0.0;
    double sy = 0.0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double ax = outline[i].x - o.x, ay = outline[i].y - o.y;
        const double bx = outline[i + 1].x - o.x, by = outline[i + 1].y - o.y;
        const double cross = ax * by - bx * ay;
        twice += cross;
        sx += (ax + bx) * cross;
        sy += (ay + by) * cross;
    }
    if (twice == 0.0)
        return o;
    return {o.x + sx / (3.0 * twice), o.y + sy / (3.0 * twice)};
}

double Perimeter(const std::vector<DPoint>& outline) {
    double length = 0.0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const DPoint& a = outline[i];
        const DPoint& b = outline[(i + 1) % outline.size()];
        length += std::hypot(b.x - a.x, b.y - a.y);
    }
    return length;
}

void SmoothOutline(std::vector<DPoint>& outline, int passes) {
    const std::size_t n = outline.size();
    if (n < 3)
        return;
    std::vector<DPoint> previous;
    for (int pass = 0; pass < passes; ++pass) {
        previous = outline;
        for (std::size_t i = 0; i < n; ++i) {
            const DPoint& a = previous[(i + n - 1) % n];
            const DPoint& b = previous[i];
            const DPoint& c = previous[(i + 1) % n];
            outline[i] = {0.25 * a.x + 0.5 * b.x + 0.25 * c.x, 0.25 * a.y + 0.5 * b.y + 0.25 * c.y};
        }
    }
}

void OrderOutline(std::vector<DPoint>& outline) {
    const std::size_t n = outline.size();
    if (n < 3)
        return;
    if (SignedArea(outline) > 0.0)
        std::reverse(outline.begin(), outline.end());
    const double cy = AreaCentroid(outline).y;

    // An edge counts when one end lies at or below the line and the other above it; a
    // crossing exactly at a point of the outline is that point.
    bool found = false;
    double bestX = 0.0;
    std::size_t bestEdge = 0;
    bool atPoint = false;
    for (std::size_t i = 0; i < n; ++i) {
        const DPoint& a = outline[i];
        const DPoint& b = outline[(i + 1) % n];
        if ((a.y <= cy) == (b.y <= cy))
            continue;
        const bool atA = a.y == cy;
        const bool atB = b.y == cy;
        const double x = atA ? a.x : atB ? b.x : a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y);
        if (!found || x > bestX) {
            found = true;
            bestX = x;
            bestEdge = atB ? (i + 1) % n : i;
            atPoint = atA || atB;
        }
    }
    if (!found) {
        // Not reached for an outline that encloses an area; a fixed rule all the same.
        bestEdge = static_cast<std::size_t>(
            std::max_element(outline.begin(), outline.end(),
                             [](const DPoint& p, const DPoint& q) { return p.x < q.x; }) -
            outline.begin());
        atPoint = true;
    }
    if (atPoint) {
        std::rotate(outline.begin(), outline.begin() + static_cast<std::ptrdiff_t>(bestEdge),
                    outline.end());
        return;
    }
    std::rotate(outline.begin(), outline.begin() + static_cast<std::ptrdiff_t>(bestEdge + 1),
                outline.end());
    outline.insert(outline.begin(), DPoint{bestX, cy});
}

std::vector<DPoint> ResampleOutline(const std::vector<DPoint>& outline, int count) {
    const std::size_t n = outline.size();
    if (n < 2 || count < 1)
        return outline;
    std::vector<double> length(n);
    double perimeter = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const DPoint& a = outline[i];
        const DPoint& b = outline[(i + 1) % n];
        length[i] = std::hypot(b.x - a.x, b.y - a.y);
        perimeter += length[i];
    }
    std::vector<DPoint> result;
    result.reserve(static_cast<std::size_t>(count));
    std::size_t edge = 0;
    double edgeStart = 0.0; // arc length at the start of `edge`
    for (int k = 0; k < count; ++k) {
        const double s = perimeter * k / count;
        while (edge + 1 < n && edgeStart + length[edge] <= s) {
            edgeStart += length[edge];
            ++edge;
        }
        const DPoint& a = outline[edge];
        const DPoint& b = outline[(edge + 1) % n];
        const double f = length[edge] > 0.0 ? std::clamp((s - edgeStart) / length[edge], 0.0, 1.0)
                                            : 0.0;
        result.push_back({a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)});
    }
    return result;
}

std::vector<FPoint> ToFloatOutline(const std::vector<DPoint>& outline) {
    std::vector<FPoint> points;
    points.reserve(outline.size());
    for (const DPoint& p : outline) {
        const FPoint q(static_cast<float>(p.x), static_cast<float>(p.y));
        if (points.empty() || !(points.back() == q))
            points.push_back(q);
    }
    while (points.size() > 1 && points.back() == points.front())
        points.pop_back();
    return points;
}
