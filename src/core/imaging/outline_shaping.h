#pragma once

#include "imaging/dpoint.h"
#include "model/fpoint.h"

#include <vector>

// Signed area of a closed outline in image coordinates (y down): negative when the outline
// runs anticlockwise as the image is seen.
double SignedArea(const std::vector<DPoint>& outline);

// The area centroid of a closed outline.
DPoint AreaCentroid(const std::vector<DPoint>& outline);

// The length of a closed outline.
double Perimeter(const std::vector<DPoint>& outline);

// Light smoothing: each pass replaces every point by a quarter of each neighbour and half of
// itself.
void SmoothOutline(std::vector<DPoint>& outline, int passes);

// Puts the outline into its documented order: anticlockwise as the image is seen, starting
// where the horizontal line through the area centroid meets the outline furthest right (that
// point is added when it is not a point of the outline already).
void OrderOutline(std::vector<DPoint>& outline);

// `count` points equally spaced along the closed outline, the first at its first point.
std::vector<DPoint> ResampleOutline(const std::vector<DPoint>& outline, int count);

// The outline in single precision without repeated points: points that become equal as floats
// are kept once, the first of them.
std::vector<FPoint> ToFloatOutline(const std::vector<DPoint>& outline);
