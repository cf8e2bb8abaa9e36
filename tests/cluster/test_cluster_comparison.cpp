#include "cluster/cluster_comparison.h"
#include "cluster/cluster_data.h"
#include "cluster/cluster_test_support.h"
#include "cluster/spline_areas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace cluster_test;

constexpr float kSmallestNormal = 1.17549435e-38f;

const CApproxSpecimen kReference = EllipseApprox(1000, 600);

CClusterData Compare(const CApproxSpecimen& member, const CApproxSpecimen& reference = kReference) {
    CClusterData data;
    ComputeClusterData(member, reference, data);
    return data;
}

TEST(ClusterData, OneVentralPointOffByThreeFour) {
    CApproxSpecimen member = kReference;
    member.ApproxLower.ControlPoints[3] = member.ApproxLower.ControlPoints[3] + FPoint(3.0f, 4.0f);
    const CClusterData d = Compare(member);
    EXPECT_FLOAT_EQ(d.MaxDelta, 5.0f);
    EXPECT_FLOAT_EQ(d.SumDelta, 5.0f);
    EXPECT_FLOAT_EQ(d.MeanDelta, 5.0f / 16.0f);
    EXPECT_FLOAT_EQ(d.SumDeltaQuadrat, 25.0f);
    EXPECT_FLOAT_EQ(d.MeanDeltaQuadrat, 1.25f);
    ASSERT_EQ(d.DeltaVectorsLower.size(), 9u);
    ASSERT_EQ(d.DeltaVectorsUpper.size(), 9u);
    for (size_t i = 0; i < 9; ++i) {
        // The moved point is rounded once when moved and once when subtracted.
        EXPECT_NEAR(d.DeltaVectorsLower[i].x, i == 3 ? 3.0f : 0.0f, 1e-4f);
        EXPECT_NEAR(d.DeltaVectorsLower[i].y, i == 3 ? 4.0f : 0.0f, 1e-4f);
        EXPECT_EQ(d.DeltaVectorsUpper[i], FPoint());
    }
}

TEST(ClusterData, ReferenceAgainstItself) {
    const CClusterData d = Compare(kReference);
    EXPECT_EQ(d.MeanDelta, 0.0f);
    EXPECT_EQ(d.SumDelta, 0.0f);
    EXPECT_EQ(d.SumDeltaQuadrat, 0.0f);
    EXPECT_EQ(d.MeanDeltaQuadrat, 0.0f);
    EXPECT_EQ(d.MaxDelta, kSmallestNormal);
    EXPECT_EQ(d.DeltaVectorsLower, std::vector<FPoint>(9));
    EXPECT_EQ(d.DeltaVectorsUpper, std::vector<FPoint>(9));
    EXPECT_NEAR(d.Areadorsal, 0.0f, 1e-3f);
    EXPECT_NEAR(d.Areaventral, 0.0f, 1e-3f);
    EXPECT_NEAR(d.Areatotal, 0.0f, 2e-3f);
}

// The last point of each curve is the other curve's first: it counts only in the maximum and
// in the vectors.
TEST(ClusterData, LastPointsCountOnlyInTheMaximum) {
    CApproxSpecimen member = kReference;
    member.ApproxUpper.ControlPoints[8] = member.ApproxUpper.ControlPoints[8] + FPoint(6.0f, 8.0f);
    const CClusterData d = Compare(member);
    EXPECT_FLOAT_EQ(d.MaxDelta, 10.0f);
    EXPECT_EQ(d.SumDelta, 0.0f);
    EXPECT_EQ(d.MeanDelta, 0.0f);
    EXPECT_EQ(d.SumDeltaQuadrat, 0.0f);
    EXPECT_EQ(d.MeanDeltaQuadrat, 0.0f);
    EXPECT_EQ(d.DeltaVectorsUpper[8], FPoint(6.0f, 8.0f));
}

// Independent double-precision sums over the 16 distinct points.
TEST(ClusterData, MeasuresAgreeWithDoublePrecision) {
    CApproxSpecimen member = kReference;
    for (int i = 0; i <= 8; ++i) {
        member.ApproxUpper.ControlPoints[i] =
            member.ApproxUpper.ControlPoints[i] +
            FPoint(std::sin(1.3f * i) * 7.0f, std::cos(0.7f * i) * 5.0f);
        member.ApproxLower.ControlPoints[i] =
            member.ApproxLower.ControlPoints[i] +
            FPoint(std::cos(2.1f * i) * 3.0f, std::sin(0.4f * i) * 9.0f);
    }
    double sum = 0.0, squares = 0.0, maximum = 0.0;
    for (const auto& [m, r] : {std::pair{&member.ApproxLower, &kReference.ApproxLower},
                               std::pair{&member.ApproxUpper, &kReference.ApproxUpper}})
        for (int i = 0; i <= 8; ++i) {
            const double dx = static_cast<double>(m->ControlPoints[i].x) - r->ControlPoints[i].x;
            const double dy = static_cast<double>(m->ControlPoints[i].y) - r->ControlPoints[i].y;
            const double len = std::hypot(dx, dy);
            maximum = std::max(maximum, len);
            if (i < 8) {
                sum += len;
                squares += len * len;
            }
        }
    const CClusterData d = Compare(member);
    // Coordinates near 1000 carry about 6e-5 of rounding; sums of 16 terms stay within 1e-3.
    EXPECT_NEAR(d.SumDelta, sum, 1e-3);
    EXPECT_NEAR(d.MeanDelta, sum / 16.0, 1e-4);
    EXPECT_NEAR(d.MaxDelta, maximum, 1e-4);
    EXPECT_NEAR(d.SumDeltaQuadrat, squares, squares * 1e-5);
    EXPECT_NEAR(d.MeanDeltaQuadrat, std::sqrt(squares / 16.0), 1e-4);
}

