#include "cluster/polygon_area_between.h"

#include <clipper.hpp>

#include <algorithm>
#include <cmath>

namespace {

// Clipper works on integers; coordinates are taken relative to the middle of both rows and
// scaled so that the largest one stays within the range of its fast arithmetic (2^30). The
// rounding to that grid moves a point by about 1e-9 of the rows' size.
constexpr double kGridHalfWidth = 536870912.0; // 2^29

struct CGrid {
    double cx = 0.0;
    double cy = 0.0;
    double scale = 1.0;
};

CGrid GridFor(const CSplineSampleRow& a, const CSplineSampleRow& b) {
    double minX = a.S[0].x;
    double maxX = minX;
    double minY = a.S[0].y;
    double maxY = minY;
    for (const CSplineSampleRow* row : {&a, &b})
        for (const FPoint& p : row->S) {
            minX = std::min(minX, static_cast<double>(p.x));
            maxX = std::max(maxX, static_cast<double>(p.x));
            minY = std::min(minY, static_cast<double>(p.y));
            maxY = std::max(maxY, static_cast<double>(p.y));
        }
    CGrid grid;
    grid.cx = 0.5 * minX + 0.5 * maxX;
    grid.cy = 0.5 * minY + 0.5 * maxY;
    const double half = std::max(0.5 * maxX - 0.5 * minX, 0.5 * maxY - 0.5 * minY);
    grid.scale = half > 0.0 ? kGridHalfWidth / half : 1.0;
    return grid;
}

// The nearest grid line; the values lie within +-2^29.
ClipperLib::cInt OnGrid(double v) {
    return static_cast<ClipperLib::cInt>(v < 0.0 ? v - 0.5 : v + 0.5);
}

ClipperLib::Path PathOf(const CSplineSampleRow& row, const CGrid& grid) {
    ClipperLib::Path path;
    path.reserve(row.S.size());
    for (const FPoint& p : row.S)
        path.emplace_back(OnGrid((p.x - grid.cx) * grid.scale),
                          OnGrid((p.y - grid.cy) * grid.scale));
    return path;
}

} // namespace

std::optional<double> PolygonAreaBetween(const CSplineSampleRow& a, const CSplineSampleRow& b) {
    const CGrid grid = GridFor(a, b);
    try {
        ClipperLib::Clipper clipper;
        // A path that encloses nothing (all points on one line) is refused and counts as empty.
        clipper.AddPath(PathOf(a, grid), ClipperLib::ptSubject, true);
        clipper.AddPath(PathOf(b, grid), ClipperLib::ptClip, true);
        ClipperLib::Paths difference;
        if (!clipper.Execute(ClipperLib::ctXor, difference, ClipperLib::pftEvenOdd,
                             ClipperLib::pftEvenOdd))
            return std::nullopt;
        // Outer rings have a positive area, holes a negative one.
        double area = 0.0;
        for (const ClipperLib::Path& ring : difference)
            area += ClipperLib::Area(ring);
        return std::fabs(area) / (grid.scale * grid.scale);
    } catch (const ClipperLib::clipperException&) {
        return std::nullopt;
    }
}
