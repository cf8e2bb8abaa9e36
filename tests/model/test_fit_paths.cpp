// The sparse least-squares fit against the plain single-precision pseudo-inverse fit, on
// hundreds of seeded outlines from ordinary valves to tiny and degenerate ones, and the
// cluster measures and tables built on them.
#include "cluster/cluster_comparison.h"
#include "cluster/cluster_member_fit.h"
#include "cluster/cluster_parameter.h"
#include "cluster/size_normalization.h"
#include "cluster/spline_areas.h"
#include "model/approx_specimen.h"
#include "model/bspline.h"
#include "model/half_design.h"
#include "model/quadratic_basis.h"
#include "model/specimen.h"
#include "support/outline_shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

namespace {

// An egg-shaped outline, jittered and rounded to pixels like a digitised valve; every fifth one
// repeats each point `repeat` times, which makes many chord parameters coincide.
std::unique_ptr<CSpecimen> Outline(std::mt19937& rng, int count, int repeat) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::normal_distribution<double> jitter(0.0, 0.6);
    const double a = 200.0 + 600.0 * u(rng);
    const double b = a * (0.3 + 0.4 * u(rng));
    const double skew = 0.15 * u(rng);
    auto specimen = std::make_unique<CSpecimen>();
    for (const FPoint& p : shapes::Ellipse(a, b, 30.0 * u(rng), 600, 400, count, 360.0 * u(rng))) {
        const double x = p.x - 600.0;
        const double y = (p.y - 400.0) * (1.0 + skew * x / a);
        for (int r = 0; r < repeat; ++r)
            specimen->Contour.emplace_back(static_cast<float>(std::lround(600 + x + jitter(rng))),
                                           static_cast<float>(std::lround(400 + y + jitter(rng))));
    }
    specimen->NormalizeOrientation();
    specimen->CalculateStatistics();
    return specimen;
}

float Size(const CSpecimen& s) {
    FRect box;
    s.GetBoundingBox(box);
    return std::max(box.Width(), box.Height());
}

struct FitCase {
    int points;
    int repeat;
    int g;
    int iterations;
    int outlines;
};

class FitPaths : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitPaths, SparseAndPseudoInverseFitsAgree) {
    const FitCase c = GetParam();
    std::mt19937 rng(static_cast<unsigned>(c.points * 131 + c.g * 7 + c.repeat));
    for (int n = 0; n < c.outlines; ++n) {
        const auto specimen = Outline(rng, c.points, c.repeat);
        CApproxSpecimen fast;
        CApproxSpecimen plain;
        for (CApproxSpecimen* a : {&fast, &plain}) {
            a->ControlPointsCnt = c.g;
            a->ParamIterCount = c.iterations;
        }
        plain.Solver = CFitSolver::PseudoInverse;
        std::string fastError;
        std::string plainError;
        const bool fastOk = fast.Fit(*specimen, fastError);
        ASSERT_EQ(fastOk, plain.Fit(*specimen, plainError)) << n << fastError << plainError;
        if (!fastOk)
            continue;
        const float tolerance = 1e-4f * Size(*specimen);
        for (int i = 0; i <= c.g; ++i) {
            for (auto curve : {&CApproxSpecimen::ApproxLower, &CApproxSpecimen::ApproxUpper}) {
                const FPoint d = (fast.*curve).ControlPoints[i] - (plain.*curve).ControlPoints[i];
                ASSERT_LE(d.Length(), tolerance)
                    << "outline " << n << " point " << i << " off " << d.Length();
            }
        }
        EXPECT_NEAR(fast.MaxDiffOben, plain.MaxDiffOben, tolerance) << n;
        EXPECT_NEAR(fast.MaxDiffUnten, plain.MaxDiffUnten, tolerance) << n;
        EXPECT_NEAR(fast.MeanDiffOben, plain.MeanDiffOben, tolerance) << n;
        EXPECT_NEAR(fast.MeanDiffUnten, plain.MeanDiffUnten, tolerance) << n;
    }
}

// 400 points as digitised; 2g + 2, just enough; fewer points than unknowns (the pseudo-inverse's
// minimum-norm answer); repeated points; the largest control-point count.
INSTANTIATE_TEST_SUITE_P(Outlines, FitPaths,
                         ::testing::Values(FitCase{400, 1, 8, 6, 60}, FitCase{400, 1, 8, 0, 60},
                                           FitCase{120, 1, 3, 6, 60}, FitCase{18, 1, 8, 6, 60},
                                           FitCase{10, 1, 8, 6, 60}, FitCase{12, 1, 8, 0, 60},
                                           FitCase{40, 4, 8, 6, 60}, FitCase{9, 3, 8, 2, 60},
                                           FitCase{300, 1, 30, 6, 8}, FitCase{50, 1, 30, 6, 30}));

