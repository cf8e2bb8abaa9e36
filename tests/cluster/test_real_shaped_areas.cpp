// The three area tables and the areas against the reference on clusters shaped like real ones:
// generated valves with concave margins and leaning lobes, and the real outline file where it
// is present. Every pair in all four normalisations is held against an independent
// double-precision computation of the area between the sampled curves.
#include "cluster/area_reference.h"
#include "cluster/cluster_comparison.h"
#include "cluster/cluster_data.h"
#include "cluster/cluster_member_fit.h"
#include "cluster/cluster_parameter.h"
#include "cluster/spline_areas.h"
#include "cluster/spline_sample_row.h"
#include "formats/reader_test_support.h"
#include "support/real_shaped_outlines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>

namespace {

// The areas are measured in double and rounded to float once, about 6e-8 of their size; the
// reference integrates the same samples exactly up to rounding. The floor covers pairs of
// nearly equal outlines, where a relative bound means nothing.
constexpr double kRelative = 1e-5;
constexpr double kFloor = 1e-4;

struct CCluster {
    std::vector<std::unique_ptr<CApproxSpecimen>> owned;
    std::vector<const CApproxSpecimen*> list; // null where the fit failed
};

CCluster Fitted(const SpecimenList& specimens, int normalize) {
    std::vector<const CSpecimen*> list;
    for (const auto& s : specimens)
        list.push_back(s.get());
    CClusterParameter parameter;
    parameter.Normalize = normalize;
    CCluster cluster;
    for (CClusterMemberFit& fit : FitClusterMembers(list, parameter)) {
        cluster.list.push_back(fit.approximation.get());
        cluster.owned.push_back(std::move(fit.approximation));
    }
    return cluster;
}

bool Near(double value, double expected) {
    return std::fabs(value - expected) <= kRelative * std::fabs(expected) + kFloor;
}

struct CTally {
    int pairs = 0;
    int clipped = 0; // pairs with a side that only polygon clipping measures
    int shifted = 0; // pairs with a side that the walk measures about a centre off the origin
};

bool FoldedAboutTheOrigin(const CApproxSpecimen& a, CSplineSide side) {
    return SampleSide(&a, side).shape == CRowShape::Folded;
}

// Every pair of the tables against the reference; the one-pass tables against the single ones;
// the sector walk (about the origin or another centre) against polygon clipping wherever both
// apply. Only records without a cluster
// approximation may be "not computable".
CTally ExpectAreasOfEveryPair(const std::vector<const CApproxSpecimen*>& list) {
    const CPairwiseAreaTables tables = PairwiseAreaTables(list);
    EXPECT_EQ(tables.dorsal, PairwiseSideAreas(list, CSplineSide::Dorsal));
    EXPECT_EQ(tables.ventral, PairwiseSideAreas(list, CSplineSide::Ventral));
    EXPECT_EQ(tables.total, PairwiseTotalAreas(list));
    const std::size_t n = list.size();
    CTally tally;
    int failures = 0;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            const std::size_t at = i * n + j;
            if (!list[i] || !list[j]) {
                EXPECT_LT(tables.total[at], 0.0f);
                continue;
            }
            ++tally.pairs;
            const double dorsal = area_reference::SideArea(*list[i], *list[j], true);
            const double ventral = area_reference::SideArea(*list[i], *list[j], false);
            bool clipped = false;
            bool shifted = false;
            for (const auto& [side, expected, table] :
                 {std::tuple{CSplineSide::Dorsal, dorsal, &tables.dorsal},
                  std::tuple{CSplineSide::Ventral, ventral, &tables.ventral}}) {
                const float area = (*table)[at];
                if (!Near(area, expected) && ++failures <= 5)
                    ADD_FAILURE() << "pair " << i << "," << j << " side " << static_cast<int>(side)
                                  << ": " << area << " instead of " << expected;
                const float walked =
                    SideAreaBetween(*list[i], *list[j], side, CAreaMethod::SectorWalk);
                if (walked < 0.0f) {
                    clipped = true;
                    continue;
                }
                shifted = shifted || FoldedAboutTheOrigin(*list[i], side) ||
                          FoldedAboutTheOrigin(*list[j], side);
                const float clipped =
                    SideAreaBetween(*list[i], *list[j], side, CAreaMethod::Polygons);
                if (!Near(walked, clipped) && ++failures <= 5)
                    ADD_FAILURE() << "pair " << i << "," << j << ": walk " << walked
                                  << ", clipping " << clipped;
            }
            if (!Near(tables.total[at], dorsal + ventral) && ++failures <= 5)
                ADD_FAILURE() << "pair " << i << "," << j << " total " << tables.total[at]
                              << " instead of " << dorsal + ventral;
            tally.clipped += clipped;
            tally.shifted += shifted;
        }
    EXPECT_EQ(failures, 0);
    return tally;
}

