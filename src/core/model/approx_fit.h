#pragma once

#include "model/fpoint.h"

#include <string>
#include <vector>

// The least-squares fit of the two outline halves by quadratic B-splines with g + 1 control
// points each, sharing their end points on the first main axis (y = 0).
struct CApproxFitResult {
    std::vector<FPoint> ventral; // g + 1 control points, m2 first, m1 last
    std::vector<FPoint> dorsal;  // g + 1 control points, m1 first, m2 last
    std::vector<float> ventralParams;
    std::vector<float> dorsalParams;
    // The curve point at each data point's parameter, as CBSpline::Evaluate gives it.
    std::vector<FPoint> ventralCurve;
    std::vector<FPoint> dorsalCurve;
};

// How the least-squares systems are solved. Sparse uses the few non-zeros of each design-matrix
// row (normal equations in double precision, basis knots computed once) and turns to the
// pseudo-inverse for every system that is rank-deficient or ill-conditioned; PseudoInverse is
// the plain single-precision SVD pseudo-inverse of the full design matrices throughout. Both
// give the same control points within float precision.
enum class CFitSolver { Sparse, PseudoInverse };

struct CApproxFitSettings {
    int controlPoints = 8; // g
    bool applyCorrection = true;
    int iterations = 6;
    CFitSolver solver = CFitSolver::Sparse;
};

// ventral: the lower half from left to right; dorsal: the upper half from right to left, both
// in normal position. False, with a message for the user, when the halves cannot be fitted.
bool FitOutlineHalves(const std::vector<FPoint>& ventral, const std::vector<FPoint>& dorsal,
                      const CApproxFitSettings& settings, CApproxFitResult& result,
                      std::string& error);
