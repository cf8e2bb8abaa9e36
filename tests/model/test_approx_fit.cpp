#include "formats/specimen_file.h"
#include "model/approx_fit.h"
#include "model/specimen.h"
#include "support/bspline_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using reference::DPoint;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A valve-like outline of two known quadratic B-splines with g = 8: the ventral curve from
// m2 = (-100, 0) to m1 = (100, 0) along the bottom, the dorsal curve back along the top.
const std::vector<FPoint> kVentral = {{-100, 0}, {-98, -25}, {-75, -45}, {-40, -52}, {0, -50},
                                      {40, -52}, {75, -45},  {98, -25},  {100, 0}};
const std::vector<FPoint> kDorsal = {{100, 0},  {99, 30},  {80, 55},  {45, 62}, {0, 60},
                                     {-45, 60}, {-80, 52}, {-99, 28}, {-100, 0}};

std::vector<FPoint> Sample(const std::vector<FPoint>& control, int count) {
    std::vector<FPoint> points;
    for (int k = 0; k < count; ++k) {
        const DPoint p = reference::Evaluate(control, static_cast<double>(k) / (count - 1));
        points.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    }
    return points;
}

// The halves of an ellipse with semi-axes a, b (x axis along a) with a reproducible ripple of
// the given amplitude: ventral left to right, dorsal right to left, ends on y = 0.
struct Halves {
    std::vector<FPoint> ventral;
    std::vector<FPoint> dorsal;
};

Halves RippledEllipse(double a, double b, int perHalf, double ripple) {
    Halves h;
    for (int k = 0; k < perHalf; ++k) {
        const double s = std::numbers::pi * k / (perHalf - 1);
        const double r = (k == 0 || k == perHalf - 1) ? 0.0 : ripple * std::sin(7.3 * k + 0.4);
        h.ventral.emplace_back(static_cast<float>(-(a + r) * std::cos(s)),
                               static_cast<float>(-(b + r) * std::sin(s)));
        const double q = (k == 0 || k == perHalf - 1) ? 0.0 : ripple * std::cos(5.1 * k + 1.2);
        h.dorsal.emplace_back(static_cast<float>((a + q) * std::cos(s)),
                              static_cast<float>((b + q) * std::sin(s)));
    }
    return h;
}

CApproxFitResult FitOrFail(const std::vector<FPoint>& ventral, const std::vector<FPoint>& dorsal,
                           CApproxFitSettings settings) {
    CApproxFitResult result;
    std::string error;
    EXPECT_TRUE(FitOutlineHalves(ventral, dorsal, settings, result, error)) << error;
    EXPECT_TRUE(error.empty()) << error;
    return result;
}

// Mean distance of all data points from their curve points at the fit's final parameters,
// over both halves, in double precision.
double MeanDistance(const CApproxFitResult& fit, const std::vector<FPoint>& ventral,
                    const std::vector<FPoint>& dorsal) {
    double sum = 0.0;
    for (std::size_t k = 0; k < ventral.size(); ++k)
        sum +=
            reference::Distance(ventral[k], reference::Evaluate(fit.ventral, fit.ventralParams[k]));
    for (std::size_t k = 0; k < dorsal.size(); ++k)
        sum += reference::Distance(dorsal[k], reference::Evaluate(fit.dorsal, fit.dorsalParams[k]));
    return sum / static_cast<double>(ventral.size() + dorsal.size());
}

double MaxDeviation(const std::vector<FPoint>& a, const std::vector<FPoint>& b) {
    double worst = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, static_cast<double>(std::hypot(a[i].x - b[i].x, a[i].y - b[i].y)));
    return worst;
}

