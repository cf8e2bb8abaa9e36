#pragma once

#include "model/approx_specimen.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

// One of the four pairwise tables of a cluster, over copies of its members' approximations,
// computed where it is read: entries come in square blocks kept in a cache of bounded size, so
// a table of ten thousand members never holds its hundred million entries. Every entry is the
// one the whole-table function gives: a block is that function over the block's members, in
// their cluster order. The rows may be put in another order (a sorted view of the table);
// blocks then follow the rows as shown, so what is on screen is computed together.
class CPairwiseTable {
public:
    enum class Measure { MeanDelta, AreaDorsal, AreaVentral, AreaTotal };

    static constexpr std::size_t kBlock = 32;
    static constexpr std::size_t kDefaultCachedBlocks = 4096; // 16 MB

    // A null approximation counts as one without control points (not computable).
    CPairwiseTable(Measure measure, std::vector<std::unique_ptr<CApproxSpecimen>> approximations,
                   int controlPoints, std::size_t cachedBlocks = kDefaultCachedBlocks);

    std::size_t Size() const { return approximations_.size(); }
    Measure GetMeasure() const { return measure_; }
    bool IsArea() const { return measure_ != Measure::MeanDelta; }

    // The member shown in each row, a permutation of 0 ... Size() - 1; at first the identity.
    void SetRowOrder(std::vector<std::size_t> order);
    const std::vector<std::size_t>& RowOrder() const { return order_; }

    // The entry of the member in that row (in the row order) and the member of that column.
    float Entry(std::size_t row, std::size_t column);
    // One column whole, computed in strips of rows beside it.
    std::vector<float> Column(std::size_t column) const;
    // The whole table, row-major: only for tables small enough to hold.
    std::vector<float> Whole() const;
    // Whether an entry is marked not computable (negative): exactly when two members exist and
    // one of them cannot give an area of the table's side(s).
    bool HasNotComputable() const;

    std::size_t CachedBlocks() const { return blocks_.size(); }

private:
    struct CBlock {
        std::vector<float> values; // kBlock x kBlock, row-major
        std::uint64_t lastUse = 0;
    };

    // The whole-table function over some members, given by increasing index.
    std::vector<float> TableOf(const std::vector<std::size_t>& members) const;
    CBlock& BlockAt(std::size_t rowBlock, std::size_t columnBlock);
    void ComputeBlocks(std::size_t rowBlock, std::size_t columnBlock);
    void EvictOldest();

    Measure measure_;
    std::vector<std::unique_ptr<CApproxSpecimen>> approximations_;
    int controlPoints_;
    std::vector<std::size_t> order_;
    bool inClusterOrder_ = true;
    std::size_t cachedBlocks_;
    std::unordered_map<std::uint64_t, CBlock> blocks_;
    std::uint64_t clock_ = 0;
};
