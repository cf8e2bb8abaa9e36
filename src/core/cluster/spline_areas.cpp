#include "cluster/spline_areas.h"

#include "cluster/polygon_area_between.h"
#include "cluster/sector_walk.h"
#include "cluster/spline_sample_row.h"
#include "platform/parallel_for.h"

#include <algorithm>
#include <optional>

namespace {

// Working storage of one thread, allocated once for many pairs.
struct CWalkStorage {
    CWalkStorage() {
        polygon.reserve(2 * kSplineAreaSamples + 2);
        pieces.reserve(kSplineAreaSamples);
    }
    std::vector<CWalkPoint> polygon;
    std::vector<double> pieces;
    CRays raysA{};
    CRays raysB{};
};

bool Computable(const CSplineSampleRow& a, const CSplineSampleRow& b) {
    return a.shape != CRowShape::Degenerate && b.shape != CRowShape::Degenerate;
}

double SumOnto(double start, const std::vector<double>& pieces) {
    for (const double piece : pieces)
        start += piece;
    return start;
}

// The pieces the walk encloses go to storage.pieces. Rows that are both star-shaped about the
// origin are walked about it; otherwise about the middle of the centres both are star-shaped
// about, when there are any. False when there is no such centre.
bool Walk(const CSplineSampleRow& a, const CSplineSampleRow& b, CWalkStorage& storage) {
    storage.pieces.clear();
    if (a.shape == CRowShape::StarShaped && b.shape == CRowShape::StarShaped) {
        CSectorWalk(a, a.ray, b, b.ray, storage.polygon).Run(storage.pieces);
        return true;
    }
    const double from = std::max(a.centresFrom, b.centresFrom);
    const double to = std::min(a.centresTo, b.centresTo);
    const double centre = 0.5 * from + 0.5 * to;
    if (!(from < to) || !RaysAbout(a, centre, storage.raysA) ||
        !RaysAbout(b, centre, storage.raysB))
        return false;
    CSectorWalk(a, storage.raysA, b, storage.raysB, storage.polygon).Run(storage.pieces);
    return true;
}

// The area of one side in squared coordinate units, nothing when it is not computable, and
// whether the walk measured it (its pieces are then in storage).
struct CSideArea {
    std::optional<double> area;
    bool walked = false;
};

CSideArea RawSideArea(const CSplineSampleRow& a, const CSplineSampleRow& b, CAreaMethod method,
                      CWalkStorage& storage) {
    if (!Computable(a, b))
        return {};
    if (method != CAreaMethod::Polygons && Walk(a, b, storage))
        return {SumOnto(0.0, storage.pieces), true};
    if (method == CAreaMethod::SectorWalk)
        return {};
    return {PolygonAreaBetween(a, b), false};
}

float Scaled(std::optional<double> raw) {
    if (!raw)
        return kSideAreaNotComputable;
    return static_cast<float>(*raw * static_cast<double>(kSplineAreaScale));
}

struct CRecordRows {
    CSplineSampleRow dorsal;
    CSplineSampleRow ventral;
};

// Both sides of a pair, each measured once. The total adds the ventral pieces one by one onto
// the dorsal area, in the order the walk closes them.
CPairAreas PairAreas(const CRecordRows& a, const CRecordRows& b, CWalkStorage& storage) {
    const std::optional<double> dorsal =
        RawSideArea(a.dorsal, b.dorsal, CAreaMethod::Automatic, storage).area;
    const CSideArea ventral = RawSideArea(a.ventral, b.ventral, CAreaMethod::Automatic, storage);
    CPairAreas areas;
    areas.dorsal = Scaled(dorsal);
    areas.ventral = Scaled(ventral.area);
    if (dorsal && ventral.area) // clipping gives one piece
        areas.total =
            Scaled(ventral.walked ? SumOnto(*dorsal, storage.pieces) : *dorsal + *ventral.area);
    return areas;
}

std::vector<CRecordRows> SampleAll(const std::vector<const CApproxSpecimen*>& approximations) {
    std::vector<CRecordRows> rows(approximations.size());
    ParallelFor(rows.size(), [&](std::size_t i) {
        rows[i] = {SampleSide(approximations[i], CSplineSide::Dorsal),
                   SampleSide(approximations[i], CSplineSide::Ventral)};
    });
    return rows;
}

// Each row's pairs with the later records, rows spread over the cores; every pair is computed
// alone, so the tables do not depend on the thread count. `pair(i, j, storage)` fills both
// triangles.
template <typename Pair> void ForEachPair(std::size_t count, Pair pair) {
    ParallelFor(count, [&](std::size_t i) {
        CWalkStorage storage;
        for (std::size_t j = i + 1; j < count; ++j)
            pair(i, j, storage);
    });
}

void Store(std::vector<float>& table, std::size_t count, std::size_t i, std::size_t j, float v) {
    table[i * count + j] = v;
    table[j * count + i] = v;
}

} // namespace

float SideAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second, CSplineSide side,
                      CAreaMethod method) {
    CWalkStorage storage;
    return Scaled(
        RawSideArea(SampleSide(&first, side), SampleSide(&second, side), method, storage).area);
}

float DorsalAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second) {
    return SideAreaBetween(first, second, CSplineSide::Dorsal);
}

float VentralAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second) {
    return SideAreaBetween(first, second, CSplineSide::Ventral);
}

float TotalAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second) {
    const float dorsal = DorsalAreaBetween(first, second);
    const float ventral = VentralAreaBetween(first, second);
    if (dorsal >= 0.0f && ventral >= 0.0f)
        return dorsal + ventral;
    return kTotalAreaNotComputable;
}

bool SideAreaComputable(const CApproxSpecimen& approximation, CSplineSide side) {
    return SampleSide(&approximation, side).shape != CRowShape::Degenerate;
}

std::vector<float> PairwiseSideAreas(const std::vector<const CApproxSpecimen*>& approximations,
                                     CSplineSide side) {
    const std::size_t count = approximations.size();
    std::vector<CSplineSampleRow> rows(count);
    ParallelFor(count, [&](std::size_t i) { rows[i] = SampleSide(approximations[i], side); });
    std::vector<float> table(count * count, 0.0f);
    ForEachPair(count, [&](std::size_t i, std::size_t j, CWalkStorage& storage) {
        Store(table, count, i, j,
              Scaled(RawSideArea(rows[i], rows[j], CAreaMethod::Automatic, storage).area));
    });
    return table;
}

std::vector<float> PairwiseTotalAreas(const std::vector<const CApproxSpecimen*>& approximations) {
    const std::size_t count = approximations.size();
    const std::vector<CRecordRows> rows = SampleAll(approximations);
    std::vector<float> table(count * count, 0.0f);
    ForEachPair(count, [&](std::size_t i, std::size_t j, CWalkStorage& storage) {
        Store(table, count, i, j, PairAreas(rows[i], rows[j], storage).total);
    });
    return table;
}

CPairwiseAreaTables PairwiseAreaTables(const std::vector<const CApproxSpecimen*>& approximations) {
    const std::size_t count = approximations.size();
    const std::vector<CRecordRows> rows = SampleAll(approximations);
    CPairwiseAreaTables tables;
    for (std::vector<float>* table : {&tables.dorsal, &tables.ventral, &tables.total})
        table->assign(count * count, 0.0f);
    ForEachPair(count, [&](std::size_t i, std::size_t j, CWalkStorage& storage) {
        const CPairAreas areas = PairAreas(rows[i], rows[j], storage);
        Store(tables.dorsal, count, i, j, areas.dorsal);
        Store(tables.ventral, count, i, j, areas.ventral);
        Store(tables.total, count, i, j, areas.total);
    });
    return tables;
}

struct CPairwiseAreaSampler::CStorage : CWalkStorage {};

struct CPairwiseAreaSampler::CRows {
    std::vector<CRecordRows> records;
};

CPairwiseAreaSampler::CPairwiseAreaSampler(
    const std::vector<const CApproxSpecimen*>& approximations)
    : rows_(std::make_unique<CRows>(CRows{SampleAll(approximations)})) {}

CPairwiseAreaSampler::~CPairwiseAreaSampler() = default;

std::size_t CPairwiseAreaSampler::Count() const {
    return rows_->records.size();
}

std::unique_ptr<CPairwiseAreaSampler::CStorage, void (*)(CPairwiseAreaSampler::CStorage*)>
CPairwiseAreaSampler::NewStorage() {
    return {new CStorage, [](CStorage* storage) { delete storage; }};
}

CPairAreas CPairwiseAreaSampler::Pair(std::size_t i, std::size_t j, CStorage& storage) const {
    return PairAreas(rows_->records[i], rows_->records[j], storage);
}
