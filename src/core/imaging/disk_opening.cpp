#include "imaging/disk_opening.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Half the width of the disk's row at vertical offset dy.
std::vector<int> DiskHalfWidths(int radius) {
    std::vector<int> half(static_cast<std::size_t>(2 * radius + 1));
    for (int dy = -radius; dy <= radius; ++dy) {
        const long long rest = static_cast<long long>(radius) * radius -
                               static_cast<long long>(dy) * dy;
        int h = static_cast<int>(std::sqrt(static_cast<double>(rest)));
        while (static_cast<long long>(h + 1) * (h + 1) <= rest)
            ++h;
        while (static_cast<long long>(h) * h > rest)
            --h;
        half[static_cast<std::size_t>(dy + radius)] = h;
    }
    return half;
}

// Keeps of `kept` only what also lies in a run of `row` shrunk by h at both ends.
void IntersectShrunk(std::vector<CPixelRun>& kept, std::span<const CPixelRun> row, int h,
                     std::vector<CPixelRun>& scratch) {
    scratch.clear();
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < kept.size() && j < row.size()) {
        const int b = row[j].begin + h;
        const int e = row[j].end - h;
        if (b >= e) {
            ++j;
            continue;
        }
        const int lo = std::max(kept[i].begin, b);
        const int hi = std::min(kept[i].end, e);
        if (lo < hi)
            scratch.push_back({lo, hi});
        if (kept[i].end < e)
            ++i;
        else
            ++j;
    }
    kept.swap(scratch);
}

CPixelRuns Erode(const CPixelRuns& pixels, const std::vector<int>& half, int radius) {
    const int width = pixels.Width();
    const int height = pixels.Height();
    CPixelRuns eroded(width, height);
    std::vector<CPixelRun> kept;
    std::vector<CPixelRun> scratch;
    for (int y = 0; y < height; ++y) {
        kept.assign(1, {0, width});
        for (int dy = -radius; dy <= radius && !kept.empty(); ++dy) {
            if (y + dy < 0 || y + dy >= height)
                kept.clear();
            else
                IntersectShrunk(kept, pixels.Row(y + dy),
                                half[static_cast<std::size_t>(dy + radius)], scratch);
        }
        for (const CPixelRun& run : kept)
            eroded.Add(run.begin, run.end);
        eroded.EndRow();
    }
    return eroded;
}

CPixelRuns Dilate(const CPixelRuns& pixels, const std::vector<int>& half, int radius) {
    const int width = pixels.Width();
    const int height = pixels.Height();
    CPixelRuns dilated(width, height);
    std::vector<CPixelRun> grown;
    for (int y = 0; y < height; ++y) {
        grown.clear();
        for (int dy = -radius; dy <= radius; ++dy) {
            if (y + dy < 0 || y + dy >= height)
                continue;
            const int h = half[static_cast<std::size_t>(dy + radius)];
            for (const CPixelRun& run : pixels.Row(y + dy))
                grown.push_back({std::max(0, run.begin - h), std::min(width, run.end + h)});
        }
        std::sort(grown.begin(), grown.end(),
                  [](const CPixelRun& a, const CPixelRun& b) { return a.begin < b.begin; });
        // Runs that touch or overlap become one, so that runs stay a pixel apart.
        std::size_t i = 0;
        while (i < grown.size()) {
            const int begin = grown[i].begin;
            int end = grown[i].end;
            for (++i; i < grown.size() && grown[i].begin <= end; ++i)
                end = std::max(end, grown[i].end);
            dilated.Add(begin, end);
        }
        dilated.EndRow();
    }
    return dilated;
}

} // namespace

CPixelRuns OpenWithDisk(const CPixelRuns& pixels, int radius) {
    if (radius <= 0)
        return pixels;
    // No disk that wide fits into the image: nothing is left.
    if (2 * static_cast<long long>(radius) + 1 > std::min(pixels.Width(), pixels.Height()))
        return CPixelRuns::Empty(pixels.Width(), pixels.Height());
    const std::vector<int> half = DiskHalfWidths(radius);
    return Dilate(Erode(pixels, half, radius), half, radius);
}
