#pragma once

#include "imaging/dpoint.h"
#include "imaging/filled_components.h"
#include "imaging/grey_image.h"

#include <vector>

// The outer boundary of one filled component by marching squares over the pixel centres: one
// point on every link between a component pixel and a 4-neighbour outside it, in the order
// the boundary passes them. The point lies where the grey levels, interpolated linearly
// between the two pixel centres, cross the threshold (halfway between a level at or below it
// and one above it), so that an anti-aliased edge lands between the pixels; where the levels
// do not straddle the threshold (a filled hole, what the opening removed, the image's edge)
// it lies halfway. Where two component pixels meet only at a corner the boundary passes
// between them, as the component is 8-connected, so the result is one closed outline.
// Coordinates: pixel (x, y) has its centre at (x + 0.5, y + 0.5).
std::vector<DPoint> TraceOuterBoundary(const CFilledComponents& components, std::size_t index,
                                       const CGreyImage& image, int threshold, bool lightValves);