bool AllFinite(const std::vector<FPoint>& points) {
    return std::all_of(points.begin(), points.end(),
                       [](FPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}

// --- recovery of known curves -----------------------------------------------------------

// Control points of a half circle of radius r at the Greville angles pi (u_(i+1) + u_(i+2)) / 2,
// rounded to whole units: a curve of nearly constant speed, so that chord length is close to
// the true parameter. Ventral below the axis from left to right, dorsal above from right to left.
std::vector<FPoint> HalfCircleControlPoints(int g, double r, bool ventral) {
    const std::vector<double> u = reference::Knots(g);
    std::vector<FPoint> c;
    for (int i = 0; i <= g; ++i) {
        const double angle = std::numbers::pi * (u[i + 1] + u[i + 2]) / 2.0;
        const double sign = ventral ? -1.0 : 1.0;
        c.emplace_back(static_cast<float>(std::round(sign * r * std::cos(angle))),
                       static_cast<float>(std::round(sign * r * std::sin(angle))));
    }
    c.front().y = 0.0f;
    c.back().y = 0.0f;
    return c;
}

TEST(ApproxFitRecovery, CorrectionRecoversTheControlPointsOfSampledCurves) {
    const std::vector<FPoint> knownVentral = HalfCircleControlPoints(8, 100.0, true);
    const std::vector<FPoint> knownDorsal = HalfCircleControlPoints(8, 100.0, false);
    // 400 samples per half at uniform curve parameter.
    const std::vector<FPoint> ventral = Sample(knownVentral, 400);
    const std::vector<FPoint> dorsal = Sample(knownDorsal, 400);
    const CApproxFitResult plain = FitOrFail(ventral, dorsal, {8, false, 6});
    const CApproxFitResult fit = FitOrFail(ventral, dorsal, {8, true, 6});

    // The speed of these curves varies by a few percent, so the chord-length parameters are
    // off by about 1e-3 and the control points by some tenths of a unit on an outline 200
    // units long; correction only shrinks that slowly (each step moves the parameters along
    // a nearly flat valley of the least-squares problem), so half a unit is the bound.
    EXPECT_LT(MaxDeviation(fit.ventral, knownVentral), 0.5);
    EXPECT_LT(MaxDeviation(fit.dorsal, knownDorsal), 0.5);

    // The data lie on the curves: after correction the mean distance is below 0.01 units
    // (1e-4 of the radius) and well below the plain fit's.
    const double corrected = MeanDistance(fit, ventral, dorsal);
    EXPECT_LT(corrected, 0.01);
    EXPECT_LT(corrected, 0.25 * MeanDistance(plain, ventral, dorsal));
}

TEST(ApproxFitRecovery, StraightHalvesAtTheirGrevilleAbscissaeAreRecoveredWithoutCorrection) {
    // Control points spaced like the Greville abscissae (t_(i+1) + t_(i+2)) / 2 on a line give
    // a curve of constant speed, so chord length is the true parameter and the plain fit is
    // exact up to float rounding.
    const int g = 6;
    const std::vector<double> u = reference::Knots(g);
    std::vector<FPoint> line;
    for (int i = 0; i <= g; ++i)
        line.emplace_back(static_cast<float>(-60.0 + 120.0 * (u[i + 1] + u[i + 2]) / 2.0), 0.0f);
    std::vector<FPoint> back(line.rbegin(), line.rend());
    const CApproxFitResult fit = FitOrFail(Sample(line, 121), Sample(back, 121), {g, false, 0});
    EXPECT_LT(MaxDeviation(fit.ventral, line), 1e-3);
    EXPECT_LT(MaxDeviation(fit.dorsal, back), 1e-3);
}

// --- least-squares optimality -----------------------------------------------------------

// Dense double matrix helpers for the second, independent solve.
using DMatrix = std::vector<std::vector<double>>;

// The design matrix of one coordinate, built from the curve layout: ventral control point i
// is unknown i + 1, dorsal control point i is unknown g + 1 + i, its last one unknown 1.
// For y the two shared end points are fixed on the axis and their columns stay empty.
DMatrix Design(int g, const std::vector<double>& tv, const std::vector<double>& td, bool forY) {
    DMatrix a;
    auto row = [&](double t, auto column) {
        std::vector<double> r(2 * g, 0.0);
        for (int i = 0; i <= g; ++i) {
            const int c = column(i);
            if (forY && (c == 1 || c == g + 1))
                continue;
            r[c - 1] += reference::Basis(g, i, t);
        }
        a.push_back(r);
    };
    for (double t : tv)
        row(t, [](int i) { return i + 1; });
    for (double t : td)
        row(t, [g](int i) { return i == g ? 1 : g + 1 + i; });
    return a;
}

// The fitted unknowns Q_1 ... Q_2g read back from the two curves.
std::vector<double> Unknowns(const CApproxFitResult& fit, bool forY) {
    std::vector<double> q;
    for (const FPoint& p : fit.ventral)
        q.push_back(forY ? p.y : p.x);
    for (std::size_t i = 1; i + 1 < fit.dorsal.size(); ++i)
        q.push_back(forY ? fit.dorsal[i].y : fit.dorsal[i].x);
    return q;
}

std::vector<double> Multiply(const DMatrix& a, const std::vector<double>& q) {
    std::vector<double> r(a.size(), 0.0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < q.size(); ++j)
            r[i] += a[i][j] * q[j];
    return r;
}

std::vector<double> TransposeTimes(const DMatrix& a, const std::vector<double>& v) {
    std::vector<double> r(a[0].size(), 0.0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < r.size(); ++j)
            r[j] += a[i][j] * v[i];
    return r;
}

// Least squares by the normal equations and Gaussian elimination with partial pivoting;
// columns that are entirely zero get the minimum-norm value 0.
std::vector<double> SolveNormalEquations(const DMatrix& a, const std::vector<double>& b) {
    const std::size_t n = a[0].size();
    DMatrix m(n, std::vector<double>(n + 1, 0.0));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j)
            for (const auto& row : a)
                m[i][j] += row[i] * row[j];
    }
    const std::vector<double> rhs = TransposeTimes(a, b);
    for (std::size_t i = 0; i < n; ++i)
        m[i][n] = rhs[i];
    std::vector<bool> empty(n, false);
    for (std::size_t i = 0; i < n; ++i)
        if (m[i][i] == 0.0) {
            empty[i] = true;
            m[i][i] = 1.0; // decouples the unknown, which then solves to 0
        }
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::abs(m[r][c]) > std::abs(m[pivot][c]))
                pivot = r;
        std::swap(m[c], m[pivot]);
        for (std::size_t r = c + 1; r < n; ++r) {
            const double f = m[r][c] / m[c][c];
            for (std::size_t k = c; k <= n; ++k)
                m[r][k] -= f * m[c][k];
        }
    }
    std::vector<double> x(n, 0.0);
    for (std::size_t i = n; i-- > 0;) {
        double s = m[i][n];
        for (std::size_t k = i + 1; k < n; ++k)
            s -= m[i][k] * x[k];
        x[i] = s / m[i][i];
    }
    return x;
}

