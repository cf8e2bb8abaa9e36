#include "cluster/spline_areas.h"

#include "model/approx_specimen.h"
#include "platform/parallel_for.h"

#include <array>
#include <cmath>
#include <optional>

namespace {

constexpr int kLast = kSplineAreaSamples - 1;
constexpr float kParameterStep = 0.02f;
constexpr float kSectorSentinel = 1000.0f;
constexpr float kSearchTolerance = 1e-6f;
constexpr float kParallelThreshold = 1e-4f;
constexpr float kCoincidenceFactor = 0.0002f;
constexpr float kAxisChoiceThreshold = 0.01f;
constexpr float kHorizontalThreshold = 1e-6f;

// The line a*x + b*y + c = 0 through p0 and p0 + direction.
struct CLine {
    float a, b, c;
};

CLine LineThrough(FPoint p0, FPoint direction) {
    const FPoint p1 = p0 + direction;
    return {p0.y - p1.y, p1.x - p0.x, p1.y * p0.x - p1.x * p0.y};
}

FPoint UnitDirection(FPoint from, FPoint to) {
    const FPoint d = to - from;
    const float length = d.Length();
    return {d.x / length, d.y / length};
}

// One curve sampled from the left end over the upper half-plane to the right end, with the
// cotangent of each sample's direction from the origin as the bound of its angular sector.
struct CSampleRow {
    std::array<FPoint, kSplineAreaSamples> S{};
    std::array<float, kSplineAreaSamples> Q{};
    // The line through each segment S[k] -> S[k + 1], worked out once per row.
    std::array<CLine, kSplineAreaSamples - 1> line{};
    bool monotone = false;
};

const CBSpline* CurveOf(const CApproxSpecimen* approx, CSplineSide side) {
    if (approx == nullptr)
        return nullptr;
    return side == CSplineSide::Dorsal ? &approx->ApproxUpper : &approx->ApproxLower;
}

// The dorsal curve runs from m1 to m2 and is read backwards; the ventral curve runs from m2 to
// m1 below the axis and is mirrored. A missing curve evaluates like an empty one, to (0, 0).
CSampleRow Sample(const CApproxSpecimen* approx, CSplineSide side) {
    const CBSpline* curve = CurveOf(approx, side);
    CSampleRow row;
    for (int k = 0; k <= kLast; ++k) {
        if (side == CSplineSide::Dorsal) {
            const float t = static_cast<float>(kLast - k) * kParameterStep;
            row.S[k] = curve ? curve->Evaluate(t) : FPoint();
        } else {
            const float t = static_cast<float>(k) * kParameterStep;
            const FPoint p = curve ? curve->Evaluate(t) : FPoint();
            row.S[k] = {p.x, -p.y};
        }
    }
    row.Q[0] = -kSectorSentinel;
    row.Q[kLast] = kSectorSentinel;
    for (int k = 1; k < kLast; ++k)
        row.Q[k] = row.S[k].x / row.S[k].y;
    // Written so that a not-a-number ratio fails the comparison.
    row.monotone = true;
    for (int k = 1; k < kLast; ++k)
        if (!(row.Q[k] > row.Q[k - 1]))
            row.monotone = false;
    for (int k = 0; k < kLast; ++k)
        row.line[k] = LineThrough(row.S[k], UnitDirection(row.S[k], row.S[k + 1]));
    return row;
}

// Of two coincident segments, the start that lies further along segment A's direction.
FPoint CoincidentCrossing(FPoint a0, FPoint a1, FPoint b0, const CLine& lineA) {
    const bool alongX = std::fabs(lineA.b) > kAxisChoiceThreshold;
    const float r0 = alongX ? a0.x : a0.y;
    const float r1 = alongX ? a1.x : a1.y;
    const float m0 = alongX ? b0.x : b0.y;
    if (r0 < r1)
        return m0 > r0 ? b0 : a0;
    return m0 < r0 ? b0 : a0;
}

struct CSegment {
    FPoint p0, p1; // end points
    float q0, q1;  // sector bounds of the end points
    const CLine& line;
};

// Where segment A meets segment B inside both their sectors, if it does.
std::optional<FPoint> Crossing(const CSegment& sa, const CSegment& sb, float eps) {
    const CLine& lineA = sa.line;
    const CLine& lineB = sb.line;
    const float det = lineA.a * lineB.b - lineB.a * lineA.b;
    if (std::fabs(det) >= kParallelThreshold) {
        const FPoint x{(lineB.c * lineA.b - lineA.c * lineB.b) / det,
                       (lineA.c * lineB.a - lineB.c * lineA.a) / det};
        float r = 0.0f;
        if (std::fabs(x.y) >= kHorizontalThreshold)
            r = x.x / x.y;
        else
            r = x.x < 0.0f ? -kSectorSentinel : kSectorSentinel;
        if (sa.q0 <= r && r <= sa.q1 && sb.q0 <= r && r <= sb.q1)
            return x;
        return std::nullopt;
    }
    // Parallel: a crossing only where the two lines coincide. A not-a-number determinant (a
    // segment of zero length) takes neither branch.
    if (std::fabs(det) < kParallelThreshold && std::fabs(lineA.c - lineB.c) <= eps)
        return CoincidentCrossing(sa.p0, sa.p1, sb.p0, lineA);
    return std::nullopt;
}

// |shoelace| / 2 with the points taken relative to a centre inside the polygon, which keeps
// the float sum small for polygons far from the origin.
float PolygonArea(const std::vector<FPoint>& l) {
    const size_t m = l.size();
    if (m < 3)
        return 0.0f;
    const float cx = (l[0].x + l[m / 2 + 1].x) * 0.5f;
    const float cy = (l[0].y + l[m / 2 + 1].y) * 0.5f;
    float d = 0.0f;
    for (size_t i = 0; i < m; ++i) {
        const FPoint p = l[i];
        const FPoint q = l[(i + 1) % m];
        d += (p.x * q.y - q.x * p.y) + cx * (p.y - q.y) + cy * (q.x - p.x);
    }
    return std::fabs(d) * 0.5f;
}

// Walks the angular sectors of the first curve, finds where the second curve crosses it and
// adds the areas of the polygons enclosed between consecutive crossings.
class CSideAreaWalk {
public:
    // `polygon` is working storage, passed in so that it is allocated once for many walks.
    CSideAreaWalk(const CSampleRow& a, const CSampleRow& b, float eps, std::vector<FPoint>& polygon)
        : a_(a), b_(b), eps_(eps), l_(polygon) {}

