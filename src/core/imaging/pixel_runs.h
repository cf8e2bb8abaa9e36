#pragma once

#include "imaging/grey_image.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A horizontal run of pixels [begin, end) in one row.
struct CPixelRun {
    int begin = 0;
    int end = 0;
    int Length() const { return end - begin; }
};

// A set of pixels as runs, row by row from the top, each row's runs ordered left to right and
// separated by at least one pixel. Work on runs grows with the outlines, not with the image.
class CPixelRuns {
public:
    CPixelRuns() = default;
    CPixelRuns(int width, int height) : width_(width), height_(height) { rowStart_.push_back(0); }
    static CPixelRuns Empty(int width, int height) {
        CPixelRuns runs(width, height);
        for (int y = 0; y < height; ++y)
            runs.EndRow();
        return runs;
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::size_t Count() const { return runs_.size(); }
    const CPixelRun& operator[](std::size_t i) const { return runs_[i]; }
    std::span<const CPixelRun> Row(int y) const {
        return {runs_.data() + rowStart_[static_cast<std::size_t>(y)],
                runs_.data() + rowStart_[static_cast<std::size_t>(y) + 1]};
    }
    std::size_t RowStart(int y) const { return rowStart_[static_cast<std::size_t>(y)]; }

    // Rows are filled in order: the runs of a row, then EndRow.
    void Add(int begin, int end) { runs_.push_back({begin, end}); }
    void EndRow() { rowStart_.push_back(runs_.size()); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<CPixelRun> runs_;
    std::vector<std::size_t> rowStart_;
};

// The valve's pixels: levels at or below the threshold for dark valves, above it for light ones.
CPixelRuns ValvePixelRuns(const CGreyImage& image, int threshold, bool lightValves);

// The pixels of a mask (one byte a pixel, non-zero set) as runs, and back.
CPixelRuns MaskRuns(const std::vector<std::uint8_t>& mask, int width, int height);
std::vector<std::uint8_t> RunsMask(const CPixelRuns& runs);
