#include "model/numerics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

using numerics::CNumericalError;
using numerics::Matrix;
using numerics::Vector;

namespace {

// Reference arithmetic is done in double on 0-based dense matrices.
using Dense = std::vector<std::vector<double>>;

Dense Zeros(int rows, int cols) {
    return Dense(static_cast<std::size_t>(rows), std::vector<double>(cols, 0.0));
}

int Rows(const Dense& a) {
    return static_cast<int>(a.size());
}
int Cols(const Dense& a) {
    return a.empty() ? 0 : static_cast<int>(a[0].size());
}

Dense Multiply(const Dense& a, const Dense& b) {
    Dense c = Zeros(Rows(a), Cols(b));
    for (int i = 0; i < Rows(a); i++)
        for (int k = 0; k < Cols(a); k++)
            for (int j = 0; j < Cols(b); j++)
                c[i][j] += a[i][k] * b[k][j];
    return c;
}

Dense Transpose(const Dense& a) {
    Dense t = Zeros(Cols(a), Rows(a));
    for (int i = 0; i < Rows(a); i++)
        for (int j = 0; j < Cols(a); j++)
            t[j][i] = a[i][j];
    return t;
}

double Norm(const Dense& a) {
    double s = 0.0;
    for (const auto& row : a)
        for (double x : row)
            s += x * x;
    return std::sqrt(s);
}

double DistanceBetween(const Dense& a, const Dense& b) {
    Dense d = a;
    for (int i = 0; i < Rows(a); i++)
        for (int j = 0; j < Cols(a); j++)
            d[i][j] -= b[i][j];
    return Norm(d);
}

Dense Identity(int n) {
    Dense d = Zeros(n, n);
    for (int i = 0; i < n; i++)
        d[i][i] = 1.0;
    return d;
}

// Entries already rounded to float, so the routine and the reference see the same matrix.
Dense RandomDense(int m, int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    Dense a = Zeros(m, n);
    for (auto& row : a)
        for (double& x : row)
            x = dist(rng);
    return a;
}

// Orthonormal columns by modified Gram-Schmidt in double.
Dense RandomOrthogonal(int n, unsigned seed) {
    Dense q = RandomDense(n, n, seed);
    for (int j = 0; j < n; j++) {
        for (int k = 0; k < j; k++) {
            double dot = 0.0;
            for (int i = 0; i < n; i++)
                dot += q[i][k] * q[i][j];
            for (int i = 0; i < n; i++)
                q[i][j] -= dot * q[i][k];
        }
        double len = 0.0;
        for (int i = 0; i < n; i++)
            len += q[i][j] * q[i][j];
        for (int i = 0; i < n; i++)
            q[i][j] /= std::sqrt(len);
    }
    return q;
}

Dense RoundToFloat(Dense a) {
    for (auto& row : a)
        for (double& x : row)
            x = static_cast<float>(x);
    return a;
}

std::unique_ptr<Matrix> ToMatrix(const Dense& a) {
    auto m = std::make_unique<Matrix>(1, Rows(a), 1, Cols(a));
    for (int i = 0; i < Rows(a); i++)
        for (int j = 0; j < Cols(a); j++)
            (*m)[i + 1][j + 1] = static_cast<float>(a[i][j]);
    return m;
}

Dense ToDense(const Matrix& m, int rows, int cols) {
    Dense a = Zeros(rows, cols);
    for (int i = 0; i < rows; i++)
        for (int j = 0; j < cols; j++)
            a[i][j] = m[i + 1][j + 1];
    return a;
}

struct Svd {
    Dense u;
    std::vector<double> w;
    Dense v;
};

Svd Decompose(const Dense& a) {
    const int m = Rows(a);
    const int n = Cols(a);
    auto u = ToMatrix(a);
    Vector w(1, n);
    Matrix v(1, n, 1, n);
    numerics::svdcmp(u->get(), m, n, w.get(), v.get());
    Svd r{ToDense(*u, m, n), {}, ToDense(v, n, n)};
    for (int k = 1; k <= n; k++)
        r.w.push_back(w[k]);
    return r;
}

Dense Reconstruct(const Svd& s) {
    Dense uw = s.u;
    for (auto& row : uw)
        for (std::size_t k = 0; k < row.size(); k++)
            row[k] *= s.w[k];
    return Multiply(uw, Transpose(s.v));
}

Dense PseudoInverse(const Dense& a) {
    auto in = ToMatrix(a);
    Matrix p(1, Cols(a), 1, Rows(a));
    numerics::pseudo_inverse(in->get(), Rows(a), Cols(a), p.get());
    EXPECT_EQ(ToDense(*in, Rows(a), Cols(a)), a) << "the input must not change";
    return ToDense(p, Cols(a), Rows(a));
}

// Single-precision work on k-term sums: a few float epsilons per term of the longest sum, relative
// to the norm.
double Tolerance(int m, int n) {
    return 4.0 * FLT_EPSILON * std::max(m, n);
}

// ---------------------------------------------------------------------------------------------
// hypot_safe

struct HypotCase {
    float a, b;
};

void PrintTo(const HypotCase& c, std::ostream* out) {
    *out << "hypot(" << c.a << ", " << c.b << ")";
}

class HypotSafe : public ::testing::TestWithParam<HypotCase> {};

TEST_P(HypotSafe, MatchesDoublePrecisionHypotWithoutOverflowOrUnderflow) {
    const auto [a, b] = GetParam();
    const double expected = std::hypot(static_cast<double>(a), static_cast<double>(b));
    const float got = numerics::hypot_safe(a, b);
    ASSERT_TRUE(std::isfinite(got));
    // Results in the subnormal range keep only the absolute precision of the smallest float.
    EXPECT_NEAR(got, expected, std::max(2.0 * FLT_EPSILON * expected, 1.0 * FLT_TRUE_MIN));
}

INSTANTIATE_TEST_SUITE_P(Table, HypotSafe,
                         ::testing::Values(HypotCase{3, 4}, HypotCase{-3, 4}, HypotCase{4, -3},
                                           HypotCase{0, -7}, HypotCase{5, 0},
                                           HypotCase{1e30f, 1e30f}, HypotCase{2e38f, 1e38f},
                                           HypotCase{1e-30f, 1e-30f}, HypotCase{3e-42f, 4e-42f},
                                           HypotCase{1e20f, 1e-20f}));

TEST(HypotSafeExact, ZeroAndPythagoreanTriple) {
    EXPECT_EQ(numerics::hypot_safe(0.0f, 0.0f), 0.0f);
    EXPECT_EQ(numerics::hypot_safe(3.0f, 4.0f), 5.0f);
}

// ---------------------------------------------------------------------------------------------
// Storage

TEST(Storage, VectorCoversItsBoundsForLowerBoundsZeroAndOne) {
    for (long nl : {0L, 1L}) {
        float* v = numerics::vector(nl, nl + 9);
        for (long i = nl; i <= nl + 9; i++)
            v[i] = static_cast<float>(i * 3);
        for (long i = nl; i <= nl + 9; i++)
            EXPECT_EQ(v[i], static_cast<float>(i * 3));
        numerics::free_vector(v, nl, nl + 9);
    }
}

TEST(Storage, MatrixRowsLieOneAfterAnotherInOneBlock) {
    float** m = numerics::matrix(1, 4, 1, 3);
    for (long i = 1; i < 4; i++)
        EXPECT_EQ(m[i + 1], m[i] + 3);
    for (long i = 1; i <= 4; i++)
        for (long j = 1; j <= 3; j++)
            m[i][j] = static_cast<float>(10 * i + j);
    EXPECT_EQ(m[1][1], 11.0f);
    EXPECT_EQ(m[4][3], 43.0f);
    EXPECT_EQ(m[1][3 + 1], 21.0f) << "row 2 follows row 1 directly";
    numerics::free_matrix(m, 1, 4, 1, 3);
}

TEST(Storage, EmptyRangesAllocateAndRelease) {
    numerics::free_vector(numerics::vector(1, 0), 1, 0);
    numerics::free_matrix(numerics::matrix(1, 0, 1, 0), 1, 0, 1, 0);
}

template <typename F> std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const CNumericalError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(Storage, ImpossibleSizesReportAllocationFailure) {
    EXPECT_EQ(ErrorOf([] { Vector v(1, LONG_MAX); }), "allocation failure in vector()");
    EXPECT_EQ(ErrorOf([] { Vector v(1, LONG_MAX / 2); }), "allocation failure in vector()");
    EXPECT_EQ(ErrorOf([] { Vector v(LONG_MIN, LONG_MAX); }), "allocation failure in vector()");
    EXPECT_EQ(ErrorOf([] { Vector v(5, 1); }), "allocation failure in vector()");
    EXPECT_EQ(ErrorOf([] { Matrix m(1, LONG_MAX / 4, 1, 1); }), "allocation failure 1 in matrix()");
    EXPECT_EQ(ErrorOf([] { Matrix m(1, 2, 1, LONG_MAX / 2); }), "allocation failure 2 in matrix()");
    EXPECT_EQ(ErrorOf([] { Matrix m(1, 1L << 20, 1, 1L << 50); }),
              "allocation failure 2 in matrix()");
}

// ---------------------------------------------------------------------------------------------
// svdcmp

struct Shape {
    int m, n;
    unsigned seed;
};

class SvdRandom : public ::testing::TestWithParam<Shape> {};

TEST_P(SvdRandom, ReconstructsWithOrthonormalFactors) {
    const auto [m, n, seed] = GetParam();
    const Dense a = RandomDense(m, n, seed);
    const Svd s = Decompose(a);
    const double tol = Tolerance(m, n);

    EXPECT_LE(DistanceBetween(Reconstruct(s), a), tol * Norm(a));
    EXPECT_LE(DistanceBetween(Multiply(Transpose(s.v), s.v), Identity(n)), tol);
    for (double w : s.w)
        EXPECT_GE(w, 0.0);

    // Only min(m, n) singular values can be non-zero; their U columns are orthonormal.
    const double wmax = *std::max_element(s.w.begin(), s.w.end());
    std::vector<int> kept;
    for (int k = 0; k < n; k++)
        if (s.w[k] > tol * wmax)
            kept.push_back(k);
    EXPECT_EQ(static_cast<int>(kept.size()), std::min(m, n));
    for (int p : kept)
        for (int q : kept) {
            double dot = 0.0;
            for (int i = 0; i < m; i++)
                dot += s.u[i][p] * s.u[i][q];
            EXPECT_NEAR(dot, p == q ? 1.0 : 0.0, tol) << "columns " << p << ", " << q;
        }
}

INSTANTIATE_TEST_SUITE_P(Shapes, SvdRandom,
                         ::testing::Values(Shape{1, 1, 1}, Shape{4, 1, 2}, Shape{1, 4, 3},
                                           Shape{8, 3, 4}, Shape{5, 5, 5}, Shape{12, 12, 6},
                                           Shape{3, 7, 7}, Shape{6, 10, 8}, Shape{60, 16, 9},
                                           Shape{400, 16, 10}));

struct KnownSpectrum {
    int m;
    std::vector<double> sigma;
    unsigned seed;
};

class SvdKnownValues : public ::testing::TestWithParam<KnownSpectrum> {};

TEST_P(SvdKnownValues, RecoversSingularValuesOfQ1DiagQ2t) {
    const auto& [m, sigma, seed] = GetParam();
    const int n = static_cast<int>(sigma.size());
    Dense d = Zeros(m, n);
    for (int k = 0; k < n; k++)
        d[k][k] = sigma[k];
    const Dense a = RoundToFloat(Multiply(Multiply(RandomOrthogonal(m, seed), d),
                                          Transpose(RandomOrthogonal(n, seed + 100))));
    std::vector<double> w = Decompose(a).w;
    std::vector<double> expected = sigma;
    std::sort(w.begin(), w.end());
    std::sort(expected.begin(), expected.end());
    const double scale = expected.back();
    for (int k = 0; k < n; k++)
        EXPECT_NEAR(w[k], expected[k], Tolerance(m, n) * scale) << "value " << k;
}

INSTANTIATE_TEST_SUITE_P(Spectra, SvdKnownValues,
                         ::testing::Values(KnownSpectrum{4, {3, 2, 1}, 1},
                                           KnownSpectrum{6, {10, 1, 0.1, 0.01}, 2},
                                           KnownSpectrum{5, {5, 5, 5, 5, 5}, 3},
                                           KnownSpectrum{7, {4, 2, 0, 0}, 4},
                                           KnownSpectrum{30, {1e3, 7, 7, 2, 1e-3, 0}, 5}));

TEST(SvdDiagonal, SingularValuesAreTheMagnitudesOfTheDiagonal) {
    const Dense a = {{-3, 0, 0}, {0, 0.5, 0}, {0, 0, -7}, {0, 0, 0}};
    std::vector<double> w = Decompose(a).w;
    std::sort(w.begin(), w.end());
    EXPECT_FLOAT_EQ(static_cast<float>(w[0]), 0.5f);
    EXPECT_FLOAT_EQ(static_cast<float>(w[1]), 3.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(w[2]), 7.0f);
}

TEST(SvdDiagonal, ZeroMatrixGivesZeroValuesAndIdentityV) {
    const Svd s = Decompose(Zeros(3, 2));
    EXPECT_EQ(s.w, std::vector<double>(2, 0.0));
    EXPECT_EQ(s.v, Identity(2));
}

// ---------------------------------------------------------------------------------------------
// pseudo_inverse

void ExpectMoorePenrose(const Dense& a, const Dense& p) {
    const double tol = Tolerance(Rows(a), Cols(a));
    const Dense ap = Multiply(a, p);
    const Dense pa = Multiply(p, a);
    EXPECT_LE(DistanceBetween(Multiply(ap, a), a), tol * Norm(a)) << "A P A = A";
    EXPECT_LE(DistanceBetween(Multiply(pa, p), p), tol * Norm(p)) << "P A P = P";
    EXPECT_LE(DistanceBetween(ap, Transpose(ap)), tol * Norm(ap)) << "A P symmetric";
    EXPECT_LE(DistanceBetween(pa, Transpose(pa)), tol * Norm(pa)) << "P A symmetric";
}

class PseudoInverseRandom : public ::testing::TestWithParam<Shape> {};

TEST_P(PseudoInverseRandom, SatisfiesTheMoorePenroseConditions) {
    const auto [m, n, seed] = GetParam();
    const Dense a = RandomDense(m, n, seed);
    ExpectMoorePenrose(a, PseudoInverse(a));
}

INSTANTIATE_TEST_SUITE_P(Shapes, PseudoInverseRandom,
                         ::testing::Values(Shape{1, 1, 11}, Shape{5, 5, 12}, Shape{9, 4, 13},
                                           Shape{40, 16, 14}, Shape{400, 16, 15}));

TEST(PseudoInverseSquare, IsTheInverseOfARegularMatrix) {
    const Dense a = {{2, 1}, {1, 3}}; // inverse is [[3, -1], [-1, 2]] / 5
    const Dense p = PseudoInverse(a);
    const Dense expected = {{0.6, -0.2}, {-0.2, 0.4}};
    EXPECT_LE(DistanceBetween(p, expected), 4 * FLT_EPSILON);
}

// Singular values below the largest one times the float epsilon times the larger dimension
// (here 2.4e-7) count as zero; larger ones are inverted.
struct ThresholdCase {
    double small;
    double inverse;
};

class PseudoInverseThreshold : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(PseudoInverseThreshold, InvertsOnlyWhatRoundingCannotHaveMade) {
    const Dense a = {{1, 0}, {0, GetParam().small}};
    const Dense p = PseudoInverse(a);
    EXPECT_EQ(p[0][0], 1.0);
    EXPECT_FLOAT_EQ(p[1][1], GetParam().inverse);
    EXPECT_EQ(p[0][1], 0.0);
    EXPECT_EQ(p[1][0], 0.0);
}

// The values as the float matrix holds them.
ThresholdCase Kept(float small) {
    return {small, 1.0 / small};
}
ThresholdCase Dropped(float small) {
    return {small, 0.0};
}

INSTANTIATE_TEST_SUITE_P(Values, PseudoInverseThreshold,
                         ::testing::Values(Dropped(std::ldexp(1.0f, -60)), Dropped(1e-7f),
                                           Dropped(2e-7f), Kept(3e-7f), Kept(1e-3f)));

// Matrices of rank 2 whose third singular value comes out of the float decomposition as rounding
// noise instead of 0: inverting it gave entries of 1e6 and more. The minimum-norm answer keeps
// the Moore-Penrose conditions.
TEST(PseudoInverseRankDeficient, TreatsRoundingNoiseAsZero) {
    const Dense ramp = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    Dense sums = RandomDense(5, 3, 7);
    for (auto& row : sums)
        row[2] = static_cast<float>(row[0] * 0.3 + row[1] * 0.7);
    for (const Dense& a : {ramp, sums}) {
        const Dense p = PseudoInverse(a);
        EXPECT_LT(Norm(p), 10.0 * Norm(a));
        ExpectMoorePenrose(a, p);
    }
}

// Zero first column, and the block layout of the fit (zero columns 1 and k + 1 around two
// blocks): the matching singular values come out exactly 0, so the coefficient rows are 0.
struct ZeroColumnCase {
    int rows1, rows2, k;
    unsigned seed;
};

class PseudoInverseZeroColumns : public ::testing::TestWithParam<ZeroColumnCase> {};

TEST_P(PseudoInverseZeroColumns, GiveZeroRowsAndStayMoorePenrose) {
    const auto [rows1, rows2, k, seed] = GetParam();
    const int n = 2 * k;
    Dense a = Zeros(rows1 + rows2, n);
    const Dense b1 = RandomDense(rows1, k - 1, seed);
    const Dense b2 = RandomDense(rows2, k - 1, seed + 1);
    for (int i = 0; i < rows1; i++)
        for (int j = 0; j < k - 1; j++)
            a[i][j + 1] = b1[i][j];
    for (int i = 0; i < rows2; i++)
        for (int j = 0; j < k - 1; j++)
            a[rows1 + i][k + 1 + j] = b2[i][j];
    const Dense p = PseudoInverse(a);
    EXPECT_EQ(p[0], std::vector<double>(Rows(a), 0.0));
    EXPECT_EQ(p[k], std::vector<double>(Rows(a), 0.0));
    ExpectMoorePenrose(a, p);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PseudoInverseZeroColumns,
                         ::testing::Values(ZeroColumnCase{6, 5, 3, 1}, ZeroColumnCase{20, 30, 8, 2},
                                           ZeroColumnCase{100, 90, 8, 3},
                                           ZeroColumnCase{200, 200, 30, 4}));

TEST(PseudoInverseZeroColumn, FirstColumnZeroInADenseMatrix) {
    Dense a = RandomDense(7, 4, 21);
    for (auto& row : a)
        row[0] = 0.0;
    const Dense p = PseudoInverse(a);
    EXPECT_EQ(p[0], std::vector<double>(7, 0.0));
    ExpectMoorePenrose(a, p);
}

TEST(PseudoInverseZeroColumn, ZeroMatrixGivesZero) {
    EXPECT_EQ(PseudoInverse(Zeros(3, 2)), Zeros(2, 3));
}

// ---------------------------------------------------------------------------------------------
// tridiag_reduce and tqli

struct Eigen2 {
    std::vector<float> d;
    Dense z;
};

Eigen2 SolveSymmetric(const Dense& a) {
    const int n = Rows(a);
    auto z = ToMatrix(a);
    Vector d(1, n);
    Vector e(1, n);
    numerics::tridiag_reduce(z->get(), n, d.get(), e.get());
    numerics::tqli(d.get(), e.get(), n, z->get());
    Eigen2 r{{}, ToDense(*z, n, n)};
    for (int k = 1; k <= n; k++)
        r.d.push_back(d[k]);
    return r;
}

TEST(Tqli2x2, DiagonalMatrixNeedsNoIteration) {
    const Eigen2 r = SolveSymmetric({{-4.5, 0}, {0, 2.25}});
    EXPECT_EQ(r.d, (std::vector<float>{-4.5f, 2.25f}));
    EXPECT_EQ(r.z, Identity(2));
}

struct Sym2 {
    float a, b, c;
};

class Tqli2x2 : public ::testing::TestWithParam<Sym2> {};

TEST_P(Tqli2x2, ClosedFormEigenvaluesAndARotation) {
    const auto [a, b, c] = GetParam();
    const double mean = 0.5 * (static_cast<double>(a) + c);
    const double radius = std::hypot(0.5 * (static_cast<double>(a) - c), b);
    double nearA = mean + radius;
    double other = mean - radius;
    if (std::fabs(other - a) < std::fabs(nearA - a))
        std::swap(nearA, other);

    const Eigen2 r = SolveSymmetric({{a, b}, {b, c}});
    const double tol = 8 * FLT_EPSILON * (std::fabs(mean) + radius);
    EXPECT_NEAR(r.d[0], nearA, tol);
    EXPECT_NEAR(r.d[1], other, tol);
    const Dense& z = r.z;
    EXPECT_NEAR(z[0][0] * z[1][1] - z[0][1] * z[1][0], 1.0, 4 * FLT_EPSILON) << "det z";
    for (int k = 0; k < 2; k++) {
        EXPECT_NEAR(std::hypot(z[0][k], z[1][k]), 1.0, 4 * FLT_EPSILON);
        EXPECT_NEAR(a * z[0][k] + b * z[1][k], r.d[k] * z[0][k], tol);
        EXPECT_NEAR(b * z[0][k] + c * z[1][k], r.d[k] * z[1][k], tol);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Tqli2x2,
                         ::testing::Values(Sym2{3, 1, 1}, Sym2{1, 1, 3}, Sym2{-5, 2, 4},
                                           Sym2{4, -2, -5}, Sym2{1e3f, 1e-3f, -1e3f},
                                           Sym2{1, 1e3f, 2}, Sym2{-1.2e6f, 3.4e5f, -8.9e5f},
                                           Sym2{-8.9e5f, -3.4e5f, -1.2e6f}));

class TqliSymmetric : public ::testing::TestWithParam<Shape> {};

TEST_P(TqliSymmetric, EigenpairsOfARandomSymmetricMatrix) {
    const auto [n, unused, seed] = GetParam();
    Dense a = RandomDense(n, n, seed);
    for (int i = 0; i < n; i++)
        for (int j = 0; j < i; j++)
            a[j][i] = a[i][j];
    const Eigen2 r = SolveSymmetric(a);
    const double tol = Tolerance(n, n) * Norm(a);
    EXPECT_LE(DistanceBetween(Multiply(Transpose(r.z), r.z), Identity(n)), Tolerance(n, n));
    const Dense az = Multiply(a, r.z);
    for (int k = 0; k < n; k++)
        for (int i = 0; i < n; i++)
            EXPECT_NEAR(az[i][k], r.d[k] * r.z[i][k], tol) << "pair " << k << ", row " << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, TqliSymmetric,
                         ::testing::Values(Shape{1, 0, 1}, Shape{3, 0, 2}, Shape{4, 0, 3},
                                           Shape{6, 0, 4}, Shape{6, 0, 5}, Shape{20, 0, 6}));

// ---------------------------------------------------------------------------------------------
// Non-convergence

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(NonConvergence, NaNIn2x2EigenproblemStopsAfterThirtyIterations) {
    EXPECT_EQ(ErrorOf([] {
                  SolveSymmetric({{kNaN, kNaN}, {kNaN, kNaN}});
              }),
              "Too many iterations in tqli");
    EXPECT_EQ(ErrorOf([] {
                  SolveSymmetric({{1, kNaN}, {kNaN, 2}});
              }),
              "Too many iterations in tqli");
    EXPECT_EQ(ErrorOf([] { SolveSymmetric({{kNaN, 1}, {1, 2}}); }), "Too many iterations in tqli");
}

TEST(NonConvergence, NaNInSvdStopsAfterThirtyIterations) {
    for (int pos = 0; pos < 12; pos++) {
        Dense a = RandomDense(4, 3, 30);
        a[pos / 3][pos % 3] = kNaN;
        EXPECT_EQ(ErrorOf([&] { Decompose(a); }), "no convergence in 30 svdcmp iterations")
            << "NaN at " << pos;
        EXPECT_EQ(ErrorOf([&] { PseudoInverse(a); }), "no convergence in 30 svdcmp iterations");
    }
}

TEST(NonConvergence, InfinityInSvdStopsAfterThirtyIterations) {
    Dense a = RandomDense(3, 3, 31);
    a[1][1] = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ErrorOf([&] { Decompose(a); }), "no convergence in 30 svdcmp iterations");
}

TEST(NonConvergence, SingleValueNeedsNoIterationEvenWhenNaN) {
    EXPECT_TRUE(std::isnan(Decompose({{kNaN}}).w[0]));
    EXPECT_TRUE(std::isnan(SolveSymmetric({{kNaN}}).d[0]));
}

} // namespace
