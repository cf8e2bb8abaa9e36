#include "cluster/area_reference.h"
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
#include <utility>

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

// --- crossings at and near sample points ---------------------------------------------------

// The curve sheared along the horizontal line through a point P on it (x moves by 0.05 of the
// height above that line) crosses it at P and keeps its ends on the axis. With P at a sample,
// the crossing lands on a bound between two sectors of both curves; with P a little along the
// curve from a sample, next to one, where rounding decides which of the two segments meets it.
struct PivotCase {
    int sample;
    float along; // how far towards the next sample, as a share of the segment
};

class SplineAreaCrossingAtSample : public ::testing::TestWithParam<PivotCase> {};

TEST_P(SplineAreaCrossingAtSample, IsFoundOnce) {
    const PivotCase c = GetParam();
    const CApproxSpecimen bulged = CrossingBulges();
    for (bool dorsal : {true, false}) {
        // Sample k of a side lies at parameter k * 0.02, read backwards on the dorsal side.
        const int step = dorsal ? 50 - c.sample : c.sample;
        const CBSpline& curve = dorsal ? bulged.ApproxUpper : bulged.ApproxLower;
        const FPoint s0 = curve.Evaluate(static_cast<float>(step) * 0.02f);
        const FPoint s1 = curve.Evaluate(static_cast<float>(step + (dorsal ? -1 : 1)) * 0.02f);
        const FPoint pivot = s0 + c.along * (s1 - s0);
        CApproxSpecimen sheared = bulged;
        for (CBSpline* shearedCurve : {&sheared.ApproxUpper, &sheared.ApproxLower})
            for (FPoint& p : shearedCurve->ControlPoints)
                p.x += 0.05f * (p.y - pivot.y);
        const double expected = area_reference::SideArea(bulged, sheared, dorsal);
        const CSplineSide side = dorsal ? CSplineSide::Dorsal : CSplineSide::Ventral;
        EXPECT_NEAR(SideAreaBetween(bulged, sheared, side, CAreaMethod::SectorWalk), expected,
                    expected * kWalkTolerance)
            << (dorsal ? "dorsal" : "ventral");
        EXPECT_NEAR(SideAreaBetween(sheared, bulged, side, CAreaMethod::SectorWalk), expected,
                    expected * kWalkTolerance)
            << (dorsal ? "dorsal" : "ventral");
    }
}

INSTANTIATE_TEST_SUITE_P(Pivots, SplineAreaCrossingAtSample,
                         ::testing::Values(PivotCase{10, 0.0f}, PivotCase{19, 0.0f},
                                           PivotCase{31, 0.0f}, PivotCase{40, 0.0f},
                                           PivotCase{19, 1e-6f}, PivotCase{19, 1e-4f},
                                           PivotCase{12, 0.5f}, PivotCase{31, 0.999999f}));

// A copy 0.1 % larger runs parallel to the curve everywhere, about 0.3 to 0.6 units away: farther
// than the tolerance for coincident segments (0.0002 of the left end's distance from the origin,
// 0.2 here), so the curves do not touch and the area is the whole strip between them.
TEST_P(SplineAreaSide, NearlyCoincidentCopyEnclosesTheWholeStrip) {
    const bool dorsal = GetParam();
    const CApproxSpecimen outer = Scaled(kEllipse, 1.001f);
    const double expected = area_reference::SideArea(kEllipse, outer, dorsal);
    EXPECT_NEAR(Side(kEllipse, outer, dorsal), expected, expected * 1e-4);
    EXPECT_NEAR(Side(outer, kEllipse, dorsal), expected, expected * 1e-4);
}

// --- folded and broken curves --------------------------------------------------------------

struct ShapeCase {
    const char* name;
    CApproxSpecimen approx;
};

// Finite curves of some length that a ray from the origin meets more than once or below the
// axis: the sector walk does not apply, polygon clipping does.
std::vector<ShapeCase> FoldedCases() {
    std::vector<ShapeCase> cases;
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
    // A hook: the dorsal margin leans back over itself near the right end.
    cases.push_back(
        {"Hook",
         MakeApprox(
             {{1000, 0}, {1100, 500}, {400, 700}, {900, 900}, {-200, 800}, {-700, 500}, {-1000, 0}},
             {{-1000, 0}, {-700, -500}, {0, -600}, {700, -500}, {1000, 0}})});
    return cases;
}

