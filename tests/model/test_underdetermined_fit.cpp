// Fits whose halves have fewer, as many or a few more points than their curves have control
// points, against the same least-squares fit done in double precision with the minimum-norm
// answer (Eigen's singular value decomposition), by both solvers.
#include "cluster/cluster_test_support.h"
#include "formats/reader_test_support.h"
#include "model/approx_specimen.h"
#include "support/real_shaped_outlines.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

namespace {

using cluster_test::BasisD;
using cluster_test::Knot;

// Derivative of the clamped uniform quadratic basis function i (n + 1 control points).
double BasisSlope(int i, double t, int n) {
    double slope = 0.0;
    const double d1 = Knot(i + 2, n) - Knot(i, n);
    const double d2 = Knot(i + 3, n) - Knot(i + 1, n);
    if (d1 > 0.0)
        slope += 2.0 / d1 * BasisD(i, 1, t, n);
    if (d2 > 0.0)
        slope -= 2.0 / d2 * BasisD(i + 1, 1, t, n);
    return slope;
}

struct DPoint2 {
    double x = 0.0, y = 0.0;
};

struct CurveSample {
    DPoint2 point, slope;
};

CurveSample At(const std::vector<DPoint2>& control, double t) {
    const int n = static_cast<int>(control.size()) - 1;
    CurveSample s;
    for (int i = 0; i <= n; ++i) {
        const double b = BasisD(i, 2, t, n), d = BasisSlope(i, t, n);
        s.point.x += b * control[i].x;
        s.point.y += b * control[i].y;
        s.slope.x += d * control[i].x;
        s.slope.y += d * control[i].y;
    }
    return s;
}

std::vector<double> ChordParameters(const std::vector<FPoint>& points) {
    std::vector<double> t(points.size(), 0.0);
    for (std::size_t k = 1; k < points.size(); ++k)
        t[k] = t[k - 1] + std::hypot(static_cast<double>(points[k].x) - points[k - 1].x,
                                     static_cast<double>(points[k].y) - points[k - 1].y);
    for (double& v : t)
        v /= t.back();
    return t;
}

// The minimum-norm least-squares answer of A q = b in double precision, with the singular
// values below the largest one times the float epsilon times the larger dimension counted as
// zero: a single-precision matrix cannot tell them from zero. Notes the conditioning of what is
// kept, and whether a singular value lies so near that threshold that the rank is a matter of
// rounding.
struct Conditioning {
    double kept = 1.0; // largest over smallest kept singular value
    bool ambiguous = false;
};

Eigen::VectorXd MinimumNorm(const Eigen::MatrixXd& a, const Eigen::VectorXd& b,
                            Conditioning& conditioning) {
    const Eigen::JacobiSVD<Eigen::MatrixXd> svd(a, Eigen::ComputeThinU | Eigen::ComputeThinV);
    const Eigen::VectorXd& w = svd.singularValues();
    const double threshold = w(0) * std::numeric_limits<float>::epsilon() *
                             static_cast<double>(std::max(a.rows(), a.cols()));
    Eigen::VectorXd inverse = Eigen::VectorXd::Zero(w.size());
    for (Eigen::Index k = 0; k < w.size(); ++k) {
        if (w(k) > threshold / 4.0 && w(k) < threshold * 4.0)
            conditioning.ambiguous = true;
        if (w(k) > threshold) {
            inverse(k) = 1.0 / w(k);
            conditioning.kept = std::max(conditioning.kept, w(0) / w(k));
        }
    }
    return svd.matrixV() * inverse.asDiagonal() * svd.matrixU().transpose() * b;
}

// The fit of both halves in double precision: x of all 2g points, y of the inner ones, each the
// minimum-norm least-squares answer; then the parameter correction.
struct DoubleFit {
    std::vector<DPoint2> ventral, dorsal;
    std::vector<double> tv, td;
    double meanError = 0.0;
    Conditioning conditioning;
};

DoubleFit FitInDouble(const CSpecimen& s, int g, int iterations) {
    const std::vector<FPoint>& v = s.GetLowerHalf();
    const std::vector<FPoint>& d = s.GetUpperHalf();
    DoubleFit fit{{}, {}, ChordParameters(v), ChordParameters(d), 0.0, {}};
    const int rows = static_cast<int>(v.size() + d.size());
    auto solve = [&] {
        Eigen::MatrixXd ax = Eigen::MatrixXd::Zero(rows, 2 * g);
        Eigen::MatrixXd ay = Eigen::MatrixXd::Zero(rows, 2 * g);
        Eigen::VectorXd bx(rows), by(rows);
        for (int r = 0; r < rows; ++r) {
            const bool ventral = r < static_cast<int>(v.size());
            const int k = ventral ? r : r - static_cast<int>(v.size());
            const double t = ventral ? fit.tv[k] : fit.td[k];
            const FPoint p = ventral ? v[k] : d[k];
            bx(r) = p.x;
            by(r) = p.y;
            for (int c = 0; c <= g; ++c) {
                // Columns 0-based: ventral function c in column c; dorsal function c in column
                // g + c, the last one (at the left end) in column 0.
                const int column = ventral ? c : (c == g ? 0 : g + c);
                const double b = BasisD(c, 2, t, g);
                ax(r, column) += b;
                if (column != 0 && column != g)
                    ay(r, column) += b;
            }
        }
        const Eigen::VectorXd qx = MinimumNorm(ax, bx, fit.conditioning);
        const Eigen::VectorXd qy = MinimumNorm(ay, by, fit.conditioning);
        fit.ventral.assign(g + 1, {});
        fit.dorsal.assign(g + 1, {});
        for (int c = 0; c <= g; ++c) {
            fit.ventral[c] = {qx(c), c == 0 || c == g ? 0.0 : qy(c)};
            const int column = c == g ? 0 : g + c;
            fit.dorsal[c] = {qx(column), c == 0 || c == g ? 0.0 : qy(column)};
        }
    };
    auto correct = [](const std::vector<DPoint2>& control, const std::vector<FPoint>& points,
                      std::vector<double>& t) {
        for (std::size_t k = 1; k + 1 < points.size(); ++k) {
            const CurveSample c = At(control, t[k]);
            const double norm = c.slope.x * c.slope.x + c.slope.y * c.slope.y;
            t[k] +=
                ((points[k].x - c.point.x) * c.slope.x + (points[k].y - c.point.y) * c.slope.y) /
                norm;
            t[k] = std::clamp(std::isnan(t[k]) ? 0.0 : t[k], 0.0, 1.0);
        }
    };
    for (int i = 0; i < iterations; ++i) {
        solve();
        correct(fit.ventral, v, fit.tv);
        correct(fit.dorsal, d, fit.td);
    }
    solve();
    double sum = 0.0;
    for (std::size_t k = 0; k < v.size(); ++k) {
        const DPoint2 c = At(fit.ventral, fit.tv[k]).point;
        sum += std::hypot(v[k].x - c.x, v[k].y - c.y);
    }
    for (std::size_t k = 0; k < d.size(); ++k) {
        const DPoint2 c = At(fit.dorsal, fit.td[k]).point;
        sum += std::hypot(d[k].x - c.x, d[k].y - c.y);
    }
    fit.meanError = sum / rows;
    return fit;
}

struct UnderdeterminedCase {
    int g;
    int points;
    int iterations;
    int first = 0; // outlines of the series passed over before the 30 compared
};

// Whether the fit of one outline was compared: not when a half is too short to fit or the
// double-precision answer itself is ambiguous (a singular value near the cut).
bool ExpectMatchesTheDoubleFit(const CSpecimen& specimen, const UnderdeterminedCase& c) {
    const std::vector<FPoint>& lower = specimen.GetLowerHalf();
    const std::vector<FPoint>& upper = specimen.GetUpperHalf();
    if (lower.size() < 2 || upper.size() < 2)
        return false;
    const DoubleFit expected = FitInDouble(specimen, c.g, c.iterations);
    if (expected.conditioning.ambiguous)
        return false;
    FRect box;
    specimen.GetBoundingBox(box);
    const double size = std::max(box.Width(), box.Height());
    double largest = size;
    for (const std::vector<DPoint2>* curve : {&expected.ventral, &expected.dorsal})
        for (const DPoint2& q : *curve)
            largest = std::max({largest, std::fabs(q.x), std::fabs(q.y)});
    // What rounding the data to float moves the kept part of the answer by, relatively.
    const double conditioned = std::numeric_limits<float>::epsilon() * expected.conditioning.kept;
    const double tolerance = 1e-4 * size + 100.0 * conditioned * largest;
    for (CFitSolver solver : {CFitSolver::Sparse, CFitSolver::PseudoInverse}) {
        CApproxSpecimen fit;
        fit.ControlPointsCnt = c.g;
        fit.ParamIterCount = c.iterations;
        fit.ApplyParamIteration = c.iterations > 0;
        fit.Solver = solver;
        std::string error;
        EXPECT_TRUE(fit.Fit(specimen, error)) << error;
        double worst = 0.0;
        for (int i = 0; i <= c.g; ++i)
            for (const auto& [got, want] :
                 {std::pair{fit.ApproxLower.ControlPoints[i], expected.ventral[i]},
                  std::pair{fit.ApproxUpper.ControlPoints[i], expected.dorsal[i]}})
                worst = std::max(worst, std::hypot(got.x - want.x, got.y - want.y));
        EXPECT_LT(worst, tolerance) << "solver " << static_cast<int>(solver) << " halves "
                                    << lower.size() << "/" << upper.size();
        EXPECT_NEAR(fit.MeanDiffOben + fit.MeanDiffUnten, expected.meanError,
                    (1e-4 + conditioned) * expected.meanError + 1e-5 * size)
            << "solver " << static_cast<int>(solver);
    }
    return true;
}

class UnderdeterminedFit : public ::testing::TestWithParam<UnderdeterminedCase> {};

// With the defaults (8 intervals, 9 control points a half) on outlines of 12 to 20 points, and
// with 30 intervals on outlines of 50 to 70, the float fit gave control points up to 8e8 and
// mean errors twenty times the least-squares answer. Both may move by what the float epsilon
// times the condition number of the kept part allows.
TEST_P(UnderdeterminedFit, MatchesTheMinimumNormSolveInDouble) {
    const UnderdeterminedCase c = GetParam();
    real_shaped::COutlineMaker maker(static_cast<std::uint32_t>(c.g * 1000 + c.points));
    int compared = 0;
    for (int n = 0; n < c.first + 30; ++n) {
        SCOPED_TRACE(n);
        const auto specimen = real_shaped::MakeSpecimen(maker.Next({.points = c.points}));
        if (n >= c.first)
            compared += ExpectMatchesTheDoubleFit(*specimen, c);
    }
    EXPECT_GE(compared, 15);
}

// The real outlines of 200 points thinned to 64, fitted with 30 intervals: halves of about 32
// points for 31 control points each.
TEST(UnderdeterminedRealFit, ThinnedRealOutlinesMatchTheMinimumNormSolve) {
    REAL_SPECIMENS_OR_SKIP(specimens, "momitvb_allrapanui.tps");
    ASSERT_EQ(specimens.size(), 119u);
    int compared = 0;
    for (std::size_t i = 0; i < specimens.size(); i += 4) {
        SCOPED_TRACE(specimens[i]->ShortPathName);
        const std::vector<FPoint>& contour = specimens[i]->Contour;
        std::vector<FPoint> thinned;
        for (std::size_t k = 0; k < 64; ++k)
            thinned.push_back(contour[k * contour.size() / 64]);
        const auto specimen = real_shaped::MakeSpecimen(thinned);
        compared += ExpectMatchesTheDoubleFit(*specimen, {30, 64, 0});
    }
    EXPECT_GE(compared, 15);
}

// Halves of about g - 3 to g + 5 points for g + 1 control points a half.
INSTANTIATE_TEST_SUITE_P(
    Halves, UnderdeterminedFit,
    ::testing::Values(UnderdeterminedCase{8, 12, 0}, UnderdeterminedCase{8, 14, 0},
                      UnderdeterminedCase{8, 16, 0}, UnderdeterminedCase{8, 18, 0},
                      UnderdeterminedCase{8, 20, 0}, UnderdeterminedCase{8, 14, 6},
                      UnderdeterminedCase{8, 18, 6}, UnderdeterminedCase{30, 50, 0},
                      UnderdeterminedCase{30, 60, 0}, UnderdeterminedCase{30, 64, 0},
                      UnderdeterminedCase{30, 70, 0}, UnderdeterminedCase{30, 64, 6},
                      UnderdeterminedCase{12, 26, 0}, UnderdeterminedCase{12, 30, 6},
                      // Outline 266 of this series has an x system that is singular though
                      // every pivot of its factorisation is fair: the sparse solve gave
                      // control points of 4e6 when it trusted the pivots alone.
                      UnderdeterminedCase{30, 70, 0, 255}));

} // namespace
