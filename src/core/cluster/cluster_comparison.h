#pragma once

#include <vector>

class CApproxSpecimen;
struct CClusterData;

// Compares a member's cluster approximation with the reference's control point by control
// point: delta vectors (member minus reference), their maximum, mean and summed lengths, summed
// squared lengths and root mean square, and the areas between the curves. The last point of
// each curve is the other curve's first, so it counts only in the maximum and the vectors.
// Only indices present in both approximations are read.
void ComputeClusterData(const CApproxSpecimen& member, const CApproxSpecimen& reference,
                        CClusterData& data);

// Root-mean-square distance of the first n control points of both curves between every pair
// of approximations, as an N x N row-major matrix: symmetric with a zero diagonal. A null
// entry counts as an approximation without control points.
std::vector<float> PairwiseRmsMatrix(const std::vector<const CApproxSpecimen*>& approximations,
                                     int n);

// Entry (row, column) of that matrix, computed alone.
float PairwiseRms(const CApproxSpecimen* row, const CApproxSpecimen* column, int n);
