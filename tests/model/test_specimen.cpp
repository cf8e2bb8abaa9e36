#include "model/specimen.h"
#include "support/outline_shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace {

void Fill(CSpecimen& s, const std::vector<FPoint>& points) {
    s.Contour = points;
}

void Complete(CSpecimen& s, const std::vector<FPoint>& points) {
    s.Contour = points;
    s.NormalizeOrientation();
    s.CalculateStatistics();
}

const std::vector<FPoint> kUnitSquareCcw = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

TEST(SpecimenDefaults, MatchTheDocumentedInitialState) {
    CSpecimen s;
    EXPECT_EQ(s.ScaleFactor, 1.0f);
    EXPECT_FALSE(s.ScaleSpecified);
    EXPECT_TRUE(s.GetApplyTransformation());
    EXPECT_TRUE(s.LineJoined);
    EXPECT_FALSE(s.NumeratePoints);
    EXPECT_EQ(s.NumerationStep, 60);
    EXPECT_EQ(s.ColorContur, 0u);
    EXPECT_TRUE(s.PathName.empty() && s.ShortPathName.empty() && s.SpecimenName.empty());
    EXPECT_EQ(s.Centroid, FPoint());
    EXPECT_EQ(s.FirstEigenvect, FPoint());
    EXPECT_EQ(s.SecondEigenvect, FPoint());
}

TEST(SpecimenArea, IsTheClosedPolygonAreaWhereverTheOutlineLies) {
    CSpecimen s;
    Fill(s, kUnitSquareCcw);
    EXPECT_FLOAT_EQ(s.GetArea(), 1.0f);
    // The same square moved to (1,1): the open sum would give 1.5.
    Fill(s, {{1, 1}, {2, 1}, {2, 2}, {1, 2}});
    EXPECT_FLOAT_EQ(s.GetArea(), 1.0f);
    Fill(s, {{0, 1}, {1, 1}, {1, 0}, {0, 0}});
    EXPECT_FLOAT_EQ(s.GetArea(), -1.0f);
    EXPECT_FALSE(s.IsCounterClockwise());
}

TEST(SpecimenArea, AgreesWithDoublePrecisionOnAnEllipse) {
    CSpecimen s;
    Fill(s, shapes::Ellipse(300, 120, 17, 520, 410, 400));
    const double expected = shapes::Moments(s.Contour).area;
    EXPECT_NEAR(s.GetArea(), expected, expected * 1e-4);
}

TEST(SpecimenOrientation, ClockwiseIsReversedCounterClockwiseKept) {
    CSpecimen cw;
    Complete(cw, {{0, 0}, {0, 1}, {1, 1}, {1, 0}});
    const std::vector<FPoint> reversed = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};
    EXPECT_EQ(cw.Contour, reversed);

    CSpecimen ccw;
    Complete(ccw, kUnitSquareCcw);
    EXPECT_EQ(ccw.Contour, kUnitSquareCcw);
}

TEST(SpecimenStatistics, SquareHasCentreAndCoordinateAxes) {
    CSpecimen s;
    Complete(s, {{0, 0}, {0, 1}, {1, 1}, {1, 0}});
    EXPECT_FLOAT_EQ(s.Centroid.x, 0.5f);
    EXPECT_FLOAT_EQ(s.Centroid.y, 0.5f);
    EXPECT_EQ(s.FirstEigenvect, FPoint(1.0f, 0.0f));
    EXPECT_EQ(s.SecondEigenvect, FPoint(0.0f, 1.0f));
}

TEST(SpecimenStatistics, CentroidAgreesWithDoublePrecision) {
    CSpecimen s;
    Complete(s, shapes::Ellipse(250, 90, 40, 700, -150, 300, 33));
    const shapes::PolygonMoments m = shapes::Moments(s.Contour);
    EXPECT_NEAR(s.Centroid.x, m.cx, 0.05);
    EXPECT_NEAR(s.Centroid.y, m.cy, 0.05);
}

struct TiltCase {
    double ellipseAngle;
    double expectedAxisAngle;
};

class SpecimenTiltedEllipse : public ::testing::TestWithParam<TiltCase> {};

