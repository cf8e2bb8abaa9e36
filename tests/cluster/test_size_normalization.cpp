#include "cluster/cluster_parameter.h"
#include "cluster/cluster_test_support.h"
#include "cluster/size_normalization.h"
#include "model/specimen.h"
#include "support/outline_shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using namespace cluster_test;

// An approximation with m2 = (left, 0) and m1 = (right, 0) and irregular inner points.
CApproxSpecimen Outline(float left, float right) {
    const float w = right - left;
    return MakeApprox({{right, 0.0f},
                       {left + 0.8f * w, 0.3f * w},
                       {left + 0.45f * w, 0.41f * w},
                       {left + 0.1f * w, 0.2f * w},
                       {left, 0.0f}},
                      {{left, 0.0f},
                       {left + 0.2f * w, -0.25f * w},
                       {left + 0.55f * w, -0.37f * w},
                       {left + 0.9f * w, -0.15f * w},
                       {right, 0.0f}});
}

CSpecimen& WithContour(CSpecimen& s, std::vector<FPoint> contour) {
    s.Contour = std::move(contour);
    return s;
}

void ExpectSamePoints(const CApproxSpecimen& a, const CApproxSpecimen& b) {
    EXPECT_EQ(a.ApproxUpper.ControlPoints, b.ApproxUpper.ControlPoints);
    EXPECT_EQ(a.ApproxLower.ControlPoints, b.ApproxLower.ControlPoints);
}

TEST(ClusterApproximation, TakesTheClusterSettingsAndDrawsOnlyTheCurves) {
    CClusterParameter p;
    p.ControlPointsCnt = 12;
    p.ApplyParamIteration = false;
    p.ParamIterCount = 3;
    p.SpecimenColor = RGB(10, 20, 30);
    const std::unique_ptr<CApproxSpecimen> a = MakeClusterApproximation(p);
    EXPECT_EQ(a->ControlPointsCnt, 12);
    EXPECT_FALSE(a->ApplyParamIteration);
    EXPECT_EQ(a->ParamIterCount, 3);
    EXPECT_FALSE(a->DrawError);
    EXPECT_FALSE(a->MarkMaxError);
    EXPECT_FALSE(a->DrawIndex);
    for (const CBSpline* c : {&a->ApproxUpper, &a->ApproxLower}) {
        EXPECT_FALSE(c->DrawControlPoints);
        EXPECT_FALSE(c->DrawControlPolygon);
        EXPECT_TRUE(c->DrawSpline);
        EXPECT_EQ(c->ColorSpline, RGB(10, 20, 30));
        EXPECT_TRUE(c->ControlPoints.empty());
    }
}

// --- m1-m2 ----------------------------------------------------------------------------------

struct OuterCase {
    float left, right;
};

class OuterPointNormalisation : public ::testing::TestWithParam<OuterCase> {};

// m2 goes to -1000 and m1 to +1000; every point follows x' = (x - mid) * 2000 / length and
// y' = y * 2000 / length (expected values in double; 1e-3 is about 16 float steps at 1000).
TEST_P(OuterPointNormalisation, PutsTheOuterPointsAtPlusMinusThousand) {
    const auto [left, right] = GetParam();
    const CApproxSpecimen before = Outline(left, right);
    CApproxSpecimen a = before;
    std::string error;
    ASSERT_TRUE(NormalizeClusterApproximation(a, CSpecimen(), 1, error)) << error;
    const double mid = (static_cast<double>(left) + right) / 2.0;
    const double factor = 2000.0 / (static_cast<double>(right) - left);
    for (const auto& [b, c] : {std::pair{&before.ApproxUpper, &a.ApproxUpper},
                               std::pair{&before.ApproxLower, &a.ApproxLower}})
        for (size_t i = 0; i < c->ControlPoints.size(); ++i) {
            EXPECT_NEAR(c->ControlPoints[i].x, (b->ControlPoints[i].x - mid) * factor, 1e-3);
            EXPECT_NEAR(c->ControlPoints[i].y, b->ControlPoints[i].y * factor, 1e-3);
        }
    EXPECT_NEAR(a.ApproxLower.ControlPoints.front().x, -1000.0f, 1e-3f);
    EXPECT_NEAR(a.ApproxUpper.ControlPoints.back().x, -1000.0f, 1e-3f);
    EXPECT_NEAR(a.ApproxUpper.ControlPoints.front().x, 1000.0f, 1e-3f);
    EXPECT_NEAR(a.ApproxLower.ControlPoints.back().x, 1000.0f, 1e-3f);
}

INSTANTIATE_TEST_SUITE_P(Sizes, OuterPointNormalisation,
                         ::testing::Values(OuterCase{-1.0f, 1.5f}, OuterCase{-250.5f, 310.25f},
                                           OuterCase{-0.01f, 0.013f}, OuterCase{-4000.0f, 3500.0f},
                                           OuterCase{20.0f, 70.0f}));

