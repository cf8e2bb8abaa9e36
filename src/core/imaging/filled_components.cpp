#include "imaging/filled_components.h"

#include <algorithm>
#include <numeric>

namespace {

// Union-find over run indices; the smaller index is the root, so labels do not depend on the
// order of the unions.
class CRunSets {
public:
    explicit CRunSets(std::size_t count) : parent_(count) {
        std::iota(parent_.begin(), parent_.end(), std::uint32_t{0});
    }
    std::uint32_t Find(std::uint32_t i) {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    void Join(std::uint32_t a, std::uint32_t b) {
        a = Find(a);
        b = Find(b);
        if (a < b)
            parent_[b] = a;
        else if (b < a)
            parent_[a] = b;
    }

private:
    std::vector<std::uint32_t> parent_;
};

// Joins the runs of two neighbouring rows that touch: sharing a column (`reach` 0, for
// 4-connected sets) or also a corner (`reach` 1, for 8-connected ones).
void JoinRows(const CPixelRuns& runs, int upper, int reach, CRunSets& sets) {
    const auto above = runs.Row(upper);
    const auto below = runs.Row(upper + 1);
    const std::size_t aboveStart = runs.RowStart(upper);
    const std::size_t belowStart = runs.RowStart(upper + 1);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < above.size() && j < below.size()) {
        if (above[i].begin < below[j].end + reach && below[j].begin < above[i].end + reach)
            sets.Join(static_cast<std::uint32_t>(aboveStart + i),
                      static_cast<std::uint32_t>(belowStart + j));
        if (above[i].end < below[j].end)
            ++i;
        else
            ++j;
    }
}

CRunSets ConnectedSets(const CPixelRuns& runs, int reach) {
    CRunSets sets(runs.Count());
    for (int y = 0; y + 1 < runs.Height(); ++y)
        JoinRows(runs, y, reach, sets);
    return sets;
}

CPixelRuns Complement(const CPixelRuns& runs) {
    CPixelRuns gaps(runs.Width(), runs.Height());
    for (int y = 0; y < runs.Height(); ++y) {
        int x = 0;
        for (const CPixelRun& run : runs.Row(y)) {
            if (run.begin > x)
                gaps.Add(x, run.begin);
            x = run.end;
        }
        if (x < runs.Width())
            gaps.Add(x, runs.Width());
        gaps.EndRow();
    }
    return gaps;
}

// The valve pixels with their holes: everything but the background that reaches the border.
CPixelRuns FillHoles(const CPixelRuns& valvePixels) {
    const CPixelRuns background = Complement(valvePixels);
    CRunSets sets = ConnectedSets(background, 0);
    const int width = background.Width();
    const int height = background.Height();
    std::vector<std::uint8_t> outside(background.Count(), 0);
    for (int y = 0; y < height; ++y) {
        const auto row = background.Row(y);
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (y == 0 || y == height - 1 || row[i].begin == 0 || row[i].end == width)
                outside[sets.Find(static_cast<std::uint32_t>(background.RowStart(y) + i))] = 1;
        }
    }
    CPixelRuns filled(width, height);
    for (int y = 0; y < height; ++y) {
        const auto row = background.Row(y);
        int x = 0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (!outside[sets.Find(static_cast<std::uint32_t>(background.RowStart(y) + i))])
                continue;
            if (row[i].begin > x)
                filled.Add(x, row[i].begin);
            x = row[i].end;
        }
        if (x < width)
            filled.Add(x, width);
        filled.EndRow();
    }
    return filled;
}

} // namespace

CFilledComponents FindFilledComponents(const CPixelRuns& valvePixels) {
    CFilledComponents result;
    result.filled = FillHoles(valvePixels);
    const CPixelRuns& filled = result.filled;
    CRunSets sets = ConnectedSets(filled, 1);

    // Components numbered in the order of their first run.
    std::vector<std::uint32_t> label(filled.Count());
    std::vector<CFilledComponent>& components = result.components;
    const int width = filled.Width();
    const int height = filled.Height();
    for (int y = 0; y < height; ++y) {
        for (std::size_t i = filled.RowStart(y); i < filled.RowStart(y + 1); ++i) {
            const std::uint32_t root = sets.Find(static_cast<std::uint32_t>(i));
            if (root == i) {
                label[i] = static_cast<std::uint32_t>(components.size());
                CFilledComponent c;
                c.left = filled[i].begin;
                c.right = filled[i].end;
                c.top = y;
                components.push_back(c);
            } else {
                label[i] = label[root];
            }
            CFilledComponent& c = components[label[i]];
            const CPixelRun& run = filled[i];
            c.area += run.Length();
            c.left = std::min(c.left, run.begin);
            c.right = std::max(c.right, run.end);
            c.bottom = y + 1;
            c.touchesBorder = c.touchesBorder || y == 0 || y == height - 1 || run.begin == 0 ||
                              run.end == width;
            ++c.runCount;
        }
    }

    // Each valve run lies in exactly one filled run of its row.
    for (int y = 0; y < height; ++y) {
        std::size_t j = filled.RowStart(y);
        for (const CPixelRun& run : valvePixels.Row(y)) {
            while (filled[j].end < run.end)
                ++j;
            components[label[j]].valvePixels += run.Length();
        }
    }

    // Runs grouped by component, in row order within each.
    std::size_t offset = 0;
    for (CFilledComponent& c : components) {
        c.firstRun = offset;
        offset += c.runCount;
    }
    std::vector<std::size_t> next(components.size());
    for (std::size_t k = 0; k < components.size(); ++k)
        next[k] = components[k].firstRun;
    result.componentRuns.resize(filled.Count());
    for (std::size_t i = 0; i < filled.Count(); ++i)
        result.componentRuns[next[label[i]]++] = static_cast<std::uint32_t>(i);
    return result;
}