// Cluster measures of members fitted both ways, and the tables spread over the cores against
// one pair at a time.
TEST(FitPathsCluster, MeasuresAndTablesAgree) {
    std::mt19937 rng(5);
    std::vector<std::unique_ptr<CSpecimen>> specimens;
    std::vector<const CSpecimen*> list;
    for (int i = 0; i < 40; ++i) {
        specimens.push_back(Outline(rng, i % 7 == 0 ? 25 : 300, 1));
        list.push_back(specimens.back().get());
    }
    const CClusterParameter parameter;
    std::vector<CClusterMemberFit> fast = FitClusterMembers(list, parameter, 2);
    const std::vector<CClusterMemberFit> single = FitClusterMembers(list, parameter, 1);
    std::vector<std::unique_ptr<CApproxSpecimen>> plain;
    std::vector<const CApproxSpecimen*> members;
    for (std::size_t i = 0; i < list.size(); ++i) {
        ASSERT_TRUE(fast[i].approximation && single[i].approximation);
        EXPECT_EQ(fast[i].approximation->ApproxUpper.ControlPoints,
                  single[i].approximation->ApproxUpper.ControlPoints);
        members.push_back(fast[i].approximation.get());
        std::string error;
        plain.push_back(MakeClusterApproximation(parameter));
        plain.back()->Solver = CFitSolver::PseudoInverse;
        ASSERT_TRUE(plain.back()->Fit(*list[i], error));
        ASSERT_TRUE(NormalizeClusterApproximation(*plain.back(), *list[i], 2, error));
    }
    // Area normalisation brings every outline to about 1000 units; deltas are held to 1e-4 of
    // that. The areas are piecewise: a crossing that lies on a sector bound may be found or
    // missed depending on the last bit of a sample, so a few comparisons may jump; the n.c.
    // decisions must all agree, and nearly all values closely.
    int areaJumps = 0;
    for (std::size_t i = 1; i < members.size(); ++i) {
        CClusterData a;
        CClusterData b;
        ComputeClusterData(*members[i], *members[0], a);
        ComputeClusterData(*plain[i], *plain[0], b);
        EXPECT_NEAR(a.MeanDeltaQuadrat, b.MeanDeltaQuadrat, 0.1f) << i;
        EXPECT_NEAR(a.MaxDelta, b.MaxDelta, 0.2f) << i;
        EXPECT_EQ(a.Areatotal < 0.0f, b.Areatotal < 0.0f) << i;
        EXPECT_EQ(a.Areadorsal < 0.0f, b.Areadorsal < 0.0f) << i;
        for (const auto& [x, y] :
             {std::pair{a.Areadorsal, b.Areadorsal}, {a.Areaventral, b.Areaventral}})
            if (std::fabs(x - y) > 0.1f + 1e-3f * std::fabs(y))
                ++areaJumps;
    }
    EXPECT_LE(areaJumps, 2);
    const std::size_t n = members.size();
    const std::vector<float> dorsal = PairwiseSideAreas(members, CSplineSide::Dorsal);
    const std::vector<float> ventral = PairwiseSideAreas(members, CSplineSide::Ventral);
    const std::vector<float> rms = PairwiseRmsMatrix(members, 8);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) {
            const float d =
                i == j ? 0.0f
                       : DorsalAreaBetween(*members[std::min(i, j)], *members[std::max(i, j)]);
            const float v =
                i == j ? 0.0f
                       : VentralAreaBetween(*members[std::min(i, j)], *members[std::max(i, j)]);
            ASSERT_EQ(dorsal[i * n + j], d) << i << ' ' << j;
            ASSERT_EQ(ventral[i * n + j], v) << i << ' ' << j;
            CClusterData data;
            ComputeClusterData(*members[j], *members[i], data);
            ASSERT_NEAR(rms[i * n + j], data.MeanDeltaQuadrat, 1e-3f) << i << ' ' << j;
        }
}

