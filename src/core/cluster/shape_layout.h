#pragma once

#include "model/fpoint.h"

#include <vector>

class CApproxSpecimen;

// Which coordinates of a cluster approximation make up its shape vector. Every distinct control
// point counts once: dorsal 0 ... n - 1 (dorsal 0 is m1), then ventral 0 ... n - 1 (ventral 0 is
// m2); dorsal n and ventral n repeat m2 and m1. Coordinates every member shares by
// construction are left out: the y of m1 and m2, which lie on the first main axis, and under
// m1-m2 normalisation their x (+1000 and -1000).
class CShapeLayout {
public:
    CShapeLayout(int controlPointsCnt, bool outerXFixed);

    int Intervals() const { return intervals_; }
    // Coordinates of all distinct points: 4n.
    int FullSize() const { return 4 * intervals_; }
    // Coordinates of a shape vector: 4n - 2, or 4n - 4 with the outer x fixed.
    int Size() const { return static_cast<int>(kept_.size()); }

    // All distinct coordinates in layout order (x, y of each point); false when a curve does
    // not hold n + 1 control points or a coordinate is not finite.
    bool ReadFull(const CApproxSpecimen& approx, double* full) const;
    // The shape vector from all distinct coordinates.
    void Keep(const double* full, double* shape) const;
    // Puts a shape vector into all distinct coordinates; the left-out ones are not touched.
    void Scatter(const double* shape, double* full) const;
    // Both curves' control points from all distinct coordinates, the shared points repeated.
    void ToCurves(const double* full, std::vector<FPoint>& dorsal,
                  std::vector<FPoint>& ventral) const;

private:
    int intervals_;
    std::vector<int> kept_; // index into the full coordinates for each shape coordinate
};
