#include "cluster/cluster_parameter.h"
#include "cluster/cluster_test_support.h"
#include "cluster/size_normalization.h"
#include "cluster/spline_areas.h"
#include "model/specimen.h"
#include "support/outline_shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace {

using namespace cluster_test;

// The walk rounds every sample, intersection and shoelace term to float: a few hundred
// roundings of about 6e-8 relative each, which stay near 1e-6 of the area as they partly
// cancel. The polar reference integrates the same 51-sample polylines in double with an error
// of order (pi / 200000)^2.
constexpr double kWalkTolerance = 1e-5;

CApproxSpecimen Scaled(const CApproxSpecimen& a, float k) {
    CApproxSpecimen s = a;
    for (CBSpline* curve : {&s.ApproxUpper, &s.ApproxLower})
        for (FPoint& p : curve->ControlPoints)
            p = k * p;
    return s;
}

// The polar reference on the 51 samples the walk uses, scaled like the walk's result.
double Reference51(const CApproxSpecimen& a, const CApproxSpecimen& b, bool dorsal) {
    return 0.001 * PolarAreaBetween(SidePolyline(a, dorsal, 51), SidePolyline(b, dorsal, 51));
}

// Closed shoelace area of a polyline whose ends lie on the x axis: the area under it.
double AreaUnder(const std::vector<DPoint>& line) {
    double sum = 0.0;
    for (size_t i = 0; i < line.size(); ++i) {
        const DPoint p = line[i], q = line[(i + 1) % line.size()];
        sum += p.x * q.y - q.x * p.y;
    }
    return std::fabs(0.5 * sum);
}

const CApproxSpecimen kEllipse = EllipseApprox(1000, 600);

// Left half pushed out by 8 %, right half pulled in: the curves cross near the top.
CApproxSpecimen CrossingBulges() {
    return EllipseApprox(1000, 600, 8, [](int i) { return i < 4 ? 0.92 : (i > 4 ? 1.08 : 1.0); });
}

float Side(const CApproxSpecimen& a, const CApproxSpecimen& b, bool dorsal) {
    return dorsal ? DorsalAreaBetween(a, b) : VentralAreaBetween(a, b);
}

// --- computable areas ------------------------------------------------------------------------

class SplineAreaSide : public ::testing::TestWithParam<bool> {};

// A copy scaled by 1.1 about the origin never crosses: the area between the sampled curves is
// (1.1^2 - 1) times the area under the first.
TEST_P(SplineAreaSide, ScaledCopyEnclosesTheGrowthOfTheAreaUnderTheCurve) {
    const bool dorsal = GetParam();
    const CApproxSpecimen outer = Scaled(kEllipse, 1.1f);
    const double under51 = AreaUnder(SidePolyline(kEllipse, dorsal, 51));
    const double expected = 0.001 * (1.1 * 1.1 - 1.0) * under51;
    EXPECT_NEAR(Side(kEllipse, outer, dorsal), expected, expected * kWalkTolerance);
    EXPECT_NEAR(Side(outer, kEllipse, dorsal), expected, expected * kWalkTolerance);
    // 51 samples of a smooth arc lose about (pi / 50)^2 / 6 < 1e-3 of the area under the curve.
    const double continuous = 0.001 * 0.21 * AreaUnder(SidePolyline(kEllipse, dorsal, 20001));
    EXPECT_NEAR(Side(kEllipse, outer, dorsal), continuous, continuous * 1e-3);
}

// Bulges in opposite directions add up instead of cancelling.
TEST_P(SplineAreaSide, CrossingPiecesCountWithTheirAbsoluteSize) {
    const bool dorsal = GetParam();
    const CApproxSpecimen bulged = CrossingBulges();
    const double expected = Reference51(kEllipse, bulged, dorsal);
    const float area = Side(kEllipse, bulged, dorsal);
    EXPECT_NEAR(area, expected, expected * kWalkTolerance);
    const double net = 0.001 * PolarAreaBetween(SidePolyline(kEllipse, dorsal, 51),
                                                SidePolyline(bulged, dorsal, 51), true);
    EXPECT_GT(area, 10.0 * std::fabs(net));
    EXPECT_NEAR(Side(bulged, kEllipse, dorsal), expected, expected * kWalkTolerance);
}

