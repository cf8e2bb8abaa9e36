#pragma once

#include <vector>

// A linear least-squares problem min |A q - b| given by its normal equations A^T A q = A^T b in
// double precision and solved by Cholesky factorisation. The caller gathers A^T A and A^T b
// (for a design matrix with a few non-zeros per row that costs a few updates per row) and
// loads the unknowns it wants. Solve refuses a system that is rank-deficient or too
// ill-conditioned to be trusted, so the caller can fall back to a method that handles it (the
// minimum-norm pseudo-inverse).
class CNormalEquations {
public:
    // The system of the unknowns `columns` (ascending) of a gathered A^T A, of which the lower
    // triangle is read (row i at gram[i * stride]), with A^T b in `rhs` indexed like its
    // columns; `rows` is the number of rows of A.
    void Load(const double* gram, int stride, const std::vector<int>& columns, const double* rhs,
              int rows);
    // False when the system is (nearly) singular; `solution` is then unspecified.
    bool Solve(std::vector<double>& solution);

private:
    void FindEnvelope();
    double GershgorinLowerBound();
    bool Factorise(double largest);
    void Substitute(std::vector<double>& x);
    double SmallestEigenvalueEstimate();
    double& At(int i, int j) { return matrix_[static_cast<std::size_t>(i) * unknowns_ + j]; }

    int unknowns_ = 0;
    int rows_ = 0;
    std::vector<double> matrix_; // lower triangle used
    std::vector<double> rhs_;
    std::vector<int> first_;      // per row, the column of its first non-zero
    std::vector<int> below_;      // per column j, rowsBelow_[below_[j] ... below_[j + 1] - 1]
    std::vector<int> rowsBelow_;  // the rows i > j with first_[i] <= j, ascending
    std::vector<int> next_;       // where the next row of each column goes, while filling
    std::vector<double> inverse_; // reciprocals of the factor's diagonal
    std::vector<double> radius_;  // Gershgorin radii
    std::vector<double> probe_;   // the vector of the inverse iteration
};
