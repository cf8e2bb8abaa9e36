#include "cluster/spline_sample_row.h"

#include "model/approx_specimen.h"

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
    if (row.shape != CRowShape::StarShaped)
        return row;
    // Rounded from the exact quotient, the ratios keep the order of the rays; ratios that the
    // rounding makes equal come from rays that are the same to sixteen digits.
    row.ray[0] = -std::numeric_limits<double>::infinity();
    row.ray[kLastSample] = std::numeric_limits<double>::infinity();
    for (int k = 1; k < kLastSample; ++k)
        row.ray[k] = static_cast<double>(row.S[k].x) / row.S[k].y;
    for (int k = 0; k < kLastSample; ++k)
        row.line[k] = LineThrough(row.S[k], row.S[k + 1]);
    return row;
}
