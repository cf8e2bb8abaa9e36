#pragma once

#include "model/fpoint.h"
#include "model/quadratic_basis.h"

#include <cstddef>
#include <vector>

// The rows of one outline half's design matrix: its data points and the basis values and
// slopes at their parameters. Consecutive points mostly lie strictly inside one knot span,
// where the same three functions are active; such a run is kept as plain arrays that the
// gather, the curve points and the parameter correction walk with the run's control points
// held fixed. Every value is the one the per-point formulas of CQuadraticBasis give.
class CHalfDesign {
public:
    // Points begin ... end - 1. A run with first < 0 is one point on a knot or at an end, with
    // its general values and slopes (up to four functions).
    struct Run {
        std::size_t begin = 0;
        std::size_t end = 0;
        int first = -1; // N_first ... N_(first + 2) are active
    };

    explicit CHalfDesign(const std::vector<FPoint>& points);

    // The basis at each point's parameter t[k].
    void Evaluate(const CQuadraticBasis& basis, const std::vector<float>& t);

    const std::vector<Run>& Runs() const { return runs_; }
    // The three values of a point in a run, and the general values of a point outside one.
    float Value(int i, std::size_t k) const { return values_[i][k]; }
    const CQuadraticBasis::Active& GeneralValues(std::size_t k) const { return general_[k]; }
    const double* X() const { return x_.data(); }
    const double* Y() const { return y_.data(); }

    // The curve point at each parameter, summed in the order of CBSpline; the control points
    // must be finite.
    void CurvePoints(const std::vector<FPoint>& controlPoints, std::vector<FPoint>& curve) const;
    // One Newton-type step per inner point towards the foot of its perpendicular on the curve
    // (finite control points); the first parameter becomes 0 and the last 1. The squared
    // tangent length is the dot product of the tangent with itself.
    void CorrectParameters(const std::vector<FPoint>& controlPoints, std::vector<float>& t) const;

private:
    void EvaluateRun(const CQuadraticBasis::Span& span, const float* t, std::size_t begin,
                     std::size_t end);

    std::vector<float> px_; // the points' coordinates
    std::vector<float> py_;
    std::vector<double> x_; // the same, widened once for the gather
    std::vector<double> y_;
    std::vector<float> values_[3];
    std::vector<float> slopes_[3];
    std::vector<CQuadraticBasis::Active> general_;
    std::vector<CQuadraticBasis::Active> generalSlopes_;
    std::vector<Run> runs_;
};