// The basis with its knots and denominators formed once, on knots, a float step either side of
// them and inside the spans, against CBSpline's own formulas: values, slopes and the curve
// point and tangent must agree bit for bit.
TEST(FitPathsBasis, MatchesCBSplineBitForBit) {
    const auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    std::mt19937 rng(17);
    for (const int n : {2, 3, 7, 8, 29, 30}) {
        CBSpline curve;
        std::uniform_real_distribution<float> coordinate(-500.0f, 500.0f);
        for (int i = 0; i <= n; ++i)
            curve.ControlPoints.emplace_back(coordinate(rng), coordinate(rng));
        const CQuadraticBasis basis(n);
        std::vector<float> params = {0.0f, 1.0f, -0.0f};
        for (int i = 2; i <= n + 1; ++i) {
            const float knot = CBSpline::Knot(2, n, i);
            for (const float t : {knot, std::nextafter(knot, 0.0f), std::nextafter(knot, 1.0f)})
                params.push_back(t);
        }
        std::uniform_real_distribution<float> inside(0.0f, 1.0f);
        for (int i = 0; i < 300; ++i)
            params.push_back(inside(rng));
        for (const float t : params) {
            CQuadraticBasis::Active values;
            CQuadraticBasis::Active slopes;
            basis.Values(t, values);
            basis.Derivatives(t, slopes);
            ASSERT_EQ(values.first, slopes.first);
            for (int c = 0; c <= n; ++c) {
                const int i = c - values.first;
                const bool active = i >= 0 && i < values.count;
                ASSERT_TRUE(same(active ? values.value[i] : 0.0f, curve.Basis(c, t)))
                    << n << ' ' << t;
                ASSERT_TRUE(same(active ? slopes.value[i] : 0.0f, curve.BasisDerivative(c, t)))
                    << n << ' ' << t;
            }
            // The fast path's products with reciprocals: same pieces, within a few ulps.
            CQuadraticBasis::Active fastValues;
            CQuadraticBasis::Active fastSlopes;
            basis.ValuesAndSlopes(t, fastValues, fastSlopes);
            ASSERT_EQ(fastValues.first, values.first);
            ASSERT_EQ(fastValues.count, values.count);
            ASSERT_EQ(fastSlopes.count, slopes.count);
            for (int i = 0; i < values.count; ++i) {
                EXPECT_NEAR(fastValues.value[i], values.value[i], 1e-6f) << n << ' ' << t;
                EXPECT_NEAR(fastSlopes.value[i], slopes.value[i], 1e-5f * n) << n << ' ' << t;
            }
            const FPoint p = CQuadraticBasis::Sum(values, curve.ControlPoints);
            const FPoint d = CQuadraticBasis::Sum(slopes, curve.ControlPoints);
            const FPoint q = curve.Evaluate(t);
            const FPoint e = curve.EvaluateDerivative(t);
            ASSERT_TRUE(same(p.x, q.x) && same(p.y, q.y) && same(d.x, e.x) && same(d.y, e.y))
                << n << ' ' << t;
        }
    }
}

// The rows of one half in runs of one knot span, evaluated and corrected several points at a
// time, against the per-point basis (held to CBSpline above) and the Newton step written out:
// every value, curve point and corrected parameter bit for bit. The parameters hit the ends,
// the knots and a float step either side of them, repeat, and run backwards in places.
TEST(FitPathsBasis, RunsMatchPerPointBitForBit) {
    const auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    std::mt19937 rng(23);
    std::uniform_real_distribution<float> coordinate(-500.0f, 500.0f);
    std::uniform_real_distribution<float> inside(0.0f, 1.0f);
    for (const int n : {3, 8, 30}) {
        const CQuadraticBasis basis(n);
        std::vector<float> t = {0.0f};
        for (int i = 0; i < 200; ++i)
            t.push_back(inside(rng));
        std::sort(t.begin(), t.end());
        for (int i = 3; i <= n; ++i) {
            const float knot = CBSpline::Knot(2, n, i);
            for (const float u : {knot, std::nextafter(knot, 0.0f), std::nextafter(knot, 1.0f)})
                t.push_back(u);
        }
        for (int i = 0; i < 40; ++i)
            t.push_back(t[static_cast<std::size_t>(i) * 3]);
        t.push_back(1.0f);
        std::vector<FPoint> points;
        std::vector<FPoint> controlPoints;
        for (std::size_t k = 0; k < t.size(); ++k)
            points.emplace_back(coordinate(rng), coordinate(rng));
        for (int i = 0; i <= n; ++i)
            controlPoints.emplace_back(coordinate(rng), coordinate(rng));

        CHalfDesign design(points);
        design.Evaluate(basis, t);
        std::vector<FPoint> curve;
        design.CurvePoints(controlPoints, curve);
        std::vector<float> corrected = t;
        design.CorrectParameters(controlPoints, corrected);
        std::size_t next = 0;
        for (const CHalfDesign::Run& run : design.Runs()) {
            ASSERT_EQ(run.begin, next);
            ASSERT_LT(run.begin, run.end);
            next = run.end;
            for (std::size_t k = run.begin; k < run.end; ++k) {
                CQuadraticBasis::Active values;
                CQuadraticBasis::Active slopes;
                basis.ValuesAndSlopes(t[k], values, slopes);
                if (run.first >= 0) {
                    ASSERT_EQ(values.first, run.first) << n << ' ' << t[k];
                    ASSERT_EQ(values.count, 3);
                    for (int i = 0; i < 3; ++i)
                        ASSERT_TRUE(same(design.Value(i, k), values.value[i])) << n << ' ' << t[k];
                }
                const FPoint c = CQuadraticBasis::Sum(values, controlPoints);
                const FPoint d = CQuadraticBasis::Sum(slopes, controlPoints);
                ASSERT_TRUE(same(curve[k].x, c.x) && same(curve[k].y, c.y)) << n << ' ' << t[k];
                float u = t[k] + ((points[k] - c) * d) / (d * d);
                u = k == 0 ? 0.0f : k + 1 == t.size() ? 1.0f : std::clamp(u, 0.0f, 1.0f);
                ASSERT_TRUE(same(corrected[k], u)) << n << ' ' << t[k];
            }
        }
        EXPECT_EQ(next, t.size());
    }
}

} // namespace
