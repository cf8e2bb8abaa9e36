#pragma once

#include "model/fpoint.h"
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
    // The basis values and slopes at each point's parameter as of the last Solve, whatever its
    // result.
    const std::vector<CQuadraticBasis::Active>& VentralValues() const { return ventralValues_; }
    const std::vector<CQuadraticBasis::Active>& DorsalValues() const { return dorsalValues_; }
    const std::vector<CQuadraticBasis::Active>& VentralSlopes() const { return ventralSlopes_; }
    const std::vector<CQuadraticBasis::Active>& DorsalSlopes() const { return dorsalSlopes_; }

private:
    void GatherHalf(const std::vector<float>& t, const std::vector<FPoint>& points,
                    const int* column, std::vector<CQuadraticBasis::Active>& values,
                    std::vector<CQuadraticBasis::Active>& slopes);
    void Gather(const CQuadraticBasis::Active& active, const int* column, const FPoint& p);
    void AddRun(int column, const double* sums);

    const std::vector<FPoint>& ventral_;
    const std::vector<FPoint>& dorsal_;
    int g_;
    CQuadraticBasis basis_;
    // The x column of basis function c in a ventral and in a dorsal row.
    std::vector<int> ventralColumn_;
    std::vector<int> dorsalColumn_;
    std::vector<int> xColumns_; // 0 ... 2g - 1
    std::vector<int> yColumns_; // the x columns of the inner points
    std::vector<double> gram_;  // A^T A of the x system, lower triangle, 2g x 2g
    std::vector<double> rhsX_;
    std::vector<double> rhsY_; // indexed like the x columns
    std::vector<CQuadraticBasis::Active> ventralValues_;
    std::vector<CQuadraticBasis::Active> dorsalValues_;
    std::vector<CQuadraticBasis::Active> ventralSlopes_;
    std::vector<CQuadraticBasis::Active> dorsalSlopes_;
    CNormalEquations system_;
    std::vector<double> solution_;
};