    void Run(float& total) {
        l_.clear();
        l_.push_back(b_.S[0]);
        l_.push_back(a_.S[0]);
        for (int p = 0; p < kLast; ++p)
            Sector(p, total);
        CloseLast(total);
    }

private:
    void Sector(int p, float& total) {
        while (f_ < kLast && b_.Q[f_] - a_.Q[p + 1] < -kSearchTolerance)
            ++f_;
        int first = f_ - 1;
        while (first > 0 && b_.Q[first] - a_.Q[p] > kSearchTolerance)
            --first;
        const CSegment sa{a_.S[p], a_.S[p + 1], a_.Q[p], a_.Q[p + 1], a_.line[p]};
        for (int j = first; j <= f_ - 1; ++j) {
            const CSegment sb{b_.S[j], b_.S[j + 1], b_.Q[j], b_.Q[j + 1], b_.line[j]};
            if (const std::optional<FPoint> x = Crossing(sa, sb, eps_))
                ClosePiece(p, j, *x, total);
        }
    }

    // The piece from the previous crossing along A to x and back along B.
    void ClosePiece(int p, int j, FPoint x, float& total) {
        for (int k = s_; k <= p; ++k)
            l_.push_back(a_.S[k]);
        l_.push_back(x);
        for (int k = j; k > g_; --k)
            l_.push_back(b_.S[k]);
        total += PolygonArea(l_);
        l_.clear();
        l_.push_back(x);
        s_ = p + 1;
        g_ = j;
    }

    void CloseLast(float& total) {
        for (int k = s_; k < kLast; ++k)
            l_.push_back(a_.S[k]);
        l_.push_back(a_.S[kLast]);
        l_.push_back(b_.S[kLast]);
        for (int k = kLast - 1; k > g_; --k)
            l_.push_back(b_.S[k]);
        total += PolygonArea(l_);
    }

