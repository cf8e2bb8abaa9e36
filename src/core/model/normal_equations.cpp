#include "model/normal_equations.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A pivot this much smaller than the largest diagonal element means a condition number of the
// design matrix of about 30 or more. The single-precision pseudo-inverse is no better defined
// there than this solution, and with an exactly singular system only the pseudo-inverse gives
// the minimum-norm answer; such systems are left to it.
constexpr double kPivotRatio = 1e-3;

constexpr double kRankMargin = 10.0;
constexpr int kInverseIterations = 4;

double Norm(const std::vector<double>& x) {
    double sum = 0.0;
    for (double v : x)
        sum += v * v;
    return std::sqrt(sum);
}

} // namespace

void CNormalEquations::Load(const double* gram, int stride, const std::vector<int>& columns,
                            const double* rhs, int rows) {
    unknowns_ = static_cast<int>(columns.size());
    rows_ = rows;
    matrix_.resize(static_cast<std::size_t>(unknowns_) * unknowns_); // lower triangle set below
    rhs_.resize(columns.size());
    for (int i = 0; i < unknowns_; ++i) {
        const double* row = gram + static_cast<std::size_t>(columns[i]) * stride;
        for (int j = 0; j <= i; ++j)
            At(i, j) = row[columns[j]];
        rhs_[i] = rhs[columns[i]];
    }
}

// Each row's envelope: the column of its first non-zero, and for each column the rows below
// it whose envelope reaches it, in ascending order.
void CNormalEquations::FindEnvelope() {
    const int n = unknowns_;
    first_.resize(static_cast<std::size_t>(n));
    below_.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i) {
        int f = 0;
        while (f < i && At(i, f) == 0.0)
            ++f;
        first_[static_cast<std::size_t>(i)] = f;
        for (int j = f; j < i; ++j)
            ++below_[static_cast<std::size_t>(j) + 1];
    }
    for (int j = 0; j < n; ++j)
        below_[static_cast<std::size_t>(j) + 1] += below_[static_cast<std::size_t>(j)];
    rowsBelow_.resize(static_cast<std::size_t>(below_[static_cast<std::size_t>(n)]));
    next_.assign(below_.begin(), below_.end() - 1);
    for (int i = 0; i < n; ++i)
        for (int j = first_[static_cast<std::size_t>(i)]; j < i; ++j)
            rowsBelow_[static_cast<std::size_t>(next_[static_cast<std::size_t>(j)]++)] = i;
}

// Divisions by the diagonal are products with its reciprocals, which may move the last bit.
// The matrix of an outline fit is banded apart from the two rows that close the outline, so
// the factorisation works on each row's envelope: entries left of a row's first non-zero stay
// zero in the factor, and the products skipped there are exact zeros.
bool CNormalEquations::Solve(std::vector<double>& solution) {
    const int n = unknowns_;
    if (rows_ < n)
        return false;
    double largest = 0.0;
    for (int i = 0; i < n; ++i)
        largest = std::max(largest, At(i, i));
    if (!(largest > 0.0) || !std::isfinite(largest))
        return false;
    FindEnvelope();
    // The pseudo-inverse counts singular values of A below the largest times float epsilon
    // times the size as zero. Those of A^T A are their squares; ten times that cut on A leaves
    // every system near it to the pseudo-inverse, whose answer there is the minimum-norm one.
    const double cut = kRankMargin * std::numeric_limits<float>::epsilon() * std::max(rows_, n);
    const double smallestBound = cut * cut * largest;
    const bool dominant = GershgorinLowerBound() > smallestBound;
    if (!Factorise(largest))
        return false;
    if (!dominant && SmallestEigenvalueEstimate() <= smallestBound)
        return false;
    solution.assign(rhs_.begin(), rhs_.end());
    Substitute(solution);
    return std::all_of(solution.begin(), solution.end(), [](double v) { return std::isfinite(v); });
}

// The least lower end of the Gershgorin discs: a bound below every eigenvalue that costs one
// pass over the envelope. The matrix of a fit with many points an interval is diagonally
// dominant, so the costlier estimate is rarely needed.
double CNormalEquations::GershgorinLowerBound() {
    const int n = unknowns_;
    radius_.assign(static_cast<std::size_t>(n), 0.0);
    for (int i = 0; i < n; ++i)
        for (int j = first_[static_cast<std::size_t>(i)]; j < i; ++j) {
            const double a = std::fabs(At(i, j));
            radius_[static_cast<std::size_t>(i)] += a;
            radius_[static_cast<std::size_t>(j)] += a;
        }
    double bound = std::numeric_limits<double>::infinity();
    for (int i = 0; i < n; ++i)
        bound = std::min(bound, At(i, i) - radius_[static_cast<std::size_t>(i)]);
    return bound;
}

bool CNormalEquations::Factorise(double largest) {
    const int n = unknowns_;
    inverse_.resize(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) {
        const int fj = first_[static_cast<std::size_t>(j)];
        double pivot = At(j, j);
        for (int k = fj; k < j; ++k)
            pivot -= At(j, k) * At(j, k);
        if (!(pivot > kPivotRatio * largest))
            return false;
        const double root = std::sqrt(pivot);
        const double inverse = 1.0 / root;
        At(j, j) = root;
        inverse_[static_cast<std::size_t>(j)] = inverse;
        for (int r = below_[static_cast<std::size_t>(j)];
             r < below_[static_cast<std::size_t>(j) + 1]; ++r) {
            const int i = rowsBelow_[static_cast<std::size_t>(r)];
            const int fi = first_[static_cast<std::size_t>(i)];
            double sum = At(i, j);
            for (int k = std::max(fi, fj); k < j; ++k)
                sum -= At(i, k) * At(j, k);
            At(i, j) = sum * inverse;
        }
    }
    return true;
}

// x := (L L^T)^-1 x with the factor in the lower triangle.
void CNormalEquations::Substitute(std::vector<double>& x) {
    const int n = unknowns_;
    for (int i = 0; i < n; ++i) {
        for (int k = first_[static_cast<std::size_t>(i)]; k < i; ++k)
            x[i] -= At(i, k) * x[k];
        x[i] *= inverse_[static_cast<std::size_t>(i)];
    }
    for (int i = n - 1; i >= 0; --i) {
        for (int r = below_[static_cast<std::size_t>(i)];
             r < below_[static_cast<std::size_t>(i) + 1]; ++r) {
            const int k = rowsBelow_[static_cast<std::size_t>(r)];
            x[i] -= At(k, i) * x[k];
        }
        x[i] *= inverse_[static_cast<std::size_t>(i)];
    }
}

// An upper bound of the smallest eigenvalue by inverse iteration: |x| / |M^-1 x| is never
// below it, and a few steps from a start with a share in every direction bring it close.
// Only the side of the cut matters, and the cut has a margin.
double CNormalEquations::SmallestEigenvalueEstimate() {
    const int n = unknowns_;
    probe_.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        probe_[static_cast<std::size_t>(i)] = 1.0 + 0.5 * std::sin(2.39996 * (i + 1));
    double estimate = std::numeric_limits<double>::infinity();
    for (int step = 0; step < kInverseIterations; ++step) {
        const double before = Norm(probe_);
        Substitute(probe_);
        const double after = Norm(probe_);
        if (!(after > 0.0) || !std::isfinite(after))
            return 0.0;
        estimate = before / after;
        for (double& v : probe_)
            v /= after;
    }
    return estimate;
}