TEST_P(SplineAreaSide, IdenticalCurvesEncloseNothing) {
    const bool dorsal = GetParam();
    // The area under either curve is about 940 in these units; 1e-3 is a millionth of it.
    EXPECT_NEAR(Side(kEllipse, kEllipse, dorsal), 0.0f, 1e-3f);
    const CApproxSpecimen bulged = CrossingBulges();
    EXPECT_NEAR(Side(bulged, bulged, dorsal), 0.0f, 1e-3f);
}

// The samples depend only on the parameter, not on the number of control points.
TEST_P(SplineAreaSide, CurvesWithDifferentControlPointCountsAreCompared) {
    const bool dorsal = GetParam();
    const CApproxSpecimen fine = EllipseApprox(1050, 560, 12);
    const double expected = Reference51(kEllipse, fine, dorsal);
    EXPECT_NEAR(Side(kEllipse, fine, dorsal), expected, expected * kWalkTolerance);
}

INSTANTIATE_TEST_SUITE_P(BothSides, SplineAreaSide, ::testing::Values(true, false),
                         [](const auto& info) {
                             return std::string(info.param ? "Dorsal" : "Ventral");
                         });

class SplineAreaScaling : public ::testing::TestWithParam<float> {};

// Ratios, unit directions and the coincidence tolerance all scale with the outline. Each line
// is built through p0 and p0 plus a unit step, which keeps about 1e-4 of its direction at
// coordinates near 1000 (the normalised size) but loses precision as coordinates grow, so the
// identity is checked up to a few times that size.
TEST_P(SplineAreaScaling, ScalingBothCurvesScalesTheAreaBySquare) {
    const float k = GetParam();
    const CApproxSpecimen a = kEllipse;
    const CApproxSpecimen b = CrossingBulges();
    const double k2 = static_cast<double>(k) * k;
    for (bool dorsal : {true, false}) {
        const double base = Side(a, b, dorsal);
        EXPECT_NEAR(Side(Scaled(a, k), Scaled(b, k), dorsal), k2 * base, k2 * base * 1e-5)
            << (dorsal ? "dorsal" : "ventral");
    }
}

INSTANTIATE_TEST_SUITE_P(Factors, SplineAreaScaling, ::testing::Values(0.01f, 0.5f, 2.5f));

TEST(SplineAreaTotal, IsTheSumOfBothSides) {
    const CApproxSpecimen bulged = CrossingBulges();
    EXPECT_EQ(TotalAreaBetween(kEllipse, bulged),
              DorsalAreaBetween(kEllipse, bulged) + VentralAreaBetween(kEllipse, bulged));
}

// Two fitted ellipses with the same long axis: the area between the true halves is
// pi * 1000 * (500 - 400) / 2 each.
TEST(SplineAreaTotal, FittedEllipsesMatchTheClosedForm) {
    auto fitted = [](double b) {
        CSpecimen s;
        s.Contour = shapes::Ellipse(1000, b, 0, 0, 0, 720);
        s.NormalizeOrientation();
        s.CalculateStatistics();
        std::unique_ptr<CApproxSpecimen> a = MakeClusterApproximation(CClusterParameter());
        std::string error;
        EXPECT_TRUE(a->Fit(s, error)) << error;
        return *a;
    };
    const CApproxSpecimen inner = fitted(400);
    const CApproxSpecimen outer = fitted(500);
    const double half = 0.001 * std::numbers::pi * 1000.0 * 100.0 / 2.0;
    // Both fits miss their ellipses alike (the ends by about 8 units outward), which changes the
    // area between them by far less than 0.5 %; 51 samples cut each arc by about 1e-3 of the
    // area under it, and the two cuts nearly cancel.
    for (bool dorsal : {true, false}) {
        const float area = Side(inner, outer, dorsal);
        EXPECT_NEAR(area, half, half * 0.005) << (dorsal ? "dorsal" : "ventral");
        const double expected = Reference51(inner, outer, dorsal);
        EXPECT_NEAR(area, expected, expected * kWalkTolerance);
    }
    EXPECT_NEAR(TotalAreaBetween(inner, outer), 2.0 * half, 2.0 * half * 0.005);
}

// --- not computable --------------------------------------------------------------------------

struct BrokenCase {
    const char* name;
    CApproxSpecimen approx;
};

