#pragma once

#include "cluster/spline_sample_row.h"

#include <optional>

// The area between two sample rows that need not be star-shaped: the symmetric difference of the
// regions that each row encloses with the axis segment between its ends, by polygon clipping.
// Each region is filled by the even-odd rule, so a row that folds back or crosses itself still
// encloses a defined region. For star-shaped rows it is the area the sector walk measures.
// Nothing when the clipping fails.
std::optional<double> PolygonAreaBetween(const CSplineSampleRow& a, const CSplineSampleRow& b);
