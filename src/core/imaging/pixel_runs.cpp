#include "imaging/pixel_runs.h"

#include <algorithm>

namespace {

// Runs of the pixels for which `inside` holds, row by row.
template <class TValue, class TInside>
CPixelRuns CollectRuns(const TValue* values, int width, int height, TInside inside) {
    CPixelRuns runs(width, height);
    for (int y = 0; y < height; ++y) {
        const TValue* row = values + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        int x = 0;
        while (x < width) {
            while (x < width && !inside(row[x]))
                ++x;
            if (x == width)
                break;
            const int begin = x;
            while (x < width && inside(row[x]))
                ++x;
            runs.Add(begin, x);
        }
        runs.EndRow();
    }
    return runs;
}

} // namespace

CPixelRuns ValvePixelRuns(const CGreyImage& image, int threshold, bool lightValves) {
    const std::uint16_t* levels = image.levels.data();
    if (lightValves)
        return CollectRuns(levels, image.width, image.height,
                           [threshold](std::uint16_t v) { return v > threshold; });
    return CollectRuns(levels, image.width, image.height,
                       [threshold](std::uint16_t v) { return v <= threshold; });
}

CPixelRuns MaskRuns(const std::vector<std::uint8_t>& mask, int width, int height) {
    return CollectRuns(mask.data(), width, height, [](std::uint8_t v) { return v != 0; });
}

std::vector<std::uint8_t> RunsMask(const CPixelRuns& runs) {
    const std::size_t width = static_cast<std::size_t>(runs.Width());
    std::vector<std::uint8_t> mask(width * static_cast<std::size_t>(runs.Height()), 0);
    for (int y = 0; y < runs.Height(); ++y) {
        std::uint8_t* row = mask.data() + static_cast<std::size_t>(y) * width;
        for (const CPixelRun& run : runs.Row(y))
            std::fill(row + run.begin, row + run.end, std::uint8_t{1});
    }
    return mask;
}