std::vector<BrokenCase> BrokenCases() {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    std::vector<BrokenCase> cases;
    cases.push_back({"Empty", CApproxSpecimen()});
    CApproxSpecimen flat = kEllipse;
    for (CBSpline* c : {&flat.ApproxUpper, &flat.ApproxLower})
        for (FPoint& p : c->ControlPoints)
            p.y = 0.0f;
    cases.push_back({"OnTheAxis", flat});
    CApproxSpecimen dip = kEllipse;
    dip.ApproxUpper.ControlPoints[4].y = -900.0f;
    dip.ApproxLower.ControlPoints[4].y = 900.0f;
    cases.push_back({"DipsBelowTheAxis", dip});
    // Over the top to the left, back to the right and left again: rays meet it three times.
    cases.push_back(
        {"Loop",
         MakeApprox(
             {{1000, 0}, {800, 400}, {-700, 500}, {600, 700}, {-600, 800}, {-900, 300}, {-1000, 0}},
             {{-1000, 0},
              {800, 400},
              {-700, 500},
              {600, 700},
              {-600, 800},
              {-900, 300},
              {1000, 0}})});
    CApproxSpecimen withNan = kEllipse;
    withNan.ApproxUpper.ControlPoints[3] = {nan, nan};
    withNan.ApproxLower.ControlPoints[5] = {1.0f, nan};
    cases.push_back({"NotANumber", withNan});
    CApproxSpecimen withInf = kEllipse;
    withInf.ApproxUpper.ControlPoints[2].x = inf;
    withInf.ApproxLower.ControlPoints[6].y = -inf;
    cases.push_back({"Infinite", withInf});
    cases.push_back({"SinglePoint", MakeApprox({{5, 5}}, {{5, 5}})});
    return cases;
}

