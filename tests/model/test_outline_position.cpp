// Where an outline lies must not change its statistics: generated real-shaped outlines and the
// real rapanui file moved by whole pixels, against themselves and against a double-precision
// computation of area and centroid.
#include "formats/reader_test_support.h"
#include "model/approx_specimen.h"
#include "support/outline_shapes.h"
#include "support/real_shaped_outlines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

struct Shift {
    float dx, dy;
};

std::vector<FPoint> Moved(const std::vector<FPoint>& points, Shift s) {
    std::vector<FPoint> moved;
    for (const FPoint& p : points)
        moved.emplace_back(p.x + s.dx, p.y + s.dy);
    return moved;
}

double SizeOf(const std::vector<FPoint>& points) {
    double minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const FPoint& p : points) {
        minX = std::min(minX, static_cast<double>(p.x));
        maxX = std::max(maxX, static_cast<double>(p.x));
        minY = std::min(minY, static_cast<double>(p.y));
        maxY = std::max(maxY, static_cast<double>(p.y));
    }
    return std::max(maxX - minX, maxY - minY);
}

// Whole-pixel outlines moved by whole pixels stay exact in float; every sum is taken relative
// to a point of the outline, so the statistics, the halves and the fit come out the same. The
// centroid is stored as a float where the outline lies, so it can be no closer than half a unit
// in the last place there.
void ExpectSameWhereverItLies(const std::vector<FPoint>& contour, Shift shift) {
    const auto here = real_shaped::MakeSpecimen(contour);
    const auto there = real_shaped::MakeSpecimen(Moved(contour, shift));
    const double size = SizeOf(contour);

    const shapes::PolygonMoments exact = shapes::Moments(here->Contour);
    EXPECT_NEAR(here->GetArea(), exact.area, std::fabs(exact.area) * 1e-6);
    EXPECT_EQ(there->GetArea(), here->GetArea());
    EXPECT_EQ(there->GetMeanSquaredCentroidDistance(), here->GetMeanSquaredCentroidDistance());
    double largest = 1.0;
    for (const CSpecimen* s : {here.get(), there.get()})
        largest = std::max({largest, std::fabs(static_cast<double>(s->Centroid.x)),
                            std::fabs(static_cast<double>(s->Centroid.y))});
    const double rounding = std::ldexp(1.0, std::ilogb(largest) - 24);
    for (const auto& [got, want] :
         {std::pair{here->Centroid.x, exact.cx}, std::pair{here->Centroid.y, exact.cy},
          std::pair{there->Centroid.x - shift.dx, exact.cx},
          std::pair{there->Centroid.y - shift.dy, exact.cy}})
        EXPECT_NEAR(got, want, 1e-6 * size + rounding);
    EXPECT_EQ(there->FirstEigenvect, here->FirstEigenvect);
    EXPECT_EQ(there->SecondEigenvect, here->SecondEigenvect);
    EXPECT_EQ(there->GetUpperHalf(), here->GetUpperHalf());
    EXPECT_EQ(there->GetLowerHalf(), here->GetLowerHalf());

    CApproxSpecimen fitHere, fitThere;
    std::string error;
    ASSERT_TRUE(fitHere.Fit(*here, error)) << error;
    ASSERT_TRUE(fitThere.Fit(*there, error)) << error;
    EXPECT_EQ(fitThere.ApproxUpper.ControlPoints, fitHere.ApproxUpper.ControlPoints);
    EXPECT_EQ(fitThere.ApproxLower.ControlPoints, fitHere.ApproxLower.ControlPoints);
}

class OutlinePosition : public ::testing::TestWithParam<Shift> {};

TEST_P(OutlinePosition, GeneratedOutlinesKeepTheirStatistics) {
    real_shaped::COutlineMaker maker(77);
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(i);
        ExpectSameWhereverItLies(maker.Next(), GetParam());
    }
}

// A valve of 270 pixels on a slide image, placed as the outlines of the others lie.
TEST_P(OutlinePosition, SmallValveKeepsItsStatistics) {
    std::vector<FPoint> valve;
    for (const FPoint& p : shapes::Ellipse(135, 70, 12, 0, 0, 160, 5))
        valve.emplace_back(std::round(p.x), std::round(p.y));
    ExpectSameWhereverItLies(valve, GetParam());
}

TEST_P(OutlinePosition, RealOutlinesKeepTheirStatistics) {
    REAL_SPECIMENS_OR_SKIP(specimens, "momitvb_allrapanui.tps");
    ASSERT_EQ(specimens.size(), 119u);
    for (const auto& specimen : specimens) {
        SCOPED_TRACE(specimen->ShortPathName);
        ExpectSameWhereverItLies(specimen->Contour, GetParam());
    }
}

INSTANTIATE_TEST_SUITE_P(Shifts, OutlinePosition,
                         ::testing::Values(Shift{20000, 20000}, Shift{6000, 4000},
                                           Shift{-15000, 9000}, Shift{-700, -300}));

} // namespace