// Areas take the reference's curves as the first curve; a copy scaled by 1.1 is computable on
// both sides and the total is their sum.
TEST(ClusterData, AreasAgainstTheReference) {
    CApproxSpecimen member = kReference;
    for (CBSpline* c : {&member.ApproxUpper, &member.ApproxLower})
        for (FPoint& p : c->ControlPoints)
            p = 1.1f * p;
    const CClusterData d = Compare(member);
    EXPECT_EQ(d.Areadorsal, DorsalAreaBetween(kReference, member));
    EXPECT_EQ(d.Areaventral, VentralAreaBetween(kReference, member));
    EXPECT_GT(d.Areadorsal, 0.0f);
    EXPECT_EQ(d.Areatotal, d.Areadorsal + d.Areaventral);

    member.ApproxUpper.ControlPoints[4].y = std::numeric_limits<float>::quiet_NaN();
    const CClusterData broken = Compare(member);
    EXPECT_FLOAT_EQ(broken.Areadorsal, kSideAreaNotComputable);
    EXPECT_GT(broken.Areaventral, 0.0f);
    EXPECT_EQ(broken.Areatotal, kTotalAreaNotComputable);
}

// Only indices present in both are read; nothing to average gives 0.
TEST(ClusterData, MismatchedAndEmptyApproximations) {
    const CApproxSpecimen shorter = EllipseApprox(1000, 600, 5);
    const CClusterData d = Compare(shorter);
    EXPECT_EQ(d.DeltaVectorsUpper.size(), 6u);
    EXPECT_EQ(d.DeltaVectorsLower.size(), 6u);
    EXPECT_TRUE(std::isfinite(d.MeanDelta));

    const CClusterData e = Compare(CApproxSpecimen());
    EXPECT_TRUE(e.DeltaVectorsUpper.empty());
    EXPECT_EQ(e.MeanDelta, 0.0f);
    EXPECT_EQ(e.MeanDeltaQuadrat, 0.0f);
    EXPECT_EQ(e.MaxDelta, kSmallestNormal);
    EXPECT_EQ(e.Areatotal, kTotalAreaNotComputable);

    CApproxSpecimen withNan = kReference;
    withNan.ApproxLower.ControlPoints[2].x = std::numeric_limits<float>::quiet_NaN();
    const CClusterData n = Compare(withNan);
    EXPECT_TRUE(std::isnan(n.SumDelta));
    EXPECT_LT(n.Areatotal, 0.0f);
}

// Replaces earlier values: the vectors are not appended to.
TEST(ClusterData, RecomputationReplacesThePreviousResult) {
    CClusterData data;
    ComputeClusterData(kReference, kReference, data);
    ComputeClusterData(kReference, kReference, data);
    EXPECT_EQ(data.DeltaVectorsUpper.size(), 9u);
    EXPECT_EQ(data.DeltaVectorsLower.size(), 9u);
}

// --- pairwise root mean square ------------------------------------------------------------------

TEST(PairwiseRms, SymmetricZeroDiagonalAndEqualToMeanDeltaQuadrat) {
    const CApproxSpecimen a = kReference, b = EllipseApprox(980, 640), c = EllipseApprox(1010, 555);
    const std::vector<const CApproxSpecimen*> list = {&a, &b, &c};
    const std::vector<float> m = PairwiseRmsMatrix(list, 8);
    ASSERT_EQ(m.size(), 9u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m[i * 3 + i], 0.0f);
        for (size_t j = 0; j < 3; ++j) {
            EXPECT_EQ(m[i * 3 + j], m[j * 3 + i]);
            // Different summation orders of the same 32 squares.
            const float rms = Compare(*list[j], *list[i]).MeanDeltaQuadrat;
            EXPECT_NEAR(m[i * 3 + j], rms, rms * 1e-5f) << i << "," << j;
        }
    }
    EXPECT_GT(m[1], 10.0f);
}

TEST(PairwiseRms, OneRecordAndDegenerateInput) {
    const std::vector<float> one = PairwiseRmsMatrix({&kReference}, 8);
    EXPECT_EQ(one, std::vector<float>{0.0f});
    EXPECT_TRUE(PairwiseRmsMatrix({}, 8).empty());
    // n = 0 has nothing to average.
    const CApproxSpecimen b = EllipseApprox(900, 500);
    EXPECT_EQ(PairwiseRmsMatrix({&kReference, &b}, 0), std::vector<float>(4, 0.0f));
    // Too few points, too large an n or a missing approximation read only what exists.
    const CApproxSpecimen few = EllipseApprox(1000, 600, 3);
    const std::vector<float> m = PairwiseRmsMatrix({&kReference, &few, nullptr}, 30);
    ASSERT_EQ(m.size(), 9u);
    for (float v : m)
        EXPECT_TRUE(std::isfinite(v));
}

// The last index of each curve (n) is not read.
TEST(PairwiseRms, ReadsIndicesBelowN) {
    CApproxSpecimen b = kReference;
    b.ApproxUpper.ControlPoints[8].x += 50.0f;
    EXPECT_EQ(PairwiseRmsMatrix({&kReference, &b}, 8), std::vector<float>(4, 0.0f));
    b.ApproxLower.ControlPoints[7] = b.ApproxLower.ControlPoints[7] + FPoint(0.0f, 16.0f);
    const std::vector<float> m = PairwiseRmsMatrix({&kReference, &b}, 8);
    EXPECT_NEAR(m[1], std::sqrt(256.0 / 16.0), 1e-3);
}

} // namespace
