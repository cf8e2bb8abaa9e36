#include "model/sparse_halves_solver.h"

#include <algorithm>

// x columns (0-based): a ventral row has basis function c in column c; a dorsal row has
// function c < g in column g + c and the last one, which ends at the left end point, in
// column 0. The y unknowns are the inner points' x columns 1 ... g - 1 and g + 1 ... 2g - 1:
// no row has a non-zero in both column groups, so the y system's matrix is exactly that part
// of the x system's, gathered in the same order.
CSparseHalvesSolver::CSparseHalvesSolver(const std::vector<FPoint>& ventral,
                                         const std::vector<FPoint>& dorsal, int g)
    : g_(g), rows_(static_cast<int>(ventral.size() + dorsal.size())), basis_(g), ventral_(ventral),
      dorsal_(dorsal) {
    for (int c = 0; c <= g; ++c) {
        ventralColumn_.push_back(c);
        dorsalColumn_.push_back(c == g ? 0 : g + c);
    }
    for (int j = 0; j < 2 * g; ++j) {
        xColumns_.push_back(j);
        if (j != 0 && j != g)
            yColumns_.push_back(j);
    }
}

double& CSparseHalvesSolver::Entry(int i, int j) {
    const std::size_t stride = static_cast<std::size_t>(2 * g_);
    return gram_[static_cast<std::size_t>(std::max(i, j)) * stride +
                 static_cast<std::size_t>(std::min(i, j))];
}

namespace {

// Two doubles that the compiler keeps in one vector register where it can.
using Pair = double __attribute__((vector_size(16)));

} // namespace

// The twelve sums of a run of rows with the same three basis functions (the six matrix
// entries, then three of each right-hand side), each in point order, two at a time in the
// halves of a vector register. Each product of two floats is exact in double.
void CSparseHalvesSolver::SumRun(const CHalfDesign& half, const CHalfDesign::Run& run,
                                 double* sums) {
    const double* px = half.X();
    const double* py = half.Y();
    Pair g00g10 = {sums[0], sums[1]};
    Pair g11g21 = {sums[2], sums[4]};
    Pair g20g22 = {sums[3], sums[5]};
    Pair x0x1 = {sums[6], sums[7]};
    Pair x2y2 = {sums[8], sums[11]};
    Pair y0y1 = {sums[9], sums[10]};
    for (std::size_t k = run.begin; k < run.end; ++k) {
        const double v0 = half.Value(0, k);
        const double v1 = half.Value(1, k);
        const double v2 = half.Value(2, k);
        const double x = px[k];
        const double y = py[k];
        const Pair v01 = {v0, v1};
        g00g10 += v01 * Pair{v0, v0};
        g11g21 += Pair{v1, v2} * Pair{v1, v1};
        g20g22 += Pair{v0, v2} * Pair{v2, v2};
        x0x1 += v01 * Pair{x, x};
        x2y2 += Pair{v2, v2} * Pair{x, y};
        y0y1 += v01 * Pair{y, y};
    }
    const double result[12] = {g00g10[0], g00g10[1], g11g21[0], g20g22[0], g11g21[1], g20g22[1],
                               x0x1[0],   x0x1[1],   x2y2[0],   y0y1[0],   y0y1[1],   x2y2[1]};
    std::copy(result, result + 12, sums);
}

// A run in consecutive columns is summed on its own and added to the system once. Where the
// dorsal half wraps to column 0, and for the rows on a knot or at an end, the rows are added
// to the entries one by one.
void CSparseHalvesSolver::GatherHalf(const CHalfDesign& half, const int* column) {
    for (const CHalfDesign::Run& run : half.Runs()) {
        if (run.first < 0) {
            GatherRow(half.GeneralValues(run.begin), column, half.X()[run.begin],
                      half.Y()[run.begin]);
            continue;
        }
        const int* c = column + run.first;
        double* const at[12] = {&Entry(c[0], c[0]), &Entry(c[1], c[0]), &Entry(c[1], c[1]),
                                &Entry(c[2], c[0]), &Entry(c[2], c[1]), &Entry(c[2], c[2]),
                                &rhsX_[c[0]],       &rhsX_[c[1]],       &rhsX_[c[2]],
                                &rhsY_[c[0]],       &rhsY_[c[1]],       &rhsY_[c[2]]};
        const bool rowByRow = c[2] != c[0] + 2;
        double sums[12];
        for (int i = 0; i < 12; ++i)
            sums[i] = rowByRow ? *at[i] : 0.0;
        SumRun(half, run, sums);
        for (int i = 0; i < 12; ++i)
            *at[i] = rowByRow ? sums[i] : *at[i] + sums[i];
    }
}

// One row added on its own.
void CSparseHalvesSolver::GatherRow(const CQuadraticBasis::Active& active, const int* column,
                                    double x, double y) {
    const int* c = column + active.first;
    const float* v = active.value;
    for (int a = 0; a < active.count; ++a) {
        rhsX_[c[a]] += static_cast<double>(v[a]) * x;
        rhsY_[c[a]] += static_cast<double>(v[a]) * y;
    }
    for (int a = 0; a < active.count; ++a)
        for (int b = 0; b <= a; ++b)
            Entry(c[a], c[b]) += static_cast<double>(v[a]) * v[b];
}

bool CSparseHalvesSolver::Solve(const std::vector<float>& tv, const std::vector<float>& td,
                                std::vector<FPoint>& q) {
    const int n = 2 * g_;
    gram_.assign(static_cast<std::size_t>(n) * n, 0.0);
    rhsX_.assign(static_cast<std::size_t>(n), 0.0);
    rhsY_.assign(static_cast<std::size_t>(n), 0.0);
    ventral_.Evaluate(basis_, tv);
    dorsal_.Evaluate(basis_, td);
    GatherHalf(ventral_, ventralColumn_.data());
    GatherHalf(dorsal_, dorsalColumn_.data());
    q.assign(static_cast<std::size_t>(n) + 1, FPoint());
    system_.Load(gram_.data(), n, xColumns_, rhsX_.data(), rows_);
    if (!system_.Solve(solution_))
        return false;
    for (int j = 1; j <= n; ++j)
        q[j].x = static_cast<float>(solution_[j - 1]);
    system_.Load(gram_.data(), n, yColumns_, rhsY_.data(), rows_);
    if (!system_.Solve(solution_))
        return false;
    for (std::size_t m = 0; m < yColumns_.size(); ++m)
        q[yColumns_[m] + 1].y = static_cast<float>(solution_[m]);
    return true;
}
