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
    // Finite and of some length, but folded as seen from the origin (or below the axis): the
    // walk applies only about another centre, if there is one; the polygon of the row and the
    // axis is always well defined.
    Folded,
    // Fewer than three control points, all in one place, or samples that are not finite:
    // nothing can be computed.
    Degenerate,
};

// The order of the rays of a row's samples as seen from a centre on the axis between its ends:
// the cotangents (x - centre) / y, with the ends at -infinity and +infinity.
using CRays = std::array<double, kSplineAreaSamples>;

// One curve sampled from the left end over the upper half-plane to the right end: the dorsal
// curve read backwards, the ventral curve mirrored.
struct CSplineSampleRow {
    std::array<FPoint, kSplineAreaSamples> S{};
    // The cotangent of each sample's direction, with the ends at -1000 and +1000.
    std::array<float, kSplineAreaSamples> Q{};
    // Of a star-shaped row, the rays about the origin.
    CRays ray{};
    // Of a row that is not degenerate, the line through each segment, and the centres on the
    // axis from which the row is star-shaped: the open interval (centresFrom, centresTo), empty
    // when centresFrom >= centresTo.
    std::array<CWalkLine, kSplineAreaSamples - 1> line{};
    double centresFrom = 0.0;
    double centresTo = 0.0;
    CRowShape shape = CRowShape::Degenerate;
};

// A missing approximation samples like an empty one, all samples at (0, 0).
CSplineSampleRow SampleSide(const CApproxSpecimen* approx, CSplineSide side);

// The rays of the row about the centre (centre, 0); false unless they rise strictly with every
// inner sample above the axis, as the walk needs.
bool RaysAbout(const CSplineSampleRow& row, double centre, CRays& rays);