class SplineAreaBroken : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(SplineAreaBroken, EitherPositionMakesEverySideNotComputable) {
    const CApproxSpecimen& broken = GetParam().approx;
    for (const auto& [a, b] : {std::pair{&broken, &kEllipse}, std::pair{&kEllipse, &broken}}) {
        EXPECT_FLOAT_EQ(DorsalAreaBetween(*a, *b), kSideAreaNotComputable);
        EXPECT_FLOAT_EQ(VentralAreaBetween(*a, *b), kSideAreaNotComputable);
        EXPECT_EQ(TotalAreaBetween(*a, *b), kTotalAreaNotComputable);
    }
    EXPECT_NEAR(kSideAreaNotComputable, -100.0f, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(Hostile, SplineAreaBroken, ::testing::ValuesIn(BrokenCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SplineAreaBroken, OneBrokenSideLeavesTheOtherComputable) {
    CApproxSpecimen dip = kEllipse;
    dip.ApproxLower.ControlPoints[4].y = 900.0f;
    const CApproxSpecimen outer = Scaled(kEllipse, 1.1f);
    EXPECT_GT(DorsalAreaBetween(dip, outer), 0.0f);
    EXPECT_FLOAT_EQ(VentralAreaBetween(dip, outer), kSideAreaNotComputable);
    EXPECT_EQ(TotalAreaBetween(dip, outer), kTotalAreaNotComputable);
}

// Huge but finite coordinates overflow inside the walk; the result may be anything, but the
// walk must end.
TEST(SplineAreaBroken, HugeCoordinatesDoNotHang) {
    const CApproxSpecimen huge = Scaled(kEllipse, 1e34f);
    (void)TotalAreaBetween(huge, kEllipse);
    (void)TotalAreaBetween(kEllipse, huge);
    SUCCEED();
}

// --- pairwise tables ---------------------------------------------------------------------------

class SplineAreaTables : public ::testing::Test {
protected:
    SplineAreaTables() {
        dip_.ApproxLower.ControlPoints[4].y = 900.0f; // ventral side not computable
        list_ = {&kEllipse, &outer_, &bulged_, &dip_, &empty_};
    }
    float At(const std::vector<float>& t, size_t i, size_t j) const {
        return t[i * list_.size() + j];
    }

    CApproxSpecimen outer_ = Scaled(kEllipse, 1.1f);
    CApproxSpecimen bulged_ = CrossingBulges();
    CApproxSpecimen dip_ = kEllipse;
    CApproxSpecimen empty_;
    std::vector<const CApproxSpecimen*> list_;
};

TEST_F(SplineAreaTables, SideTablesHoldEachPairOnceSymmetricWithZeroDiagonal) {
    for (CSplineSide side : {CSplineSide::Dorsal, CSplineSide::Ventral}) {
        const std::vector<float> table = PairwiseSideAreas(list_, side);
        ASSERT_EQ(table.size(), list_.size() * list_.size());
        for (size_t i = 0; i < list_.size(); ++i) {
            EXPECT_EQ(At(table, i, i), 0.0f);
            for (size_t j = i + 1; j < list_.size(); ++j) {
                const float direct = side == CSplineSide::Dorsal
                                         ? DorsalAreaBetween(*list_[i], *list_[j])
                                         : VentralAreaBetween(*list_[i], *list_[j]);
                EXPECT_EQ(At(table, i, j), direct) << i << "," << j;
                EXPECT_EQ(At(table, j, i), direct) << i << "," << j;
            }
        }
    }
}

TEST_F(SplineAreaTables, NotComputableRecordsMarkTheirRowAndColumn) {
    const std::vector<float> dorsal = PairwiseSideAreas(list_, CSplineSide::Dorsal);
    const std::vector<float> ventral = PairwiseSideAreas(list_, CSplineSide::Ventral);
    const std::vector<float> total = PairwiseTotalAreas(list_);
    for (size_t j = 0; j < 4; ++j) {
        EXPECT_FLOAT_EQ(At(dorsal, 4, j), kSideAreaNotComputable);
        EXPECT_FLOAT_EQ(At(total, j, 4), kSideAreaNotComputable);
        if (j != 3) {
            EXPECT_FLOAT_EQ(At(ventral, 3, j), kSideAreaNotComputable);
            EXPECT_FLOAT_EQ(At(total, 3, j), kSideAreaNotComputable);
            // The dip's dorsal side is intact.
            EXPECT_GE(At(dorsal, 3, j), 0.0f);
        }
    }
    EXPECT_EQ(At(total, 3, 3), 0.0f);
    EXPECT_EQ(At(total, 4, 4), 0.0f);
    // An entry is a value exactly when the per-record test passes for both of its records.
    for (const auto& [side, table] :
         {std::pair{CSplineSide::Dorsal, &dorsal}, std::pair{CSplineSide::Ventral, &ventral}})
        for (size_t i = 0; i < list_.size(); ++i)
            for (size_t j = 0; j < list_.size(); ++j)
                if (i != j)
                    EXPECT_EQ(At(*table, i, j) >= 0.0f, SideAreaComputable(*list_[i], side) &&
                                                             SideAreaComputable(*list_[j], side))
                        << i << "," << j;
}

// Both sides go into one sum before scaling, so the total differs from the sum of the scaled
// sides by a few float roundings only.
TEST_F(SplineAreaTables, TotalTableIsTheSumOfBothSides) {
    const std::vector<float> total = PairwiseTotalAreas(list_);
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 3; ++j) {
            if (i == j)
                continue;
            const double a = i < j ? i : j, b = i < j ? j : i;
            const double sum = static_cast<double>(DorsalAreaBetween(*list_[a], *list_[b])) +
                               VentralAreaBetween(*list_[a], *list_[b]);
            EXPECT_NEAR(At(total, i, j), sum, sum * 1e-5 + 1e-6) << i << "," << j;
        }
}

TEST(SplineAreaTablesSize, EmptyAndSingleLists) {
    EXPECT_TRUE(PairwiseSideAreas({}, CSplineSide::Dorsal).empty());
    EXPECT_TRUE(PairwiseTotalAreas({}).empty());
    EXPECT_EQ(PairwiseTotalAreas({&kEllipse}), std::vector<float>{0.0f});
    EXPECT_EQ(PairwiseSideAreas({&kEllipse}, CSplineSide::Ventral), std::vector<float>{0.0f});
    const std::vector<float> withNull = PairwiseTotalAreas({&kEllipse, nullptr});
    ASSERT_EQ(withNull.size(), 4u);
    EXPECT_FLOAT_EQ(withNull[1], kSideAreaNotComputable);
    EXPECT_FLOAT_EQ(withNull[2], kSideAreaNotComputable);
}

} // namespace
