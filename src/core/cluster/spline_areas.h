#pragma once

#include <vector>

class CApproxSpecimen;

// Areas between the corresponding curves of two cluster approximations in normal position,
// times 0.001. Both curves are sampled at 51 parameters and read from the left end over the
// upper half-plane (the ventral curve mirrored); where the sampled curves cross, the pieces on
// either side count with their absolute size. A side is not computable when a ray from the
// origin into the upper half-plane does not meet its samples in strictly increasing order.
inline constexpr int kSplineAreaSamples = 51;
// The factor from squared coordinate units to the reported areas.
inline constexpr float kSplineAreaScale = 0.001f;
// Results of a side or pair that is not computable: about -100, and -1000 for a total.
inline constexpr float kSideAreaNotComputable = -100000.0f * kSplineAreaScale;
inline constexpr float kTotalAreaNotComputable = -1000.0f;

enum class CSplineSide { Dorsal, Ventral };

float DorsalAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second);
float VentralAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second);
// Dorsal plus ventral area, or kTotalAreaNotComputable when either side is not computable.
float TotalAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second);

// Whether the areas of that side can be computed between this approximation and any other:
// exactly then the pairwise tables hold a value, not a negative mark, in its row (off the
// diagonal).
bool SideAreaComputable(const CApproxSpecimen& approximation, CSplineSide side);

// N x N row-major tables over a list of approximations (row = first, column = second),
// symmetric with a zero diagonal; each pair is computed once. A null entry counts as an
// approximation without control points (not computable).
std::vector<float> PairwiseSideAreas(const std::vector<const CApproxSpecimen*>& approximations,
                                     CSplineSide side);
// Both sides of a pair summed before the final scaling; kSideAreaNotComputable when any of the
// four sample rows is not computable.
std::vector<float> PairwiseTotalAreas(const std::vector<const CApproxSpecimen*>& approximations);
