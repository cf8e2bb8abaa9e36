#pragma once

#include <cstddef>
#include <memory>
#include <vector>

struct FPoint;

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

// The three area tables' entries for one pair, row record first.
struct CPairAreas {
    float dorsal = 0.0f;
    float ventral = 0.0f;
    float total = 0.0f;
};

// The sampled curves of many approximations, made once, from which the entries of the three
// pairwise area tables are computed pair by pair in any order: Pair(i, j) for i < j is what
// PairwiseSideAreas and PairwiseTotalAreas store at (i, j) and at (j, i). For callers that
// cannot hold N x N tables (the batch tool writes them row by row).
class CPairwiseAreaSampler {
public:
    explicit CPairwiseAreaSampler(const std::vector<const CApproxSpecimen*>& approximations);
    ~CPairwiseAreaSampler();
    CPairwiseAreaSampler(const CPairwiseAreaSampler&) = delete;
    CPairwiseAreaSampler& operator=(const CPairwiseAreaSampler&) = delete;

    std::size_t Count() const;
    // `polygon` is working storage, reused from call to call.
    CPairAreas Pair(std::size_t i, std::size_t j, std::vector<FPoint>& polygon) const;

private:
    struct CRows;
    std::unique_ptr<CRows> rows_;
};