// The first axis is the principal axis nearest to the x axis: the long axis of an ellipse
// tilted by 30 degrees, but the short one (at -30 degrees) when it is tilted by 60.
TEST_P(SpecimenTiltedEllipse, FirstAxisIsThePrincipalAxisNearestToX) {
    const TiltCase c = GetParam();
    CSpecimen s;
    Complete(s, shapes::Ellipse(3.0, 1.0, c.ellipseAngle, 10.0, -4.0, 720));
    const double rad = c.expectedAxisAngle * std::numbers::pi / 180.0;
    EXPECT_NEAR(s.FirstEigenvect.x, std::cos(rad), 1e-4);
    EXPECT_NEAR(s.FirstEigenvect.y, std::sin(rad), 1e-4);
    EXPECT_GE(s.FirstEigenvect.x, 0.0f);
    EXPECT_FLOAT_EQ(s.SecondEigenvect.x, -s.FirstEigenvect.y);
    EXPECT_FLOAT_EQ(s.SecondEigenvect.y, s.FirstEigenvect.x);
    EXPECT_NEAR(s.FirstEigenvect.Length(), 1.0, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Angles, SpecimenTiltedEllipse,
                         ::testing::Values(TiltCase{30, 30}, TiltCase{60, -30}, TiltCase{-30, -30},
                                           TiltCase{150, -30}, TiltCase{120, 30},
                                           TiltCase{10, 10}));

TEST(SpecimenNormalPosition, CentroidAndAxesBecomeTheCoordinateSystem) {
    CSpecimen s;
    Complete(s, shapes::Ellipse(400, 150, 25, 900, 600, 360));
    const FPoint c = s.GetTransformedCentroid();
    EXPECT_NEAR(c.x, 0.0, 1e-3);
    EXPECT_NEAR(c.y, 0.0, 1e-3);
    FPoint e1, e2;
    s.GetTransformedAxes(e1, e2);
    EXPECT_NEAR(e1.x, 1.0, 1e-6);
    EXPECT_NEAR(e1.y, 0.0, 1e-6);
    EXPECT_NEAR(e2.x, 0.0, 1e-6);
    EXPECT_NEAR(e2.y, 1.0, 1e-6);
    // The end of the long axis lies on the x axis at distance a.
    const FPoint tip = s.TransformPoint(
        FPoint(900.0f + 400.0f * std::cos(25.0f * std::numbers::pi_v<float> / 180.0f),
               600.0f + 400.0f * std::sin(25.0f * std::numbers::pi_v<float> / 180.0f)),
        false);
    EXPECT_NEAR(std::fabs(tip.x), 400.0, 0.1);
    EXPECT_NEAR(tip.y, 0.0, 0.1);
}

TEST(SpecimenNormalPosition, SwitchedOffLeavesPointsAsTheyAre) {
    CSpecimen s;
    Complete(s, shapes::Ellipse(40, 15, 20, 100, 50, 120));
    s.SetApplyTransformation(false);
    const FPoint p(12.5f, -7.25f);
    EXPECT_EQ(s.TransformPoint(p, false), p);
    EXPECT_EQ(s.TransformPoint(p, true), p);
    EXPECT_EQ(s.GetTransformedCentroid(), s.Centroid);
    for (const FPoint& q : s.GetUpperHalf())
        EXPECT_NE(std::find(s.Contour.begin(), s.Contour.end(), q), s.Contour.end());
}

TEST(SpecimenNormalPosition, SettingTheSameValueRecomputesNothing) {
    CSpecimen s;
    Complete(s, shapes::Ellipse(40, 15, 20, 100, 50, 120));
    s.Centroid = FPoint(-1.0f, -1.0f); // a stored value that a recomputation would overwrite
    s.SetApplyTransformation(true);
    EXPECT_EQ(s.Centroid, FPoint(-1.0f, -1.0f));
    s.SetApplyTransformation(false);
    EXPECT_NEAR(s.Centroid.x, 100.0, 1e-3);
}

// Walks along the contour from the first point of a half to its last must visit exactly the
// points of the half, in contour order.
TEST(SpecimenHalves, EndsLieAtTheAxisAndEveryPointIsTakenOnce) {
    CSpecimen s;
    Complete(s, shapes::Ellipse(300, 110, -12, 400, 300, 241, 7));
    const auto& upper = s.GetUpperHalf();
    const auto& lower = s.GetLowerHalf();
    ASSERT_FALSE(upper.empty());
    ASSERT_FALSE(lower.empty());
    EXPECT_EQ(upper.size() + lower.size(), s.Contour.size());
    // Dorsal: right end to left end over the top; ventral: left to right over the bottom.
    EXPECT_GT(upper.front().x, 250.0f);
    EXPECT_LT(upper.back().x, -250.0f);
    EXPECT_LT(lower.front().x, -250.0f);
    EXPECT_GT(lower.back().x, 250.0f);
    for (const FPoint& p : upper)
        EXPECT_GE(p.y, -1e-3f);
    for (const FPoint& p : lower)
        EXPECT_LT(p.y, 1e-3f);
    std::set<std::pair<float, float>> all;
    for (const auto* half : {&upper, &lower})
        for (const FPoint& p : *half)
            all.insert({p.x, p.y});
    EXPECT_EQ(all.size(), s.Contour.size());
}

TEST(SpecimenHalves, LoadedStatisticsAreKeptAndHalvesRebuiltFromThem) {
    CSpecimen s;
    s.Contour = shapes::Ellipse(30, 10, 0, 0, 0, 60);
    // Stored axes turned by 90 degrees: the halves must follow them, not recomputed ones.
    s.Centroid = FPoint(0.0f, 0.0f);
    s.FirstEigenvect = FPoint(0.0f, 1.0f);
    s.SecondEigenvect = FPoint(-1.0f, 0.0f);
    s.SplitOutline();
    EXPECT_EQ(s.FirstEigenvect, FPoint(0.0f, 1.0f));
    ASSERT_FALSE(s.GetUpperHalf().empty());
    // Top of the ellipse, now "right"; the end is the contour point next to the axis (6 degrees
    // of parameter away at most).
    EXPECT_NEAR(s.GetUpperHalf().front().x, 10.0,
                10.0 * (1.0 - std::cos(6.0 * std::numbers::pi / 180.0)) + 1e-4);
    EXPECT_EQ(s.GetUpperHalf().size() + s.GetLowerHalf().size(), s.Contour.size());
}

TEST(SpecimenMeanSquaredCentroidDistance, CountsEveryPoint) {
    CSpecimen s;
    Fill(s, kUnitSquareCcw);
    EXPECT_FLOAT_EQ(s.GetMeanSquaredCentroidDistance(), 0.5f);
    Fill(s, shapes::Ellipse(5, 5, 0, 3, 4, 100)); // circle: every point at distance 5
    EXPECT_NEAR(s.GetMeanSquaredCentroidDistance(), 25.0, 1e-3);
}

TEST(SpecimenBoundingBox, TruncatesTowardZero) {
    CSpecimen s;
    s.ApplyTransformation = false;
    s.Contour = {{-2.7f, -0.4f}, {3.9f, -5.5f}, {1.2f, 8.99f}};
    FRect r;
    s.GetBoundingBox(r);
    EXPECT_EQ(r.min, FPoint(-2.0f, -5.0f));
    EXPECT_EQ(r.max, FPoint(3.0f, 8.0f));

    CSpecimen empty;
    empty.GetBoundingBox(r);
    EXPECT_EQ(r.min.x, 2147483647.0f);
    EXPECT_EQ(r.max.y, -2147483648.0f);
}

bool Finite(FPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

class SpecimenDegenerate : public ::testing::TestWithParam<std::vector<FPoint>> {};

// Outlines that enclose no area must leave the specimen with finite statistics and halves
// that hold only finite points.
TEST_P(SpecimenDegenerate, KeepsFiniteStatistics) {
    CSpecimen s;
    ASSERT_NO_THROW(Complete(s, GetParam()));
    EXPECT_TRUE(Finite(s.Centroid));
    EXPECT_TRUE(Finite(s.FirstEigenvect));
    EXPECT_TRUE(Finite(s.SecondEigenvect));
    EXPECT_FALSE(std::isnan(s.GetMeanSquaredCentroidDistance())); // huge outlines may overflow
    for (const auto* half : {&s.GetUpperHalf(), &s.GetLowerHalf()})
        for (const FPoint& p : *half)
            EXPECT_TRUE(Finite(p));
    EXPECT_LE(s.GetUpperHalf().size() + s.GetLowerHalf().size(), s.Contour.size() + 2);
}

INSTANTIATE_TEST_SUITE_P(Outlines, SpecimenDegenerate,
                         ::testing::Values(std::vector<FPoint>{}, std::vector<FPoint>{{5, 5}},
                                           std::vector<FPoint>{{1, 2}, {3, 4}},
                                           std::vector<FPoint>{{0, 0}, {1, 1}, {2, 2}, {3, 3}},
                                           std::vector<FPoint>{{7, 7}, {7, 7}, {7, 7}},
                                           std::vector<FPoint>{{0.0f, 0.0f},
                                                               {1e30f, 0.0f},
                                                               {1e30f, 1e30f},
                                                               {0.0f, 1e30f}}));

TEST(SpecimenDegenerate, SinglePointUsesItAsCentroidAndHasNoHalves) {
    CSpecimen s;
    Complete(s, {{5, 6}});
    EXPECT_EQ(s.Centroid, FPoint(5.0f, 6.0f));
    EXPECT_TRUE(s.GetUpperHalf().empty());
    EXPECT_TRUE(s.GetLowerHalf().empty());
}

} // namespace
