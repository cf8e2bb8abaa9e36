#include "model/sparse_halves_solver.h"

#include <algorithm>

// x columns (0-based): a ventral row has basis function c in column c; a dorsal row has
// function c < g in column g + c and the last one, which ends at the left end point, in
// column 0. The y unknowns are the inner points' x columns 1 ... g - 1 and g + 1 ... 2g - 1:
// no row has a non-zero in both column groups, so the y system's matrix is exactly that part
// of the x system's, gathered in the same order.
CSparseHalvesSolver::CSparseHalvesSolver(const std::vector<FPoint>& ventral,
                                         const std::vector<FPoint>& dorsal, int g)
    : ventral_(ventral), dorsal_(dorsal), g_(g), basis_(g) {
    for (int c = 0; c <= g; ++c) {
        ventralColumn_.push_back(c);
        dorsalColumn_.push_back(c == g ? 0 : g + c);
    }
    for (int j = 0; j < 2 * g; ++j) {
        xColumns_.push_back(j);
        if (j != 0 && j != g)
            yColumns_.push_back(j);
    }
    ventralValues_.resize(ventral.size());
    dorsalValues_.resize(dorsal.size());
}

// Each product of two floats is exact in double, so the sums depend only on the row order,
// not on the order of the updates within a row.
void CSparseHalvesSolver::Gather(const CQuadraticBasis::Active& active, const int* column,
                                 const FPoint& p) {
    const std::size_t stride = static_cast<std::size_t>(2 * g_);
    double* gram = gram_.data();
    const auto entry = [gram, stride](int i, int j) -> double& {
        return gram[static_cast<std::size_t>(std::max(i, j)) * stride +
                    static_cast<std::size_t>(std::min(i, j))];
    };
    const int* c = column + active.first;
    const float* v = active.value;
    for (int a = 0; a < active.count; ++a) {
        rhsX_[c[a]] += static_cast<double>(v[a]) * p.x;
        rhsY_[c[a]] += static_cast<double>(v[a]) * p.y;
    }
    if (active.count == 3) { // the common case, unrolled
        const double v0 = v[0];
        const double v1 = v[1];
        const double v2 = v[2];
        entry(c[0], c[0]) += v0 * v[0];
        entry(c[1], c[0]) += v1 * v[0];
        entry(c[1], c[1]) += v1 * v[1];
        entry(c[2], c[0]) += v2 * v[0];
        entry(c[2], c[1]) += v2 * v[1];
        entry(c[2], c[2]) += v2 * v[2];
        return;
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
    for (std::size_t k = 0; k < ventral_.size(); ++k) {
        basis_.Values(tv[k], ventralValues_[k]);
        Gather(ventralValues_[k], ventralColumn_.data(), ventral_[k]);
    }
    for (std::size_t k = 0; k < dorsal_.size(); ++k) {
        basis_.Values(td[k], dorsalValues_[k]);
        Gather(dorsalValues_[k], dorsalColumn_.data(), dorsal_[k]);
    }
    const int rows = static_cast<int>(ventral_.size() + dorsal_.size());
    q.assign(static_cast<std::size_t>(n) + 1, FPoint());
    system_.Load(gram_.data(), n, xColumns_, rhsX_.data(), rows);
    if (!system_.Solve(solution_))
        return false;
    for (int j = 1; j <= n; ++j)
        q[j].x = static_cast<float>(solution_[j - 1]);
    system_.Load(gram_.data(), n, yColumns_, rhsY_.data(), rows);
    if (!system_.Solve(solution_))
        return false;
    for (std::size_t m = 0; m < yColumns_.size(); ++m)
        q[yColumns_[m] + 1].y = static_cast<float>(solution_[m]);
    return true;
}
