#pragma once

#include "imaging/grey_image.h"

#include <cstdint>
#include <vector>

// How often each level occurs in the image; MaxLevel() + 1 entries.
std::vector<std::uint64_t> GreyHistogram(const CGreyImage& image);

// Otsu's threshold: the level that splits the histogram into a dark class (levels at or below
// it) and a light class with the largest variance between the two. Where several adjacent
// levels give the same split (no pixel lies between them), the middle one is taken, so that a
// clean two-level image is cut halfway between its levels rather than at the dark one.
struct COtsuThreshold {
    bool found = false;      // false when the image has a single level
    int level = 0;
    double separability = 0; // between-class over total variance, 0 to 1
};

COtsuThreshold OtsuThreshold(const std::vector<std::uint64_t>& histogram);
