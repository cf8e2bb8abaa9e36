#include "cluster/cluster_parameter.h"
#include "cluster/cluster_test_support.h"
#include "cluster/mean_specimen.h"
#include "cluster/specimen_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace cluster_test;

// A cluster member owning its specimen and its cluster approximation.
std::unique_ptr<CSpecimenRecord> Member(CApproxSpecimen approx, bool scaleSpecified = true) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->ScaleSpecified = scaleSpecified;
    auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
    record->SetClusterApproximation(std::make_unique<CApproxSpecimen>(std::move(approx)));
    record->SetClusterData(std::make_unique<CClusterData>());
    return record;
}

std::vector<CSpecimenRecord*> View(const std::vector<std::unique_ptr<CSpecimenRecord>>& owned) {
    std::vector<CSpecimenRecord*> list;
    for (const auto& r : owned)
        list.push_back(r.get());
    return list;
}

// Nine points per curve, dorsal i at (i, 2i), ventral i at (-i, -3i), then `shift` added.
CApproxSpecimen Grid(FPoint shift) {
    std::vector<FPoint> d, v;
    for (int i = 0; i <= 8; ++i) {
        d.push_back(FPoint(i, 2 * i) + shift);
        v.push_back(FPoint(-i, -3 * i) + shift);
    }
    return MakeApprox(d, v);
}

TEST(MeanSpecimen, TwoMembersAverageEachControlPoint) {
    std::vector<std::unique_ptr<CSpecimenRecord>> owned;
    CApproxSpecimen a = Grid({0, 0}), b = Grid({0, 0});
    a.ApproxUpper.ControlPoints[0] = {-1000.0f, 0.0f};
    b.ApproxUpper.ControlPoints[0] = {-1000.0f, 0.0f};
    a.ApproxLower.ControlPoints[3] = {10.0f, -20.0f};
    b.ApproxLower.ControlPoints[3] = {30.0f, -40.0f};
    owned.push_back(Member(a));
    owned.push_back(Member(b));
    const auto mean = MakeMeanSpecimenRecord(View(owned), CClusterParameter());
    const CApproxSpecimen* m = mean->GetClusterApproximation();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->ApproxUpper.ControlPoints[0], FPoint(-1000.0f, 0.0f));
    EXPECT_EQ(m->ApproxLower.ControlPoints[3], FPoint(20.0f, -30.0f));
    EXPECT_EQ(m->ApproxUpper.ControlPoints[5], FPoint(5.0f, 10.0f));
}

TEST(MeanSpecimen, OneMemberIsItsOwnMean) {
    std::vector<std::unique_ptr<CSpecimenRecord>> owned;
    owned.push_back(Member(EllipseApprox(1000, 431.7)));
    const auto mean = MakeMeanSpecimenRecord(View(owned), CClusterParameter());
    const CApproxSpecimen& m = *mean->GetClusterApproximation();
    EXPECT_EQ(m.ApproxUpper.ControlPoints,
              owned[0]->GetClusterApproximation()->ApproxUpper.ControlPoints);
    EXPECT_EQ(m.ApproxLower.ControlPoints,
              owned[0]->GetClusterApproximation()->ApproxLower.ControlPoints);
}

TEST(MeanSpecimen, ThreeMembersAgreeWithTheDoubleAverage) {
    std::vector<std::unique_ptr<CSpecimenRecord>> owned;
    const std::vector<FPoint> shifts = {{0.1f, 7.3f}, {-3.7f, 2.2f}, {11.9f, -0.4f}};
    for (FPoint s : shifts)
        owned.push_back(Member(Grid(s)));
    const auto mean = MakeMeanSpecimenRecord(View(owned), CClusterParameter());
    const CApproxSpecimen& m = *mean->GetClusterApproximation();
    for (int i = 0; i <= 8; ++i) {
        double x = 0.0, y = 0.0;
        for (const auto& r : owned) {
            x += r->GetClusterApproximation()->ApproxLower.ControlPoints[i].x / 3.0;
            y += r->GetClusterApproximation()->ApproxLower.ControlPoints[i].y / 3.0;
        }
        // Three float roundings of values below 30.
        EXPECT_NEAR(m.ApproxLower.ControlPoints[i].x, x, 1e-5);
        EXPECT_NEAR(m.ApproxLower.ControlPoints[i].y, y, 1e-5);
    }
}

// The running sum is a float: 33333334 + 0.33333334 is 33333334, so the small member vanishes.
TEST(MeanSpecimen, SumsInFloatInListOrder) {
    std::vector<std::unique_ptr<CSpecimenRecord>> owned;
    for (float x : {1e8f, 1.0f, -1e8f})
        owned.push_back(Member(Grid({x, 0.0f})));
    const auto mean = MakeMeanSpecimenRecord(View(owned), CClusterParameter());
    EXPECT_EQ(mean->GetClusterApproximation()->ApproxUpper.ControlPoints[0].x, 0.0f);
}

