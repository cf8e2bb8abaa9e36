#include "cluster/cluster_test_support.h"
#include "cluster/pairwise_table.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using namespace cluster_test;
using Measure = CPairwiseTable::Measure;

// 75 members: more than two blocks, the last one partial. Every ninth member has a ventral
// dip that makes its ventral areas not computable, every thirteenth a dorsal one, and one
// member has no approximation at all.
constexpr std::size_t kMembers = 75;

std::vector<std::unique_ptr<CApproxSpecimen>> Members(bool withBroken) {
    std::vector<std::unique_ptr<CApproxSpecimen>> members;
    for (std::size_t i = 0; i < kMembers; ++i) {
        const double k = static_cast<double>(i);
        auto a = std::make_unique<CApproxSpecimen>(EllipseApprox(
            900 + 7 * k, 400 + 3 * (i % 11), 8, [&](int p) { return 1.0 + 0.01 * ((p + i) % 5); }));
        if (withBroken && i % 9 == 4)
            a->ApproxLower.ControlPoints[4].y = 900.0f;
        if (withBroken && i % 13 == 6)
            a->ApproxUpper.ControlPoints[3].y = -700.0f;
        members.push_back(withBroken && i == 40 ? nullptr : std::move(a));
    }
    return members;
}

class PairwiseTableEntries : public ::testing::TestWithParam<std::tuple<Measure, std::size_t>> {};

// Read row by row with a cache of two blocks, each row of blocks pushes its blocks out again
// and again; every entry still equals the whole table's, those below the diagonal (kept from
// the mirror image of a block) included.
TEST_P(PairwiseTableEntries, EqualTheWholeTableWhateverTheCacheHolds) {
    const auto [measure, cached] = GetParam();
    CPairwiseTable table(measure, Members(true), 8, cached);
    const std::vector<float> whole = table.Whole();
    ASSERT_EQ(whole.size(), kMembers * kMembers);
    bool negative = false;
    for (std::size_t cell = 0; cell < kMembers * kMembers; ++cell) {
        const std::size_t i = cell / kMembers, j = cell % kMembers;
        ASSERT_EQ(table.Entry(i, j), whole[cell]) << i << "," << j;
        negative = negative || whole[cell] < 0.0f;
    }
    EXPECT_LE(table.CachedBlocks(), cached);
    EXPECT_EQ(table.HasNotComputable(), negative);
    EXPECT_EQ(negative, measure != Measure::MeanDelta);
    // Rows shown in another order: blocks follow the rows as shown.
    std::vector<std::size_t> order(kMembers);
    for (std::size_t i = 0; i < kMembers; ++i)
        order[i] = (i * 31 + 7) % kMembers; // 31 is prime to 75
    table.SetRowOrder(order);
    EXPECT_EQ(table.CachedBlocks(), 0u);
    for (std::size_t cell = 0; cell < kMembers * kMembers; ++cell) {
        const std::size_t i = cell / kMembers, j = cell % kMembers;
        ASSERT_EQ(table.Entry(i, j), whole[order[i] * kMembers + j]) << i << "," << j;
    }
    for (std::size_t column : {std::size_t{0}, std::size_t{31}, std::size_t{40}, kMembers - 1}) {
        const std::vector<float> values = table.Column(column);
        for (std::size_t i = 0; i < kMembers; ++i)
            ASSERT_EQ(values[i], whole[i * kMembers + column]) << i << "," << column;
    }
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Measure, std::size_t>>& info) {
    static const char* const kNames[] = {"MeanDelta", "AreaDorsal", "AreaVentral", "AreaTotal"};
    return std::string(kNames[static_cast<int>(std::get<0>(info.param))]) +
           (std::get<1>(info.param) == 2 ? "TwoBlocks" : "DefaultCache");
}

INSTANTIATE_TEST_SUITE_P(
    MeasuresAndCaches, PairwiseTableEntries,
    ::testing::Combine(::testing::Values(Measure::MeanDelta, Measure::AreaDorsal,
                                         Measure::AreaVentral, Measure::AreaTotal),
                       ::testing::Values(std::size_t{2}, CPairwiseTable::kDefaultCachedBlocks)),
    CaseName);

TEST(PairwiseTable, MarksOnlyWhatATableWouldHold) {
    for (Measure measure : {Measure::AreaDorsal, Measure::AreaVentral, Measure::AreaTotal})
        EXPECT_FALSE(CPairwiseTable(measure, Members(false), 8).HasNotComputable());
    // One member alone has only its diagonal, which is never marked.
    std::vector<std::unique_ptr<CApproxSpecimen>> single;
    single.push_back(nullptr);
    CPairwiseTable alone(Measure::AreaTotal, std::move(single), 8);
    EXPECT_FALSE(alone.HasNotComputable());
    EXPECT_EQ(alone.Entry(0, 0), 0.0f);
    EXPECT_TRUE(CPairwiseTable(Measure::AreaTotal, {}, 8).Whole().empty());
}

} // namespace
