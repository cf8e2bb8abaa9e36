#pragma once

#include "imaging/pixel_runs.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One valve candidate: 8-connected pixels together with every hole they enclose (background
// not 4-connected to the image border), so that only its outer boundary remains.
struct CFilledComponent {
    std::int64_t area = 0;        // pixels, holes included
    std::int64_t valvePixels = 0; // pixels on the valve's side of the threshold
    int left = 0;                 // bounds [left, right) x [top, bottom)
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool touchesBorder = false;
    std::size_t firstRun = 0; // its runs in CFilledComponents::componentRuns, row by row
    std::size_t runCount = 0;
};

struct CFilledComponents {
    CPixelRuns filled;                       // the valve pixels with their holes
    std::vector<std::uint32_t> componentRuns; // indices into `filled`, grouped by component
    std::vector<CFilledComponent> components; // in the order of their first pixel, row by row
};

CFilledComponents FindFilledComponents(const CPixelRuns& valvePixels);
