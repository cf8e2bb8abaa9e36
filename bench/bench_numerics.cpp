#include "model/numerics.h"

#include <benchmark/benchmark.h>

#include <random>

using numerics::Matrix;
using numerics::Vector;

namespace {

// The largest fit of an outline: a few hundred points against 2 x 8 control-point columns.
void BM_PseudoInverse400x16(benchmark::State& state) {
    constexpr int m = 400;
    constexpr int n = 16;
    std::mt19937 rng(42);
    std::uniform_real_distribution<float> dist(0.0f, 1.0f);
    Matrix a(1, m, 1, n);
    for (int i = 1; i <= m; i++)
        for (int j = 1; j <= n; j++)
            a[i][j] = dist(rng);
    Matrix p(1, n, 1, m);
    for (auto _ : state) {
        numerics::pseudo_inverse(a.get(), m, n, p.get());
        benchmark::DoNotOptimize(p[1][1]);
    }
}
BENCHMARK(BM_PseudoInverse400x16)->Unit(benchmark::kMicrosecond);

// The main axes of one outline: tridiagonal reduction and QL on a 2 x 2 moment matrix.
void BM_MainAxes2x2(benchmark::State& state) {
    Matrix a(1, 2, 1, 2);
    Vector d(1, 2);
    Vector e(1, 2);
    for (auto _ : state) {
        a[1][1] = -1.2e6f;
        a[1][2] = a[2][1] = 3.4e5f;
        a[2][2] = -8.9e5f;
        numerics::tridiag_reduce(a.get(), 2, d.get(), e.get());
        numerics::tqli(d.get(), e.get(), 2, a.get());
        benchmark::DoNotOptimize(a[1][1]);
    }
}
BENCHMARK(BM_MainAxes2x2);

} // namespace
