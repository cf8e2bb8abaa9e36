#pragma once

#include "model/fpoint.h"
#include "model/half_design.h"
#include "model/normal_equations.h"
#include "model/quadratic_basis.h"

#include <vector>

// The least-squares solve of the outline fit that uses the structure of its design matrices:
// each row holds the at most three non-zero basis values of one data point, so the normal
// equations are gathered in a few updates per point and solved in double precision. The
// y system is the x system without the two end points' columns (their y stays on the axis),
// so one gathered matrix serves both. The storage is kept from one solve to the next.
class CSparseHalvesSolver {
public:
    CSparseHalvesSolver(const std::vector<FPoint>& ventral, const std::vector<FPoint>& dorsal,
                        int g);

    // Q[1..2g] as the pseudo-inverse solve gives it for a well-conditioned system: x of all
    // points, y of the inner ones (the ends stay on the axis). False when the system is
    // rank-deficient or ill-conditioned; q is then unspecified.
    bool Solve(const std::vector<float>& tv, const std::vector<float>& td, std::vector<FPoint>& q);

    const CQuadraticBasis& Basis() const { return basis_; }
    // The rows of each half with the basis at the parameters of the last Solve, whatever its
    // result.
    const CHalfDesign& Ventral() const { return ventral_; }
    const CHalfDesign& Dorsal() const { return dorsal_; }

private:
    void GatherHalf(const CHalfDesign& half, const int* column);
    static void SumRun(const CHalfDesign& half, const CHalfDesign::Run& run, double* sums);
    void GatherRow(const CQuadraticBasis::Active& active, const int* column, double x, double y);
    double& Entry(int i, int j); // of the lower triangle of A^T A

    int g_;
    int rows_;
    CQuadraticBasis basis_;
    CHalfDesign ventral_;
    CHalfDesign dorsal_;
    // The x column of basis function c in a ventral and in a dorsal row.
    std::vector<int> ventralColumn_;
    std::vector<int> dorsalColumn_;
    std::vector<int> xColumns_; // 0 ... 2g - 1
    std::vector<int> yColumns_; // the x columns of the inner points
    std::vector<double> gram_;  // A^T A of the x system, lower triangle, 2g x 2g
    std::vector<double> rhsX_;
    std::vector<double> rhsY_; // indexed like the x columns
    CNormalEquations system_;
    std::vector<double> solution_;
};
