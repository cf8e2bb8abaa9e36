#include "cluster/pairwise_table.h"

#include "cluster/cluster_comparison.h"
#include "cluster/spline_areas.h"

#include <algorithm>

namespace {

// Rows beside the column in one computation of a whole column: each computation also pairs
// the rows among themselves, so few rows waste little, and too few pay for the call.
constexpr std::size_t kColumnStrip = 16;

std::uint64_t Key(std::size_t rowBlock, std::size_t columnBlock) {
    return (static_cast<std::uint64_t>(rowBlock) << 32) | columnBlock;
}

// The members of both lists, each once, in increasing order.
std::vector<std::size_t> Union(std::vector<std::size_t> members,
                               const std::vector<std::size_t>& more) {
    members.insert(members.end(), more.begin(), more.end());
    std::sort(members.begin(), members.end());
    members.erase(std::unique(members.begin(), members.end()), members.end());
    return members;
}

std::vector<std::size_t> Range(std::size_t begin, std::size_t end) {
    std::vector<std::size_t> range;
    for (std::size_t i = begin; i < end; ++i)
        range.push_back(i);
    return range;
}

std::size_t PositionOf(const std::vector<std::size_t>& members, std::size_t index) {
    return static_cast<std::size_t>(std::lower_bound(members.begin(), members.end(), index) -
                                    members.begin());
}

} // namespace

CPairwiseTable::CPairwiseTable(Measure measure,
                               std::vector<std::unique_ptr<CApproxSpecimen>> approximations,
                               int controlPoints, std::size_t cachedBlocks)
    : measure_(measure), approximations_(std::move(approximations)),
      controlPoints_(controlPoints), order_(Range(0, approximations_.size())),
      cachedBlocks_(std::max<std::size_t>(cachedBlocks, 1)) {}

// Blocks hold rows as shown, so a new order drops them.
void CPairwiseTable::SetRowOrder(std::vector<std::size_t> order) {
    if (order.size() != Size() || order == order_)
        return;
    order_ = std::move(order);
    inClusterOrder_ = std::is_sorted(order_.begin(), order_.end());
    blocks_.clear();
}

std::vector<float> CPairwiseTable::TableOf(const std::vector<std::size_t>& members) const {
    std::vector<const CApproxSpecimen*> list;
    list.reserve(members.size());
    for (std::size_t m : members)
        list.push_back(approximations_[m].get());
    switch (measure_) {
    case Measure::AreaDorsal:
        return PairwiseSideAreas(list, CSplineSide::Dorsal);
    case Measure::AreaVentral:
        return PairwiseSideAreas(list, CSplineSide::Ventral);
    case Measure::AreaTotal:
        return PairwiseTotalAreas(list);
    case Measure::MeanDelta:
        break;
    }
    return PairwiseRmsMatrix(list, controlPoints_);
}

float CPairwiseTable::Entry(std::size_t row, std::size_t column) {
    const CBlock& block = BlockAt(row / kBlock, column / kBlock);
    return block.values[(row % kBlock) * kBlock + column % kBlock];
}

CPairwiseTable::CBlock& CPairwiseTable::BlockAt(std::size_t rowBlock, std::size_t columnBlock) {
    auto it = blocks_.find(Key(rowBlock, columnBlock));
    if (it == blocks_.end()) {
        ComputeBlocks(rowBlock, columnBlock);
        it = blocks_.find(Key(rowBlock, columnBlock));
    }
    it->second.lastUse = ++clock_;
    return it->second;
}

// One computation over the members of the block's rows and columns. In cluster order the
// tables are symmetric, so the same computation gives the mirror image of the block too; it
// goes in first so that making room for the block asked for can never push that one out.
void CPairwiseTable::ComputeBlocks(std::size_t rowBlock, std::size_t columnBlock) {
    const std::size_t n = Size();
    const std::size_t r0 = rowBlock * kBlock, r1 = std::min(n, r0 + kBlock);
    const std::size_t c0 = columnBlock * kBlock, c1 = std::min(n, c0 + kBlock);
    const std::vector<std::size_t> rows(order_.begin() + static_cast<std::ptrdiff_t>(r0),
                                        order_.begin() + static_cast<std::ptrdiff_t>(r1));
    const std::vector<std::size_t> columns = Range(c0, c1);
    const std::vector<std::size_t> members = Union(rows, columns);
    const std::vector<float> table = TableOf(members);
    const std::size_t m = members.size();
    const auto store = [&](std::size_t rb, std::size_t cb, const std::vector<std::size_t>& is,
                           const std::vector<std::size_t>& js) {
        if (blocks_.count(Key(rb, cb)) != 0)
            return;
        if (blocks_.size() >= cachedBlocks_)
            EvictOldest();
        CBlock block;
        block.values.assign(kBlock * kBlock, 0.0f);
        for (std::size_t i = 0; i < is.size(); ++i) {
            const std::size_t at = PositionOf(members, is[i]) * m;
            for (std::size_t j = 0; j < js.size(); ++j)
                block.values[i * kBlock + j] = table[at + PositionOf(members, js[j])];
        }
        block.lastUse = ++clock_;
        blocks_.emplace(Key(rb, cb), std::move(block));
    };
    if (rowBlock != columnBlock && inClusterOrder_)
        store(columnBlock, rowBlock, columns, rows);
    store(rowBlock, columnBlock, rows, columns);
}

void CPairwiseTable::EvictOldest() {
    auto oldest = blocks_.begin();
    for (auto it = blocks_.begin(); it != blocks_.end(); ++it)
        if (it->second.lastUse < oldest->second.lastUse)
            oldest = it;
    if (oldest != blocks_.end())
        blocks_.erase(oldest);
}

std::vector<float> CPairwiseTable::Column(std::size_t column) const {
    const std::size_t n = Size();
    std::vector<float> values(n, 0.0f);
    if (column >= n)
        return values;
    for (std::size_t r0 = 0; r0 < n; r0 += kColumnStrip) {
        const std::size_t r1 = std::min(n, r0 + kColumnStrip);
        const std::vector<std::size_t> members = Union(Range(r0, r1), {column});
        const std::vector<float> table = TableOf(members);
        const std::size_t at = PositionOf(members, column);
        for (std::size_t i = r0; i < r1; ++i)
            values[i] = table[PositionOf(members, i) * members.size() + at];
    }
    return values;
}

std::vector<float> CPairwiseTable::Whole() const {
    return TableOf(Range(0, Size()));
}

bool CPairwiseTable::HasNotComputable() const {
    if (!IsArea() || Size() < 2)
        return false;
    const bool dorsal = measure_ != Measure::AreaVentral;
    const bool ventral = measure_ != Measure::AreaDorsal;
    return std::any_of(approximations_.begin(), approximations_.end(), [&](const auto& a) {
        return !a || (dorsal && !SideAreaComputable(*a, CSplineSide::Dorsal)) ||
               (ventral && !SideAreaComputable(*a, CSplineSide::Ventral));
    });
}