// The areas each member stores against the reference (the first member).
void ExpectAreasAgainstTheReference(const std::vector<const CApproxSpecimen*>& list) {
    const CApproxSpecimen* reference = list.front();
    ASSERT_NE(reference, nullptr);
    int failures = 0;
    for (const CApproxSpecimen* member : list) {
        if (!member)
            continue;
        CClusterData data;
        ComputeClusterData(*member, *reference, data);
        const double dorsal = area_reference::SideArea(*reference, *member, true);
        const double ventral = area_reference::SideArea(*reference, *member, false);
        if ((!Near(data.Areadorsal, dorsal) || !Near(data.Areaventral, ventral) ||
             !Near(data.Areatotal, dorsal + ventral)) &&
            ++failures <= 5)
            ADD_FAILURE() << data.Areadorsal << " " << data.Areaventral << " " << data.Areatotal
                          << " instead of " << dorsal << " " << ventral;
    }
    EXPECT_EQ(failures, 0);
}

const SpecimenList& GeneratedValves() {
    static const SpecimenList specimens = [] {
        real_shaped::COutlineMaker maker(2024);
        SpecimenList list;
        for (int i = 0; i < 120; ++i)
            list.push_back(real_shaped::MakeSpecimen(
                maker.Next({.points = 0, .farAway = i % 3 == 0 ? 30000.0 : 0.0})));
        return list;
    }();
    return specimens;
}

class RealShapedAreas : public ::testing::TestWithParam<int> {};

TEST_P(RealShapedAreas, GeneratedClusterMatchesTheReference) {
    const CCluster cluster = Fitted(GeneratedValves(), GetParam());
    const CTally tally = ExpectAreasOfEveryPair(cluster.list);
    EXPECT_GE(tally.pairs, 100 * 99 / 2);
    // Every way of measuring is in use: the lobes fold a good part of the dorsal margins.
    EXPECT_GT(tally.clipped, tally.pairs / 50);
    EXPECT_GT(tally.shifted, tally.pairs / 20);
    ExpectAreasAgainstTheReference(cluster.list);
}

TEST_P(RealShapedAreas, RealFileMatchesTheReference) {
    REAL_SPECIMENS_OR_SKIP(specimens, "momitvb_allrapanui.tps");
    ASSERT_EQ(specimens.size(), 119u);
    const CCluster cluster = Fitted(specimens, GetParam());
    const CTally tally = ExpectAreasOfEveryPair(cluster.list);
    EXPECT_EQ(tally.pairs, 119 * 118 / 2);
    ExpectAreasAgainstTheReference(cluster.list);
}

// The tpsDig files whose outlines are joined from curves, in one cluster.
TEST_P(RealShapedAreas, RealCurveFilesMatchTheReference) {
    SpecimenList specimens;
    for (const char* name : {"momit_AE_data1.tps", "momit_JC_data.TPS"}) {
        const std::filesystem::path path = std::filesystem::path(CARINOVA_REAL_DATA_DIR) / name;
        if (!std::filesystem::exists(path))
            GTEST_SKIP() << "real data not found: " << path;
        for (auto& specimen : ReadAllDetected(path.string()))
            specimens.push_back(std::move(specimen));
    }
    ASSERT_EQ(specimens.size(), 5u);
    const CCluster cluster = Fitted(specimens, GetParam());
    const CTally tally = ExpectAreasOfEveryPair(cluster.list);
    EXPECT_EQ(tally.pairs, 5 * 4 / 2);
    ExpectAreasAgainstTheReference(cluster.list);
}

std::string NormalizationName(const ::testing::TestParamInfo<int>& info) {
    static const char* const kNames[] = {"None", "OuterPoints", "Area", "CentroidSize"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Normalizations, RealShapedAreas, ::testing::Values(0, 1, 2, 3),
                         NormalizationName);

} // namespace
