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

// A run of rows whose three basis functions sit in the same consecutive columns: their sums
// (the six matrix entries, then three of each right-hand side) are formed in registers and
// added to the system once per run.
void CSparseHalvesSolver::AddRun(int column, const double* sums) {
    const std::size_t stride = static_cast<std::size_t>(2 * g_);
    double* r0 = gram_.data() + static_cast<std::size_t>(column) * (stride + 1);
    double* r1 = r0 + stride;
    double* r2 = r1 + stride;
    r0[0] += sums[0];
    r1[0] += sums[1];
    r1[1] += sums[2];
    r2[0] += sums[3];
    r2[1] += sums[4];
    r2[2] += sums[5];
    for (int a = 0; a < 3; ++a) {
        rhsX_[static_cast<std::size_t>(column + a)] += sums[6 + a];
        rhsY_[static_cast<std::size_t>(column + a)] += sums[9 + a];
    }
}

// GCC's straight-line vectoriser packs the float-to-double conversions of this loop in pairs
// through the stack, which makes it about a tenth slower than plain scalar code.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-slp-vectorize")))
#endif
void CSparseHalvesSolver::GatherHalf(const CHalfDesign& half, const int* column) {
    const double* px = half.X();
    const double* py = half.Y();
    for (const CHalfDesign::Run& run : half.Runs()) {
        if (run.first < 0 || column[run.first + 2] != column[run.first] + 2) {
            // On a knot, at an end, or where the dorsal half wraps to column 0: row by row.
            for (std::size_t k = run.begin; k < run.end; ++k) {
                if (run.first < 0) {
                    GatherRow(half.GeneralValues(k), column, px[k], py[k]);
                    continue;
                }
                CQuadraticBasis::Active active;
                active.first = run.first;
                active.count = 3;
                for (int i = 0; i < 3; ++i)
                    active.value[i] = half.Value(i, k);
                GatherRow(active, column, px[k], py[k]);
            }
            continue;
        }
        double g00 = 0.0, g10 = 0.0, g11 = 0.0, g20 = 0.0, g21 = 0.0, g22 = 0.0;
        double x0 = 0.0, x1 = 0.0, x2 = 0.0, y0 = 0.0, y1 = 0.0, y2 = 0.0;
        for (std::size_t k = run.begin; k < run.end; ++k) {
            const double v0 = half.Value(0, k);
            const double v1 = half.Value(1, k);
            const double v2 = half.Value(2, k);
            const double x = px[k];
            const double y = py[k];
            g00 += v0 * v0;
            g10 += v1 * v0;
            g11 += v1 * v1;
            g20 += v2 * v0;
            g21 += v2 * v1;
            g22 += v2 * v2;
            x0 += v0 * x;
            x1 += v1 * x;
            x2 += v2 * x;
            y0 += v0 * y;
            y1 += v1 * y;
            y2 += v2 * y;
        }
        const double sums[12] = {g00, g10, g11, g20, g21, g22, x0, x1, x2, y0, y1, y2};
        AddRun(column[run.first], sums);
    }
}

// One row added on its own. Each product of two floats is exact in double.
void CSparseHalvesSolver::GatherRow(const CQuadraticBasis::Active& active, const int* column,
                                   double x, double y) {
    const std::size_t stride = static_cast<std::size_t>(2 * g_);
    double* gram = gram_.data();
    const auto entry = [gram, stride](int i, int j) -> double& {
        return gram[static_cast<std::size_t>(std::max(i, j)) * stride +
                    static_cast<std::size_t>(std::min(i, j))];
    };
    const int* c = column + active.first;
    const float* v = active.value;
    for (int a = 0; a < active.count; ++a) {
        rhsX_[c[a]] += static_cast<double>(v[a]) * x;
        rhsY_[c[a]] += static_cast<double>(v[a]) * y;
    }
    for (int a = 0; a < active.count; ++a)
        for (int b = 0; b <= a; ++b)
            entry(c[a], c[b]) += static_cast<double>(v[a]) * v[b];
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