class SplineAreaFolded : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(SplineAreaFolded, IsMeasuredByClippingInEitherPosition) {
    const CApproxSpecimen& folded = GetParam().approx;
    for (bool dorsal : {true, false}) {
        const CSplineSide side = dorsal ? CSplineSide::Dorsal : CSplineSide::Ventral;
        const double expected = area_reference::SideArea(folded, kEllipse, dorsal);
        for (const auto& [a, b] : {std::pair{&folded, &kEllipse}, std::pair{&kEllipse, &folded}}) {
            EXPECT_NEAR(SideAreaBetween(*a, *b, side), expected, expected * kWalkTolerance)
                << (dorsal ? "dorsal" : "ventral");
            EXPECT_EQ(SideAreaBetween(*a, *b, side, CAreaMethod::Polygons),
                      SideAreaBetween(*a, *b, side));
        }
    }
    EXPECT_FLOAT_EQ(SideAreaBetween(folded, kEllipse, CSplineSide::Dorsal, CAreaMethod::SectorWalk),
                    kSideAreaNotComputable);
    EXPECT_NEAR(TotalAreaBetween(folded, kEllipse),
                DorsalAreaBetween(folded, kEllipse) + VentralAreaBetween(folded, kEllipse), 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Shapes, SplineAreaFolded, ::testing::ValuesIn(FoldedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Curves that are missing, shrunk to a point or not finite.
std::vector<ShapeCase> BrokenCases() {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    std::vector<ShapeCase> cases;
    cases.push_back({"Empty", CApproxSpecimen()});
    CApproxSpecimen withNan = kEllipse;
    withNan.ApproxUpper.ControlPoints[3] = {nan, nan};
    withNan.ApproxLower.ControlPoints[5] = {1.0f, nan};
    cases.push_back({"NotANumber", withNan});
    CApproxSpecimen withInf = kEllipse;
    withInf.ApproxUpper.ControlPoints[2].x = inf;
    withInf.ApproxLower.ControlPoints[6].y = -inf;
    cases.push_back({"Infinite", withInf});
    cases.push_back({"SinglePoint", MakeApprox({{5, 5}}, {{5, 5}})});
    cases.push_back({"OnePlace", MakeApprox({{5, 5}, {5, 5}, {5, 5}}, {{5, 5}, {5, 5}, {5, 5}})});
    return cases;
}

class SplineAreaBroken : public ::testing::TestWithParam<ShapeCase> {};

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
    CApproxSpecimen broken = kEllipse;
    broken.ApproxLower.ControlPoints[4].y = std::numeric_limits<float>::quiet_NaN();
    const CApproxSpecimen outer = Scaled(kEllipse, 1.1f);
    EXPECT_GT(DorsalAreaBetween(broken, outer), 0.0f);
    EXPECT_FLOAT_EQ(VentralAreaBetween(broken, outer), kSideAreaNotComputable);
    EXPECT_EQ(TotalAreaBetween(broken, outer), kTotalAreaNotComputable);
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
        // Its ventral side is not computable.
        dip_.ApproxLower.ControlPoints[4].y = std::numeric_limits<float>::quiet_NaN();
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
                if (i != j) {
                    EXPECT_EQ(At(*table, i, j) >= 0.0f, SideAreaComputable(*list_[i], side) &&
                                                             SideAreaComputable(*list_[j], side))
                        << i << "," << j;
                }
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

// Pair by pair, in one walk a side, the sampler gives the tables' entries bit for bit: over
// valves whose curves cross in several places, the not computable ones, and a valve whose dorsal
// and ventral curves do not share their left end.
TEST_F(SplineAreaTables, SamplerGivesTheTableEntriesBitForBit) {
    std::vector<CApproxSpecimen> valves;
    for (int k = 0; k < 24; ++k)
        valves.push_back(EllipseApprox(950.0 + 9 * k, 520.0 + 13 * (k % 7), 8, [k](int i) {
            return 1.0 + 0.05 * std::sin(1.7 * i + 0.9 * k);
        }));
    CApproxSpecimen unshared = CrossingBulges();
    unshared.ApproxLower.ControlPoints[0].x -= 37.0f;
    valves.push_back(unshared);
    std::vector<const CApproxSpecimen*> list = list_;
    for (const CApproxSpecimen& v : valves)
        list.push_back(&v);
    const std::vector<float> dorsal = PairwiseSideAreas(list, CSplineSide::Dorsal);
    const std::vector<float> ventral = PairwiseSideAreas(list, CSplineSide::Ventral);
    const std::vector<float> total = PairwiseTotalAreas(list);
    const CPairwiseAreaSampler sampler(list);
    ASSERT_EQ(sampler.Count(), list.size());
    const auto storage = CPairwiseAreaSampler::NewStorage();
    const size_t n = list.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j) {
            const CPairAreas p = sampler.Pair(i, j, *storage);
            EXPECT_EQ(p.dorsal, dorsal[i * n + j]) << i << "," << j;
            EXPECT_EQ(p.ventral, ventral[i * n + j]) << i << "," << j;
            EXPECT_EQ(p.total, total[i * n + j]) << i << "," << j;
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