    const CSampleRow& a_;
    const CSampleRow& b_;
    const float eps_;
    std::vector<FPoint>& l_;
    int f_ = 1; // first sample of B not yet passed
    int s_ = 1; // first sample of A not yet in a polygon
    int g_ = 0; // segment of B at the last crossing
};

// The tolerance for coincident segments grows with the size of the outline at its left end.
float CoincidenceTolerance(const CSampleRow& a, const CSampleRow& b) {
    const float leftmost = a.S[0].x < b.S[0].x ? a.S[0].x : b.S[0].x;
    return std::fabs(leftmost) * kCoincidenceFactor;
}

float ScaledArea(const CSampleRow& a, const CSampleRow& b, std::vector<FPoint>& polygon) {
    float total = 0.0f;
    if (!a.monotone || !b.monotone)
        total = -100000.0f;
    else
        CSideAreaWalk(a, b, CoincidenceTolerance(a, b), polygon).Run(total);
    return total * kSplineAreaScale;
}

float SideArea(const CApproxSpecimen& first, const CApproxSpecimen& second, CSplineSide side) {
    std::vector<FPoint> polygon;
    return ScaledArea(Sample(&first, side), Sample(&second, side), polygon);
}

struct CRecordRows {
    CSampleRow dorsal;
    CSampleRow ventral;
};

std::vector<CRecordRows> SampleAll(const std::vector<const CApproxSpecimen*>& approximations) {
    std::vector<CRecordRows> rows;
    rows.reserve(approximations.size());
    for (const CApproxSpecimen* approx : approximations)
        rows.push_back({Sample(approx, CSplineSide::Dorsal), Sample(approx, CSplineSide::Ventral)});
    return rows;
}

// Both sides into one sum; the ventral walk starts afresh but keeps the dorsal tolerance.
float PairTotal(const CRecordRows& a, const CRecordRows& b, std::vector<FPoint>& polygon) {
    if (!a.dorsal.monotone || !a.ventral.monotone || !b.dorsal.monotone || !b.ventral.monotone)
        return kSideAreaNotComputable;
    const float eps = CoincidenceTolerance(a.dorsal, b.dorsal);
    float total = 0.0f;
    CSideAreaWalk(a.dorsal, b.dorsal, eps, polygon).Run(total);
    CSideAreaWalk(a.ventral, b.ventral, eps, polygon).Run(total);
    return total * kSplineAreaScale;
}

// Each row's pairs with the later records, rows spread over the cores; every pair is computed
// alone, so the table does not depend on the thread count.
template <typename PairValue> std::vector<float> SymmetricTable(size_t count, PairValue value) {
    std::vector<float> table(count * count, 0.0f);
    ParallelFor(count, [&](size_t i) {
        std::vector<FPoint> polygon;
        polygon.reserve(2 * kSplineAreaSamples + 2);
        for (size_t j = i + 1; j < count; ++j) {
            const float v = value(i, j, polygon);
            table[i * count + j] = v;
            table[j * count + i] = v;
        }
    });
    return table;
}

} // namespace

float DorsalAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second) {
    return SideArea(first, second, CSplineSide::Dorsal);
}

float VentralAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second) {
    return SideArea(first, second, CSplineSide::Ventral);
}

float TotalAreaBetween(const CApproxSpecimen& first, const CApproxSpecimen& second) {
    const float dorsal = DorsalAreaBetween(first, second);
    const float ventral = VentralAreaBetween(first, second);
    if (dorsal >= 0.0f && ventral >= 0.0f)
        return dorsal + ventral;
    return kTotalAreaNotComputable;
}

bool SideAreaComputable(const CApproxSpecimen& approximation, CSplineSide side) {
    return Sample(&approximation, side).monotone;
}

std::vector<float> PairwiseSideAreas(const std::vector<const CApproxSpecimen*>& approximations,
                                     CSplineSide side) {
    std::vector<CSampleRow> rows;
    rows.reserve(approximations.size());
    for (const CApproxSpecimen* approx : approximations)
        rows.push_back(Sample(approx, side));
    return SymmetricTable(rows.size(),
                          [&](size_t i, size_t j, std::vector<FPoint>& polygon) {
                              return ScaledArea(rows[i], rows[j], polygon);
                          });
}

std::vector<float> PairwiseTotalAreas(const std::vector<const CApproxSpecimen*>& approximations) {
    const std::vector<CRecordRows> rows = SampleAll(approximations);
    return SymmetricTable(rows.size(),
                          [&](size_t i, size_t j, std::vector<FPoint>& polygon) {
                              return PairTotal(rows[i], rows[j], polygon);
                          });
}
