#include "cluster/spline_sample_row.h"

#include "model/approx_specimen.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kParameterStep = 0.02f;
constexpr float kSectorSentinel = 1000.0f;

const CBSpline* CurveOf(const CApproxSpecimen* approx, CSplineSide side) {
    if (approx == nullptr)
        return nullptr;
    return side == CSplineSide::Dorsal ? &approx->ApproxUpper : &approx->ApproxLower;
}

// Through p0 in the direction of p1, from the float samples in double precision.
CWalkLine LineThrough(FPoint p0, FPoint p1) {
    const double dx = static_cast<double>(p1.x) - p0.x;
    const double dy = static_cast<double>(p1.y) - p0.y;
    const double length = std::hypot(dx, dy);
    const double ux = dx / length;
    const double uy = dy / length;
    return {-uy, ux, p0.x * uy - ux * p0.y};
}

// A quadratic curve needs three control points, and they must not all lie in one place.
bool IsCurve(const CBSpline* curve) {
    if (curve == nullptr || curve->ControlPoints.size() < 3)
        return false;
    for (const FPoint& p : curve->ControlPoints)
        if (!(p == curve->ControlPoints.front()))
            return true;
    return false;
}

CRowShape ShapeOf(const CSplineSampleRow& row, const CBSpline* curve) {
    if (!IsCurve(curve))
        return CRowShape::Degenerate;
    for (const FPoint& p : row.S)
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return CRowShape::Degenerate;
    // Written so that a not-a-number ratio fails the comparison. Strictly rising rounded ratios
    // rise exactly too; the samples above the axis make the order of the ratios that of the rays.
    for (int k = 1; k < kLastSample; ++k)
        if (!(row.Q[k] > row.Q[k - 1]) || !(row.S[k].y > 0.0f))
            return CRowShape::Folded;
    return CRowShape::StarShaped;
}

// The row turns clockwise about a centre (c, 0) when c lies on the inner side of every
// segment's line: each segment bounds c from one side. Inner samples on or below the axis leave
// no centre.
void SetCentres(CSplineSampleRow& row) {
    double from = row.S[0].x;
    double to = row.S[kLastSample].x;
    for (int k = 0; k < kLastSample && from < to; ++k) {
        const double x = row.S[k].x, y = row.S[k].y;
        const double dx = row.S[k + 1].x - x, dy = row.S[k + 1].y - y;
        const double bound = x - dx * y / dy;
        if (k > 0 && !(y > 0.0))
            to = from;
        else if (dy > 0.0)
            from = std::max(from, bound);
        else if (dy < 0.0)
            to = std::min(to, bound);
        else if (!(dx * y > 0.0))
            to = from;
    }
    row.centresFrom = from;
    row.centresTo = to;
}

} // namespace

CSplineSampleRow SampleSide(const CApproxSpecimen* approx, CSplineSide side) {
    const CBSpline* curve = CurveOf(approx, side);
    CSplineSampleRow row;
    for (int k = 0; k <= kLastSample; ++k) {
        if (side == CSplineSide::Dorsal) {
            const float t = static_cast<float>(kLastSample - k) * kParameterStep;
            row.S[k] = curve ? curve->Evaluate(t) : FPoint();
        } else {
            const float t = static_cast<float>(k) * kParameterStep;
            const FPoint p = curve ? curve->Evaluate(t) : FPoint();
            row.S[k] = {p.x, -p.y};
        }
    }
    row.Q[0] = -kSectorSentinel;
    row.Q[kLastSample] = kSectorSentinel;
    for (int k = 1; k < kLastSample; ++k)
        row.Q[k] = row.S[k].x / row.S[k].y;
    row.shape = ShapeOf(row, curve);
    if (row.shape == CRowShape::Degenerate)
        return row;
    for (int k = 0; k < kLastSample; ++k)
        row.line[k] = LineThrough(row.S[k], row.S[k + 1]);
    SetCentres(row);
    // Rounded from the exact quotient, the ratios keep the order of the rays; ratios that the
    // rounding makes equal come from rays that are the same to sixteen digits.
    if (row.shape == CRowShape::StarShaped)
        RaysAbout(row, 0.0, row.ray);
    return row;
}

bool RaysAbout(const CSplineSampleRow& row, double centre, CRays& rays) {
    rays[0] = -std::numeric_limits<double>::infinity();
    rays[kLastSample] = std::numeric_limits<double>::infinity();
    bool rising = row.S[0].x < centre && centre < row.S[kLastSample].x;
    for (int k = 1; k < kLastSample; ++k) {
        rays[k] = (row.S[k].x - centre) / row.S[k].y;
        rising = rising && row.S[k].y > 0.0f && rays[k] > rays[k - 1];
    }
    return rising;
}