TEST(MeanSpecimen, RecordContentsAndDrawing) {
    std::vector<std::unique_ptr<CSpecimenRecord>> owned;
    owned.push_back(Member(Grid({1, 1})));
    CClusterParameter p;
    p.ControlPointsCnt = 5;
    p.MeanSpecimenColor = RGB(1, 2, 3);
    const auto mean = MakeMeanSpecimenRecord(View(owned), p);
    ASSERT_TRUE(mean->HasSpecimen());
    EXPECT_EQ(mean->GetSpecimen()->ShortPathName, "<Mean Specimen>");
    EXPECT_TRUE(mean->GetSpecimen()->Contour.empty());
    EXPECT_TRUE(mean->GetSpecimen()->ScaleSpecified);
    EXPECT_FALSE(mean->HasApproximation());
    ASSERT_TRUE(mean->HasClusterData());
    EXPECT_TRUE(mean->GetClusterData()->DeltaVectorsUpper.empty());
    EXPECT_EQ(mean->GetClusterData()->MeanDelta, 0.0f);
    const CApproxSpecimen& m = *mean->GetClusterApproximation();
    EXPECT_EQ(m.ApproxUpper.ControlPoints.size(), 6u);
    EXPECT_EQ(m.ApproxLower.ControlPoints.size(), 6u);
    // The fitting settings are those of a new approximation, whatever the cluster uses.
    EXPECT_EQ(m.ControlPointsCnt, CApproxSpecimen().ControlPointsCnt);
    EXPECT_FALSE(m.DrawError);
    EXPECT_FALSE(m.MarkMaxError);
    EXPECT_FALSE(m.DrawIndex);
    EXPECT_FALSE(m.ErrorValuesAreValid);
    for (const CBSpline* c : {&m.ApproxUpper, &m.ApproxLower}) {
        EXPECT_EQ(c->ColorSpline, RGB(1, 2, 3));
        EXPECT_EQ(c->SplinePenWidth, 1);
        EXPECT_FALSE(c->DrawControlPoints);
        EXPECT_FALSE(c->DrawControlPointsText);
        EXPECT_FALSE(c->DrawControlPolygon);
        EXPECT_TRUE(c->DrawSpline);
    }
}

TEST(MeanSpecimen, ScaleIsSpecifiedOnlyWhenEveryMemberHasOne) {
    for (int unscaled = -1; unscaled < 3; ++unscaled) {
        std::vector<std::unique_ptr<CSpecimenRecord>> owned;
        for (int i = 0; i < 3; ++i)
            owned.push_back(Member(Grid({0, 0}), i != unscaled));
        const auto mean = MakeMeanSpecimenRecord(View(owned), CClusterParameter());
        EXPECT_EQ(mean->GetSpecimen()->ScaleSpecified, unscaled < 0) << unscaled;
    }
}

// Members with too few points, none at all, or no approximation contribute what they have.
TEST(MeanSpecimen, IncompleteMembersDoNotBreakTheMean) {
    std::vector<std::unique_ptr<CSpecimenRecord>> owned;
    owned.push_back(Member(Grid({2, 2})));
    owned.push_back(Member(MakeApprox({{4, 4}, {4, 4}}, {{4, 4}})));
    owned.push_back(Member(CApproxSpecimen()));
    owned.push_back(std::make_unique<CSpecimenRecord>(std::make_unique<CSpecimen>()));
    std::vector<CSpecimenRecord*> list = View(owned);
    list.push_back(nullptr);
    const auto mean = MakeMeanSpecimenRecord(list, CClusterParameter());
    const CApproxSpecimen& m = *mean->GetClusterApproximation();
    ASSERT_EQ(m.ApproxUpper.ControlPoints.size(), 9u);
    // Five records weigh 1/5 each; only the first two hold points.
    EXPECT_FLOAT_EQ(m.ApproxUpper.ControlPoints[1].x, (3.0f + 4.0f) / 5.0f);
    EXPECT_FLOAT_EQ(m.ApproxUpper.ControlPoints[8].x, 10.0f / 5.0f);
    EXPECT_FLOAT_EQ(m.ApproxLower.ControlPoints[0].y, (2.0f + 4.0f) / 5.0f);
    EXPECT_FALSE(mean->GetSpecimen()->ScaleSpecified);
}

TEST(MeanSpecimen, EmptyClusterGivesZeroPoints) {
    const auto mean = MakeMeanSpecimenRecord({}, CClusterParameter());
    const CApproxSpecimen& m = *mean->GetClusterApproximation();
    EXPECT_EQ(m.ApproxUpper.ControlPoints, std::vector<FPoint>(9));
    EXPECT_EQ(m.ApproxLower.ControlPoints, std::vector<FPoint>(9));
}

} // namespace
