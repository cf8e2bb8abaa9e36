#pragma once

#include "model/int_round.h"

// A window extent from a float size, truncated toward zero. The device context refuses a zero
// extent, so a degenerate picture (a single point, a straight line) keeps a unit extent of the
// intended sign instead of the previous mapping's.
inline int MappingExtent(double value, int fallback) {
    const int extent = TruncToInt(value);
    return extent != 0 ? extent : fallback;
}
