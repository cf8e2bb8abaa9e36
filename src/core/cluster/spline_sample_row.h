#pragma once

#include "cluster/spline_areas.h"
#include "model/fpoint.h"

#include <array>

class CApproxSpecimen;

inline constexpr int kLastSample = kSplineAreaSamples - 1;

// The line a*x + b*y + c = 0 through a segment, with (a, b) of unit length, in double precision.
struct CWalkLine {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
};

// How the area against a sample row can be computed.
enum class CRowShape {
    // Every ray from the origin into the upper half-plane meets the samples once, in order: the
    // sector walk applies.
    StarShaped,
    // Finite and of some length, but folded as seen from the origin (or below the axis): only
    // the polygon of the row and the axis is well defined.
    Folded,
    // Fewer than three control points, all in one place, or samples that are not finite:
    // nothing can be computed.
    Degenerate,
};

// One curve sampled from the left end over the upper half-plane to the right end: the dorsal
// curve read backwards, the ventral curve mirrored.
struct CSplineSampleRow {
    std::array<FPoint, kSplineAreaSamples> S{};
    // The cotangent of each sample's direction, with the ends at -1000 and +1000.
    std::array<float, kSplineAreaSamples> Q{};
    // Of a star-shaped row: the cotangents in double, with the ends at -infinity and +infinity,
    // which order the rays of the samples of two rows; and the line through each segment.
    std::array<double, kSplineAreaSamples> ray{};
    std::array<CWalkLine, kSplineAreaSamples - 1> line{};
    CRowShape shape = CRowShape::Degenerate;
};

// A missing approximation samples like an empty one, all samples at (0, 0).
CSplineSampleRow SampleSide(const CApproxSpecimen* approx, CSplineSide side);
