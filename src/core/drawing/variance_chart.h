#pragma once

#include "platform/gdi_types.h"

class CDC;
class CMorphospace;

// How much of the shape variation each component explains: a bar for each of the first ten
// components at most (its share in per cent written above it) and the cumulative share as a
// line, on a scale of 0 to 100 %. Drawn into `area` in device pixels with a mapping of its own
// (device units, y down); sizes follow the device's resolution like the morphospace picture.
void DrawVarianceChart(CDC& dc, const CMorphospace& space, const CRect& area);
