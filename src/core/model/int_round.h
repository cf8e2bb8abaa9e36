#pragma once

#include <climits>
#include <cmath>

// Float to integer conversions of the drawing code. Values beyond the int range (or not a
// number) saturate instead of being undefined, so hostile coordinates cannot crash a picture.
inline int TruncToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

// Nearest integer, halves away from zero (x + 0.5 or x - 0.5, then truncated).
inline int RoundHalfAway(float v) {
    return TruncToInt(v >= 0.0f ? v + 0.5 : v - 0.5);
}
