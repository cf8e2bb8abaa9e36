#pragma once

#include "cluster/spline_sample_row.h"

#include <vector>

struct CWalkPoint {
    double x = 0.0;
    double y = 0.0;
};

// The area between two sample rows A and B that are star-shaped about one centre on the axis:
// walks the angular sectors of A as seen from there, finds where B crosses it and measures the
// polygons enclosed between consecutive crossings, so that bulges on either side of a crossing
// count with their absolute size.
//
// Every crossing is found exactly once: B crosses A where A changes from outside B to inside
// or back, and on which side A passes is judged once at each ray of a sample of either row,
// so the two segments that meet at a sample agree on it whatever the rounding.
class CSectorWalk {
public:
    // The rays of both rows about the same centre; `polygon` is working storage, so that many
    // walks allocate it once.
    CSectorWalk(const CSplineSampleRow& a, const CRays& raysA, const CSplineSampleRow& b,
                const CRays& raysB, std::vector<CWalkPoint>& polygon)
        : a_(a), b_(b), raysA_(raysA), raysB_(raysB), l_(polygon) {}

    // Appends the area of each enclosed piece to `pieces`, in the order the walk closes them.
    void Run(std::vector<double>& pieces);

private:
    void Sector(int p, std::vector<double>& pieces);
    bool Crosses(int p, int j, bool outsideAtEnd, CWalkPoint& x) const;
    bool OutsideAtEnd(int p, int j) const;
    bool OutsideOnRay(int k, int m) const;
    void ClosePiece(int p, int j, CWalkPoint x, std::vector<double>& pieces);
    void CloseLast(std::vector<double>& pieces);

    const CSplineSampleRow& a_;
    const CSplineSampleRow& b_;
    const CRays& raysA_;
    const CRays& raysB_;
    std::vector<CWalkPoint>& l_;
    int f_ = 1;            // first sample of B not yet passed
    int s_ = 1;            // first sample of A not yet in a polygon
    int g_ = 0;            // segment of B at the last crossing
    bool outside_ = false; // A outside B where the next shared range starts
};