// Equal x (or a not-a-number x) leaves the factor undefined.
TEST(OuterPointNormalisation, RefusesAnUndefinedFactor) {
    for (float m1x : {-10.0f, std::numeric_limits<float>::quiet_NaN()}) {
        CApproxSpecimen a = Outline(-10.0f, 30.0f);
        a.ApproxLower.ControlPoints.back().x = m1x;
        const CApproxSpecimen before = a;
        std::string error;
        EXPECT_FALSE(NormalizeClusterApproximation(a, CSpecimen(), 1, error));
        EXPECT_EQ(a.ApproxUpper.ControlPoints, before.ApproxUpper.ControlPoints);
        EXPECT_EQ(a.ApproxLower.ControlPoints.front(), before.ApproxLower.ControlPoints.front());
        if (m1x == -10.0f)
            EXPECT_NE(error.find("m1 and m2"), std::string::npos) << error;
        else
            EXPECT_FALSE(error.empty());
    }
}

// --- area -----------------------------------------------------------------------------------

struct AreaCase {
    const char* name;
    double height; // of a 50-wide rectangle away from the origin
    bool clockwise;
    double expectedK; // 1000 / sqrt(truncated area)
};

class AreaNormalisation : public ::testing::TestWithParam<AreaCase> {};

TEST_P(AreaNormalisation, ScalesByThousandOverRootOfTheTruncatedArea) {
    const AreaCase& c = GetParam();
    const float h = static_cast<float>(20.0 + c.height);
    std::vector<FPoint> contour = {{10.0f, 20.0f}, {60.0f, 20.0f}, {60.0f, h}, {10.0f, h}};
    if (c.clockwise)
        contour = {contour[3], contour[2], contour[1], contour[0]};
    CSpecimen s;
    const CApproxSpecimen before = Outline(-7.0f, 9.0f);
    CApproxSpecimen a = before;
    std::string error;
    ASSERT_TRUE(NormalizeClusterApproximation(a, WithContour(s, contour), 2, error)) << error;
    for (size_t i = 0; i < a.ApproxUpper.ControlPoints.size(); ++i) {
        const FPoint b = before.ApproxUpper.ControlPoints[i];
        EXPECT_NEAR(a.ApproxUpper.ControlPoints[i].x, c.expectedK * b.x, 1e-6 * c.expectedK * 10);
        EXPECT_NEAR(a.ApproxUpper.ControlPoints[i].y, c.expectedK * b.y, 1e-6 * c.expectedK * 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Rectangles, AreaNormalisation,
                         ::testing::Values(AreaCase{"A2500point2", 50.004, false, 20.0},
                                           AreaCase{"A2500point9", 50.018, false, 20.0},
                                           AreaCase{"ClockwiseA2500point9", 50.018, true, 20.0},
                                           AreaCase{"A2501point5", 50.03, false,
                                                    1000.0 / std::sqrt(2501.0)},
                                           AreaCase{"A1point5", 0.03, false, 1000.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AreaNormalisation, RefusesAnAreaBelowOneNamingTheSpecimen) {
    CSpecimen s;
    s.ShortPathName = "tiny.tps (4)";
    WithContour(s, {{0, 0}, {1.0f, 0}, {1.0f, 0.9f}, {0, 0.9f}});
    CApproxSpecimen a = Outline(-3.0f, 4.0f);
    const CApproxSpecimen before = a;
    std::string error;
    EXPECT_FALSE(NormalizeClusterApproximation(a, s, 2, error));
    EXPECT_NE(error.find("area"), std::string::npos) << error;
    EXPECT_EQ(error.rfind("The specimen \"tiny.tps (4)\" cannot be normalised: ", 0), 0u) << error;
    ExpectSamePoints(a, before);
}

// --- centroid size --------------------------------------------------------------------------

// The mean squared distance of all outline points from the area centroid, in double.
double MeanSquaredCentroidDistance(const std::vector<FPoint>& contour) {
    const shapes::PolygonMoments m = shapes::Moments(contour);
    double sum = 0.0;
    for (const FPoint& p : contour)
        sum += (p.x - m.cx) * (p.x - m.cx) + (p.y - m.cy) * (p.y - m.cy);
    return sum / static_cast<double>(contour.size());
}

TEST(CentroidSizeNormalisation, ScalesByThousandOverCentroidSize) {
    for (const auto& contour : {std::vector<FPoint>{{4, 6}, {6, 6}, {6, 8}, {4, 8}},
                                shapes::Ellipse(300, 120, 17, 520, 410, 400)}) {
        CSpecimen s;
        WithContour(s, contour);
        const double k = 1000.0 / std::sqrt(MeanSquaredCentroidDistance(contour));
        const CApproxSpecimen before = Outline(-5.0f, 6.0f);
        CApproxSpecimen a = before;
        std::string error;
        ASSERT_TRUE(NormalizeClusterApproximation(a, s, 3, error)) << error;
        for (size_t i = 0; i < a.ApproxLower.ControlPoints.size(); ++i) {
            const FPoint b = before.ApproxLower.ControlPoints[i];
            // The float sums of the distances agree with double to about 1e-5.
            EXPECT_NEAR(a.ApproxLower.ControlPoints[i].x, k * b.x, std::fabs(k * b.x) * 1e-5);
            EXPECT_NEAR(a.ApproxLower.ControlPoints[i].y, k * b.y, std::fabs(k * b.y) * 1e-5);
        }
    }
}

TEST(CentroidSizeNormalisation, RefusesAZeroCentroidSize) {
    for (const auto& contour :
         {std::vector<FPoint>{}, std::vector<FPoint>{{3, 3}, {3, 3}, {3, 3}}}) {
        CSpecimen s;
        WithContour(s, contour);
        CApproxSpecimen a = Outline(-3.0f, 4.0f);
        const CApproxSpecimen before = a;
        std::string error;
        EXPECT_FALSE(NormalizeClusterApproximation(a, s, 3, error));
        EXPECT_FALSE(error.empty());
        ExpectSamePoints(a, before);
    }
}

// --- every mode -----------------------------------------------------------------------------

class AnyMode : public ::testing::TestWithParam<int> {};

TEST_P(AnyMode, RefusesAnApproximationWithoutControlPointsAndLeavesItAlone) {
    CSpecimen s;
    WithContour(s, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    CApproxSpecimen empty;
    std::string error;
    EXPECT_FALSE(NormalizeClusterApproximation(empty, s, GetParam(), error));
    EXPECT_NE(error.find("no control points"), std::string::npos) << error;
    EXPECT_TRUE(empty.ApproxUpper.ControlPoints.empty());

    CApproxSpecimen mismatched = Outline(-3.0f, 4.0f);
    mismatched.ControlPointsCnt = 8;
    const CApproxSpecimen before = mismatched;
    error.clear();
    EXPECT_FALSE(NormalizeClusterApproximation(mismatched, s, GetParam(), error));
    EXPECT_FALSE(error.empty());
    ExpectSamePoints(mismatched, before);
}

INSTANTIATE_TEST_SUITE_P(Modes, AnyMode, ::testing::Values(0, 1, 2, 3));

TEST(NoNormalisation, KeepsThePointsAndUnknownModesAreRefused) {
    CSpecimen s;
    WithContour(s, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    const CApproxSpecimen before = Outline(-3.0f, 4.0f);
    CApproxSpecimen a = before;
    std::string error;
    EXPECT_TRUE(NormalizeClusterApproximation(a, s, 0, error));
    ExpectSamePoints(a, before);
    for (int mode : {-1, 4, 1000}) {
        EXPECT_FALSE(NormalizeClusterApproximation(a, s, mode, error));
        ExpectSamePoints(a, before);
    }
}

// A fitted member normalised by m1-m2 has the same shape whatever the specimen's size.
TEST(OuterPointNormalisation, FittedMembersOfAnySizeCoincide) {
    auto normalised = [](double size) {
        CSpecimen s;
        // Started off the axis: a point exactly on it would fall to either side by rounding.
        s.Contour = shapes::Ellipse(3.0 * size, 1.4 * size, 0, 0, 0, 300, 0.6);
        s.NormalizeOrientation();
        s.CalculateStatistics();
        std::unique_ptr<CApproxSpecimen> a = MakeClusterApproximation(CClusterParameter());
        std::string error;
        EXPECT_TRUE(a->Fit(s, error)) << error;
        EXPECT_TRUE(NormalizeClusterApproximation(*a, s, 1, error)) << error;
        return *a;
    };
    const CApproxSpecimen small = normalised(0.5), large = normalised(400.0);
    ASSERT_EQ(small.ApproxUpper.ControlPoints.size(), 9u);
    EXPECT_NEAR(small.ApproxLower.ControlPoints[0].x, -1000.0f, 1e-3f);
    EXPECT_NEAR(large.ApproxLower.ControlPoints[8].x, 1000.0f, 1e-3f);
    for (size_t i = 0; i < 9; ++i) {
        // Float fits of outlines 800 times apart agree to a few parts in 1e5.
        EXPECT_NEAR(small.ApproxUpper.ControlPoints[i].x, large.ApproxUpper.ControlPoints[i].x,
                    0.05);
        EXPECT_NEAR(small.ApproxUpper.ControlPoints[i].y, large.ApproxUpper.ControlPoints[i].y,
                    0.05);
    }
}

} // namespace
