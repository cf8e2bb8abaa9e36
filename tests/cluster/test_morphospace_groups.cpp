#include "cluster/cluster_parameter.h"
#include "cluster/morphospace.h"
#include "cluster/morphospace_groups.h"
#include "cluster/morphospace_test_support.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace morphospace_test;

struct CValueCase {
    CGroupField field;
    const char* expected;
};

class GroupValueTest : public ::testing::TestWithParam<CValueCase> {};

// Values are trimmed; the comment gives its first word, ended by a space, tab, comma or
// semicolon.
TEST_P(GroupValueTest, ReadsTheField) {
    CSpecimen s;
    s.Locality = "  Lake Ohrid\t";
    s.Gender = "female";
    s.Stage = " A-1 ";
    s.Identifier = "K3/17";
    s.Comment = "  Cyprideis, left valve";
    EXPECT_EQ(GroupValue(s, GetParam().field), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Fields, GroupValueTest,
                         ::testing::Values(CValueCase{CGroupField::None, ""},
                                           CValueCase{CGroupField::Locality, "Lake Ohrid"},
                                           CValueCase{CGroupField::Sex, "female"},
                                           CValueCase{CGroupField::Stage, "A-1"},
                                           CValueCase{CGroupField::Identifier, "K3/17"},
                                           CValueCase{CGroupField::Comment, "Cyprideis"}));

TEST(GroupFieldLabels, RoundTripIgnoringCase) {
    for (CGroupField field : kGroupFields)
        EXPECT_EQ(GroupFieldFromLabel(GroupFieldLabel(field)), field);
    EXPECT_EQ(GroupFieldFromLabel("SEX"), CGroupField::Sex);
    EXPECT_EQ(GroupFieldFromLabel("comment"), CGroupField::Comment);
    EXPECT_FALSE(GroupFieldFromLabel("gender").has_value());
    EXPECT_FALSE(GroupFieldFromLabel("").has_value());
}

// Groups sorted by value with the members without one last; the projected mean is in none.
TEST(MorphospaceGroups, SortedByValueEmptyLast) {
    CTestCluster cluster = RandomCluster(7, 8, false, 11);
    const char* localities[] = {"Ohrid", "", "Baikal", "Ohrid", "", "Baikal", "Tanganyika"};
    for (std::size_t i = 0; i < 7; ++i)
        cluster.owned[i]->GetSpecimen()->Locality = localities[i];
    std::string error;
    const auto space = CMorphospace::Compute(cluster.list, nullptr, 8, 2, error);
    ASSERT_TRUE(space) << error;
    const std::vector<CMorphospaceGroup> groups = GroupMorphospace(*space, CGroupField::Locality);
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].value, "Baikal");
    EXPECT_EQ(groups[0].points, (std::vector<int>{2, 5}));
    EXPECT_EQ(groups[1].value, "Ohrid");
    EXPECT_EQ(groups[2].value, "Tanganyika");
    EXPECT_EQ(groups[3].value, "");
    EXPECT_EQ(groups[3].Label(CGroupField::Locality), "(empty)");
    EXPECT_EQ(groups[3].points, (std::vector<int>{1, 4}));

    const std::vector<CMorphospaceGroup> all = GroupMorphospace(*space, CGroupField::None);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].Label(CGroupField::None), "Members");
    EXPECT_EQ(all[0].points.size(), 7u);
}

// Eight distinct colours, then the same colours with the next marker: 32 groups, all told
// apart by colour and marker together.
TEST(MorphospaceGroups, ManyGroupsStayDistinct) {
    CTestCluster cluster = RandomCluster(40, 4, false, 13);
    for (std::size_t i = 0; i < 40; ++i)
        cluster.owned[i]->GetSpecimen()->Identifier = "id" + std::to_string(100 + i % 32);
    std::string error;
    const auto space = CMorphospace::Compute(cluster.list, nullptr, 4, 2, error);
    ASSERT_TRUE(space) << error;
    const auto groups = GroupMorphospace(*space, CGroupField::Identifier);
    ASSERT_EQ(groups.size(), 32u);
    std::set<ColorRef> colours;
    std::set<std::pair<ColorRef, int>> styles;
    for (const CMorphospaceGroup& g : groups) {
        colours.insert(g.color);
        styles.insert({g.color, g.marker});
    }
    EXPECT_EQ(colours.size(), 8u);
    EXPECT_EQ(styles.size(), 32u);
    EXPECT_EQ(groups[0].marker, CMorphospaceGroup::Circle);
    EXPECT_EQ(groups[8].marker, CMorphospaceGroup::Square);
    EXPECT_EQ(groups[8].color, groups[0].color);
}

// Mean and covariance by hand for four points; every point of the ellipse lies at the
// Mahalanobis distance whose square is the 95 % quantile of chi-square with two degrees of
// freedom (5.991464547...).
TEST(MorphospaceGroups, SpreadAndNinetyFivePercentEllipse) {
    CGroupSpread spread;
    spread.count = 4;
    // Scores (1, 2), (3, 3), (2, 7), (6, 4): mean (3, 4).
    spread.meanX = 3.0;
    spread.meanY = 4.0;
    spread.xx = (4.0 + 0.0 + 1.0 + 9.0) / 3.0;
    spread.xy = (4.0 + 0.0 - 3.0 + 0.0) / 3.0;
    spread.yy = (4.0 + 1.0 + 9.0 + 0.0) / 3.0;
    const std::vector<CScorePoint> outline = ConfidenceEllipse(spread, 36);
    ASSERT_EQ(outline.size(), 36u);
    const double det = spread.xx * spread.yy - spread.xy * spread.xy;
    for (const CScorePoint& q : outline) {
        const double dx = q.x - 3.0, dy = q.y - 4.0;
        const double d2 =
            (spread.yy * dx * dx - 2 * spread.xy * dx * dy + spread.xx * dy * dy) / det;
        EXPECT_NEAR(d2, 5.991464547107979, 1e-9);
    }
    CGroupSpread two = spread;
    two.count = 2;
    EXPECT_TRUE(ConfidenceEllipse(two).empty());
    CGroupSpread still = spread;
    still.xx = still.xy = still.yy = 0.0;
    EXPECT_TRUE(ConfidenceEllipse(still).empty());
}

TEST(MorphospaceGroups, SpreadOfAGroupFromItsScores) {
    const CTestCluster cluster = RandomCluster(9, 8, false, 19);
    std::string error;
    const auto space = CMorphospace::Compute(cluster.list, nullptr, 8, 2, error);
    ASSERT_TRUE(space) << error;
    const CMorphospaceGroup group{"odd", 0, CMorphospaceGroup::Circle, {1, 3, 5, 7}};
    const CGroupSpread s = GroupSpread(*space, group, 1, 0);
    double mx = 0, my = 0;
    for (int p : group.points) {
        mx += space->Score(p, 1) / 4;
        my += space->Score(p, 0) / 4;
    }
    double xy = 0;
    for (int p : group.points)
        xy += (space->Score(p, 1) - mx) * (space->Score(p, 0) - my) / 3;
    EXPECT_EQ(s.count, 4);
    EXPECT_NEAR(s.meanX, mx, 1e-9);
    EXPECT_NEAR(s.meanY, my, 1e-9);
    EXPECT_NEAR(s.xy, xy, 1e-9 * std::fabs(space->Variance(0)));
}

} // namespace
