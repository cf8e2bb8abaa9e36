#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class CApproxSpecimen;

// Areas between the corresponding curves of two cluster approximations in normal position,
// times 0.001. Both curves are sampled at 51 parameters and read from the left end over the
// upper half-plane (the ventral curve mirrored); the area is that of the symmetric difference
// of the regions each sampled curve encloses with the axis, so bulges in opposite directions
// add up. Where every ray from the origin (or from another point of the axis) meets both
// sampled curves once, a walk through the angular sectors measures it; other curves go to
// polygon clipping. A side is not computable
// when a curve is missing (fewer than three control points), shrunk to a point or not finite.
inline constexpr int kSplineAreaSamples = 51;
// The factor from squared coordinate units to the reported areas.
inline constexpr float kSplineAreaScale = 0.001f;
// Results of a side or pair that is not computable: about -100, and -1000 for a total.
inline constexpr float kSideAreaNotComputable = -100000.0f * kSplineAreaScale;
inline constexpr float kTotalAreaNotComputable = -1000.0f;

enum class CSplineSide { Dorsal, Ventral };

// How a side's area is measured: the sector walk where it applies and polygon clipping
// elsewhere, or one of the two alone (not computable where the walk does not apply), so that
// the two can be held against each other.
enum class CAreaMethod { Automatic, SectorWalk, Polygons };

float DorsalAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second);
float VentralAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second);
float SideAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second, CSplineSide side,
                      CAreaMethod method = CAreaMethod::Automatic);
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
// Both sides of a pair summed before the final scaling (the ventral pieces added one by one
// onto the dorsal area); kSideAreaNotComputable when either side is not computable.
std::vector<float> PairwiseTotalAreas(const std::vector<const CApproxSpecimen*>& approximations);

// The three tables at once, each pair's sides measured once; the same values as the three
// functions above.
struct CPairwiseAreaTables {
    std::vector<float> dorsal;
    std::vector<float> ventral;
    std::vector<float> total;
};
CPairwiseAreaTables PairwiseAreaTables(const std::vector<const CApproxSpecimen*>& approximations);

// The three area tables' entries for one pair, row record first.
struct CPairAreas {
    float dorsal = kSideAreaNotComputable;
    float ventral = kSideAreaNotComputable;
    float total = kSideAreaNotComputable;
};

// The sampled curves of many approximations, made once, from which the entries of the three
// pairwise area tables are computed pair by pair in any order: Pair(i, j) is what the tables
// above hold at (i, j) and (j, i). For callers that cannot hold N x N tables (the batch tool
// writes them row by row).
class CPairwiseAreaSampler {
public:
    // Working storage of one thread, reused from pair to pair.
    struct CStorage;

    explicit CPairwiseAreaSampler(const std::vector<const CApproxSpecimen*>& approximations);
    ~CPairwiseAreaSampler();
    CPairwiseAreaSampler(const CPairwiseAreaSampler&) = delete;
    CPairwiseAreaSampler& operator=(const CPairwiseAreaSampler&) = delete;

    std::size_t Count() const;
    static std::unique_ptr<CStorage, void (*)(CStorage*)> NewStorage();
    CPairAreas Pair(std::size_t i, std::size_t j, CStorage& storage) const;

private:
    struct CRows;
    std::unique_ptr<CRows> rows_;
};