double MaxAbs(const std::vector<double>& v) {
    double m = 0.0;
    for (double x : v)
        m = std::max(m, std::abs(x));
    return m;
}

struct OptimalityCase {
    int g;
    int perHalf;
};

class ApproxFitOptimality : public ::testing::TestWithParam<OptimalityCase> {};

TEST_P(ApproxFitOptimality, ResidualIsOrthogonalToTheDesignColumns) {
    const auto [g, perHalf] = GetParam();
    const Halves h = RippledEllipse(150.0, 70.0, perHalf, 4.0);
    const CApproxFitResult fit = FitOrFail(h.ventral, h.dorsal, {g, false, 6});

    const std::vector<double> tv = reference::ChordParameters(h.ventral);
    const std::vector<double> td = reference::ChordParameters(h.dorsal);
    // Without correction the returned parameters are the chord-length ones.
    for (std::size_t k = 0; k < tv.size(); ++k)
        ASSERT_NEAR(fit.ventralParams[k], tv[k], 1e-6) << k;
    for (std::size_t k = 0; k < td.size(); ++k)
        ASSERT_NEAR(fit.dorsalParams[k], td[k], 1e-6) << k;

    for (bool forY : {false, true}) {
        SCOPED_TRACE(forY ? "y" : "x");
        const DMatrix a = Design(g, tv, td, forY);
        std::vector<double> b;
        for (const auto* half : {&h.ventral, &h.dorsal})
            for (const FPoint& p : *half)
                b.push_back(forY ? p.y : p.x);
        const std::vector<double> q = Unknowns(fit, forY);
        const std::vector<double> fitted = Multiply(a, q);
        std::vector<double> residual(b.size());
        for (std::size_t i = 0; i < b.size(); ++i)
            residual[i] = b[i] - fitted[i];
        // A float SVD solve leaves the normal equations satisfied to a few 1e-5 of their
        // scale; a misplaced column or basis function leaves them off by whole percents.
        const double scale = MaxAbs(TransposeTimes(a, b));
        EXPECT_LT(MaxAbs(TransposeTimes(a, residual)), 2e-4 * scale);

        // The same problem solved a second way in double precision.
        const std::vector<double> expected = SolveNormalEquations(a, b);
        for (std::size_t j = 0; j < q.size(); ++j)
            EXPECT_NEAR(q[j], expected[j], 0.02) << "unknown " << j + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ApproxFitOptimality,
                         ::testing::Values(OptimalityCase{3, 40}, OptimalityCase{8, 120},
                                           OptimalityCase{12, 60}, OptimalityCase{30, 200}));

// --- the whole algorithm a second time ---------------------------------------------------

// One Newton-type step for each inner point towards the foot of its perpendicular.
void CorrectReference(const std::vector<FPoint>& curve, const std::vector<FPoint>& points,
                      std::vector<double>& t) {
    for (std::size_t k = 1; k + 1 < points.size(); ++k) {
        const DPoint p = reference::Evaluate(curve, t[k]);
        const DPoint d = reference::Derivative(curve, t[k]);
        t[k] += ((points[k].x - p.x) * d.x + (points[k].y - p.y) * d.y) / (d.x * d.x + d.y * d.y);
        t[k] = std::clamp(std::isnan(t[k]) ? 0.0 : t[k], 0.0, 1.0);
    }
}

// Chord-length start, least squares by the normal equations in double, correction steps,
// a last solve: the fit as described, by other means than the program's.
CApproxFitResult ReferenceFit(const Halves& h, int g, int iterations) {
    std::vector<double> tv = reference::ChordParameters(h.ventral);
    std::vector<double> td = reference::ChordParameters(h.dorsal);
    std::vector<double> bx, by;
    for (const auto* half : {&h.ventral, &h.dorsal})
        for (const FPoint& p : *half) {
            bx.push_back(p.x);
            by.push_back(p.y);
        }
    CApproxFitResult fit;
    auto solve = [&] {
        const std::vector<double> qx = SolveNormalEquations(Design(g, tv, td, false), bx);
        const std::vector<double> qy = SolveNormalEquations(Design(g, tv, td, true), by);
        auto point = [&](int j) {
            return FPoint(static_cast<float>(qx[j]), static_cast<float>(qy[j]));
        };
        fit.ventral.clear();
        fit.dorsal.clear();
        for (int j = 0; j <= g; ++j)
            fit.ventral.push_back(point(j));
        for (int j = g; j < 2 * g; ++j)
            fit.dorsal.push_back(point(j));
        fit.dorsal.push_back(point(0));
    };
    for (int i = 0; i < iterations; ++i) {
        solve();
        CorrectReference(fit.ventral, h.ventral, tv);
        CorrectReference(fit.dorsal, h.dorsal, td);
    }
    solve();
    fit.ventralParams.assign(tv.begin(), tv.end());
    fit.dorsalParams.assign(td.begin(), td.end());
    return fit;
}

struct AgreementCase {
    const char* name;
    Halves halves;
    int g;
    int iterations;
};

class ApproxFitAgreement : public ::testing::TestWithParam<AgreementCase> {};

TEST_P(ApproxFitAgreement, MatchesADoublePrecisionReimplementation) {
    const AgreementCase& c = GetParam();
    const CApproxFitResult fit =
        FitOrFail(c.halves.ventral, c.halves.dorsal, {c.g, c.iterations > 0, c.iterations});
    const CApproxFitResult expected = ReferenceFit(c.halves, c.g, c.iterations);
    // Float against double: the least-squares solutions differ in the fifth digit, the
    // parameters in the sixth; on outlines a few hundred units long that is below 0.05.
    EXPECT_LT(MaxDeviation(fit.ventral, expected.ventral), 0.05);
    EXPECT_LT(MaxDeviation(fit.dorsal, expected.dorsal), 0.05);
    for (std::size_t k = 0; k < expected.ventralParams.size(); ++k)
        ASSERT_NEAR(fit.ventralParams[k], expected.ventralParams[k], 1e-4) << k;
    for (std::size_t k = 0; k < expected.dorsalParams.size(); ++k)
        ASSERT_NEAR(fit.dorsalParams[k], expected.dorsalParams[k], 1e-4) << k;
}

INSTANTIATE_TEST_SUITE_P(
    Outlines, ApproxFitAgreement,
    ::testing::Values(
        AgreementCase{"ValveCurvesPlain", {Sample(kVentral, 300), Sample(kDorsal, 250)}, 8, 0},
        AgreementCase{"ValveCurvesCorrected", {Sample(kVentral, 300), Sample(kDorsal, 250)}, 8, 6},
        AgreementCase{"RippledEllipse", RippledEllipse(260.0, 120.0, 140, 3.0), 8, 6},
        AgreementCase{"FewControlPoints", RippledEllipse(260.0, 120.0, 90, 1.0), 3, 2},
        AgreementCase{"ManyControlPoints", RippledEllipse(260.0, 120.0, 150, 1.0), 20, 3}),
    [](const auto& info) { return std::string(info.param.name); });

// --- parameter correction on realistic outlines -----------------------------------------

std::vector<std::unique_ptr<CSpecimen>> ReadAll(const std::filesystem::path& path) {
    return ReadSpecimenFile(path.string()).specimens;
}

TEST(ApproxFitCorrection, NeverIncreasesTheMeanErrorOfTheSampleValves) {
    const std::filesystem::path dir = CARINOVA_SAMPLES_DIR;
    int fitted = 0;
    for (const char* name : {"valves.tps", "valves.txt", "valves.msd"}) {
        if (!std::filesystem::exists(dir / name))
            continue;
        for (const auto& specimen : ReadAll(dir / name)) {
            SCOPED_TRACE(std::string(name) + " " + specimen->Identifier);
            const auto& ventral = specimen->GetLowerHalf();
            const auto& dorsal = specimen->GetUpperHalf();
            const double plain =
                MeanDistance(FitOrFail(ventral, dorsal, {8, false, 6}), ventral, dorsal);
            double corrected = plain;
            for (int iterations = 1; iterations <= 6; ++iterations) {
                const double mean = MeanDistance(FitOrFail(ventral, dorsal, {8, true, iterations}),
                                                 ventral, dorsal);
                EXPECT_LE(mean, plain) << iterations << " iterations";
                corrected = mean;
            }
            // The digitised points scatter by about a pixel: six steps must gain something.
            EXPECT_LT(corrected, plain);
            ++fitted;
        }
    }
    if (fitted == 0)
        GTEST_SKIP() << "no sample valves in " << dir;
    EXPECT_GE(fitted, 6);
}

TEST(ApproxFitCorrection, NeverIncreasesTheMeanErrorOfNoisyEllipses) {
    for (double ripple : {0.5, 2.0, 6.0}) {
        SCOPED_TRACE(ripple);
        const Halves h = RippledEllipse(300.0, 140.0, 150, ripple);
        const double plain =
            MeanDistance(FitOrFail(h.ventral, h.dorsal, {8, false, 6}), h.ventral, h.dorsal);
        const CApproxFitResult fit = FitOrFail(h.ventral, h.dorsal, {8, true, 6});
        EXPECT_LE(MeanDistance(fit, h.ventral, h.dorsal), plain);
        // Corrected parameters stay in [0, 1] with the ends pinned.
        for (const auto* t : {&fit.ventralParams, &fit.dorsalParams}) {
            EXPECT_EQ(t->front(), 0.0f);
            EXPECT_EQ(t->back(), 1.0f);
            for (float v : *t) {
                EXPECT_GE(v, 0.0f);
                EXPECT_LE(v, 1.0f);
            }
        }
    }
}

// --- control-point layout ---------------------------------------------------------------

class ApproxFitLayout : public ::testing::TestWithParam<int> {};

TEST_P(ApproxFitLayout, CurvesShareTheirEndPointsOnTheAxis) {
    const int g = GetParam();
    const Halves h = RippledEllipse(200.0, 90.0, 100, 1.0);
    const CApproxFitResult fit = FitOrFail(h.ventral, h.dorsal, {g, true, 6});
    ASSERT_EQ(fit.ventral.size(), static_cast<std::size_t>(g + 1));
    ASSERT_EQ(fit.dorsal.size(), static_cast<std::size_t>(g + 1));
    const FPoint m1 = fit.dorsal.front();
    const FPoint m2 = fit.ventral.front();
    EXPECT_EQ(fit.ventral.back(), m1);
    EXPECT_EQ(fit.dorsal.back(), m2);
    EXPECT_EQ(m1.y, 0.0f);
    EXPECT_EQ(m2.y, 0.0f);
    // m1 is the right end of the outline, m2 the left one; with few control points the
    // curves cannot turn sharply there, so the ends overshoot by a few percent.
    EXPECT_NEAR(m1.x, 200.0f, 10.0f);
    EXPECT_NEAR(m2.x, -200.0f, 10.0f);
    // Inner control points: ventral below the axis, dorsal above.
    for (int i = 1; i < g; ++i) {
        EXPECT_LT(fit.ventral[i].y, 0.0f) << i;
        EXPECT_GT(fit.dorsal[i].y, 0.0f) << i;
    }
    // The ventral x rise from m2 to m1, the dorsal x fall back.
    for (int i = 1; i <= g; ++i) {
        EXPECT_GE(fit.ventral[i].x, fit.ventral[i - 1].x) << i;
        EXPECT_LE(fit.dorsal[i].x, fit.dorsal[i - 1].x) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(ControlPointCounts, ApproxFitLayout, ::testing::Values(3, 8, 30));

// --- small and broken halves ------------------------------------------------------------

TEST(ApproxFitEdges, HalfOfTwoPointsKeepsParametersZeroAndOne) {
    const Halves h = RippledEllipse(100.0, 50.0, 60, 0.0);
    const std::vector<FPoint> ventral = {{-100, 0}, {100, 0}};
    const CApproxFitResult fit = FitOrFail(ventral, h.dorsal, {8, true, 6});
    EXPECT_EQ(fit.ventralParams, (std::vector<float>{0.0f, 1.0f}));
    EXPECT_TRUE(AllFinite(fit.ventral));
    EXPECT_TRUE(AllFinite(fit.dorsal));
    // The ends are shared with the dorsal fit, which holds them near the outline's ends.
    EXPECT_NEAR(fit.ventral.front().x, -100.0f, 1.0f);
    EXPECT_NEAR(fit.ventral.back().x, 100.0f, 1.0f);
}

TEST(ApproxFitEdges, FewerPointsThanUnknownsStillFits) {
    // 3 + 3 data points for 16 x unknowns and 14 y unknowns.
    const std::vector<FPoint> ventral = {{-50, 0}, {0, -20}, {50, 0}};
    const std::vector<FPoint> dorsal = {{50, 0}, {0, 25}, {-50, 0}};
    for (bool correction : {false, true}) {
        const CApproxFitResult fit = FitOrFail(ventral, dorsal, {8, correction, 6});
        ASSERT_EQ(fit.ventral.size(), 9u);
        EXPECT_TRUE(AllFinite(fit.ventral));
        EXPECT_TRUE(AllFinite(fit.dorsal));
        // The minimum-norm solution still interpolates: residuals vanish.
        EXPECT_LT(MeanDistance(fit, ventral, dorsal), 1e-2);
    }
}

TEST(ApproxFitEdges, CorrectedParametersAreClampedToTheUnitInterval) {
    // A straight ventral half along the axis whose second point lies 20 units behind m2 and
    // whose last but one lies 20 units beyond m1. Their chord-length parameters are about
    // 0.07 and 0.93, but the fitted curve cannot double back that sharply, so the first
    // correction step overshoots 0 and 1.
    std::vector<FPoint> ventral = {{-100, 0}, {-120, 0}};
    for (int x = -99; x <= 99; ++x)
        ventral.emplace_back(static_cast<float>(x), 0.0f);
    ventral.insert(ventral.end(), {{120, 0}, {100, 0}});
    const Halves h = RippledEllipse(100.0, 50.0, 60, 0.0);
    // One step, so that the returned parameters are those of the first correction.
    const CApproxFitResult fit = FitOrFail(ventral, h.dorsal, {6, true, 1});
    const auto& t = fit.ventralParams;
    EXPECT_EQ(t.front(), 0.0f);
    EXPECT_EQ(t.back(), 1.0f);
    EXPECT_TRUE(std::all_of(t.begin(), t.end(), [](float v) { return v >= 0.0f && v <= 1.0f; }));
    EXPECT_EQ(t[1], 0.0f);
    EXPECT_EQ(t[t.size() - 2], 1.0f);
}

struct RefusedCase {
    const char* name;
    std::vector<FPoint> ventral;
    std::vector<FPoint> dorsal;
    int g;
};

class ApproxFitRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(ApproxFitRefused, GivesAMessageAndLeavesTheResultAlone) {
    const RefusedCase& c = GetParam();
    CApproxFitResult result;
    result.ventral = {{1, 2}};
    std::string error;
    EXPECT_FALSE(FitOutlineHalves(c.ventral, c.dorsal, {c.g, true, 6}, result, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(result.ventral, (std::vector<FPoint>{{1, 2}}));
    EXPECT_TRUE(result.dorsal.empty());
}

const std::vector<FPoint> kArc = {{50, 0}, {0, 25}, {-50, 0}};

INSTANTIATE_TEST_SUITE_P(
    Halves, ApproxFitRefused,
    ::testing::Values(
        RefusedCase{"EmptyVentral", {}, kArc, 8}, RefusedCase{"EmptyDorsal", kArc, {}, 8},
        RefusedCase{"SinglePoint", {{0, 0}}, kArc, 8},
        RefusedCase{"CoincidingPoints", {{3, 0}, {3, 0}, {3, 0}}, kArc, 8},
        RefusedCase{"NotANumber", {{0, 0}, {kNaN, 1}, {5, 0}}, kArc, 8},
        RefusedCase{"Infinite", {{0, 0}, {std::numeric_limits<float>::infinity(), 1}}, kArc, 8},
        RefusedCase{"TooFewControlPoints", kArc, kArc, 2},
        RefusedCase{"TooManyControlPoints", kArc, kArc, 31}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
