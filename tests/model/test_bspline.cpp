#include "model/bspline.h"
#include "platform/recording_dc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Kind = CRecordingDC::OpKind;

constexpr float kOutsideKnot = 1.1754944e-38f;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

CBSpline Curve(std::vector<FPoint> points) {
    CBSpline s;
    s.ControlPoints = std::move(points);
    return s;
}

// Irregular but reproducible control points.
std::vector<FPoint> Wiggly(int count) {
    std::vector<FPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({static_cast<float>(40.0 * std::sin(1.7 * i) + 3.0 * i),
                          static_cast<float>(-25.0 * std::cos(0.9 * i + 0.3))});
    return points;
}

// --- knots -------------------------------------------------------------------------------

struct KnotCase {
    int n;
    std::vector<float> knots; // t_0 ... t_(n+3)
};

class KnotVector : public testing::TestWithParam<KnotCase> {};

TEST_P(KnotVector, MatchesClampedUniformKnotsAndMarksOutsideIndices) {
    const KnotCase& k = GetParam();
    ASSERT_EQ(k.knots.size(), static_cast<size_t>(k.n + 4));
    for (int i = 0; i <= k.n + 3; ++i)
        EXPECT_EQ(CBSpline::Knot(2, k.n, i), k.knots[i]) << "i = " << i;
    for (int i : {-1, -7, k.n + 4, k.n + 20}) {
        EXPECT_EQ(CBSpline::Knot(2, k.n, i), kOutsideKnot) << "i = " << i;
        EXPECT_GT(CBSpline::Knot(2, k.n, i), 0.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, KnotVector,
                         testing::Values(KnotCase{1, {0, 0, 0, 1, 1}},
                                         KnotCase{2, {0, 0, 0, 1, 1, 1}},
                                         KnotCase{3, {0, 0, 0, 0.5f, 1, 1, 1}},
                                         KnotCase{5, {0, 0, 0, 0.25f, 0.5f, 0.75f, 1, 1, 1}}));

// --- basis functions -----------------------------------------------------------------------

class BasisOfCount : public testing::TestWithParam<int> {};

TEST_P(BasisOfCount, FormsAPartitionOfUnityOnTheParameterRange) {
    const int n = GetParam();
    const CBSpline s = Curve(Wiggly(n + 1));
    std::vector<float> ts;
    for (int k = 0; k <= 200; ++k)
        ts.push_back(static_cast<float>(k / 200.0));
    for (int j = 1; j < n - 1; ++j) {
        const float knot = static_cast<float>(j) / static_cast<float>(n - 1);
        ts.insert(ts.end(), {knot, std::nextafter(knot, 0.0f), std::nextafter(knot, 1.0f)});
    }
    for (float t : ts) {
        double sum = 0.0;
        for (int c = 0; c <= n; ++c) {
            EXPECT_GE(s.Basis(c, t), 0.0f);
            sum += s.Basis(c, t);
        }
        EXPECT_NEAR(sum, 1.0, 1e-6) << "t = " << t;
    }
    for (float t : {-0.001f, 1.001f, -5.0f, 7.0f})
        for (int c = 0; c <= n; ++c)
            EXPECT_EQ(s.Basis(c, t), 0.0f);
}

// Bit patterns, so that -0 and 0 differ; any NaN matches any NaN.
bool SameFloat(float a, float b) {
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

TEST_P(BasisOfCount, EvaluationEqualsTheFullSumBitForBit) {
    const int n = GetParam();
    std::vector<FPoint> points = Wiggly(n + 1);
    points[0] = {-0.0f, 0.0f};
    CBSpline s = Curve(points);
    std::vector<float> ts = {-0.0f, -1e-7f, 1.0000001f, 2.0f, -3.0f, kNaN, kInf};
    for (int k = 0; k <= 997; ++k)
        ts.push_back(static_cast<float>(k) / 997.0f);
    for (int i = 0; i <= n + 3; ++i) {
        const float knot = CBSpline::Knot(2, n, i);
        ts.insert(ts.end(), {knot, std::nextafter(knot, 0.0f), std::nextafter(knot, 1.0f)});
    }
    auto check = [&](const CBSpline& curve) {
        for (float t : ts) {
            float x = 0.0f, y = 0.0f, dx = 0.0f, dy = 0.0f;
            for (int c = 0; c <= n; ++c) {
                x += curve.Basis(c, t) * curve.ControlPoints[c].x;
                y += curve.Basis(c, t) * curve.ControlPoints[c].y;
                dx += curve.BasisDerivative(c, t) * curve.ControlPoints[c].x;
                dy += curve.BasisDerivative(c, t) * curve.ControlPoints[c].y;
            }
            const FPoint p = curve.Evaluate(t);
            const FPoint d = curve.EvaluateDerivative(t);
            EXPECT_TRUE(SameFloat(p.x, x) && SameFloat(p.y, y)) << "t = " << t;
            EXPECT_TRUE(SameFloat(d.x, dx) && SameFloat(d.y, dy)) << "t = " << t;
        }
    };
    check(s);
    // A non-finite point far from t still spoils the sum, as its zero term is NaN.
    s.ControlPoints[n].x = kInf;
    check(s);
    EXPECT_TRUE(std::isnan(s.Evaluate(0.0f).x));
}

INSTANTIATE_TEST_SUITE_P(Counts, BasisOfCount, testing::Values(2, 3, 5, 12, 29));

// --- points and tangents --------------------------------------------------------------------

TEST(BSplineEvaluate, ThreeControlPointsGiveTheQuadraticBezierCurve) {
    const FPoint p0{3.0f, -1.0f}, p1{10.0f, 8.0f}, p2{-4.0f, 2.5f};
    const CBSpline s = Curve({p0, p1, p2});
    for (int k = 0; k <= 50; ++k) {
        const float t = static_cast<float>(k / 50.0);
        const double u = t;
        const double a = (1 - u) * (1 - u), b = 2 * u * (1 - u), c = u * u;
        const FPoint p = s.Evaluate(t);
        EXPECT_NEAR(p.x, a * p0.x + b * p1.x + c * p2.x, 1e-5) << "t = " << t;
        EXPECT_NEAR(p.y, a * p0.y + b * p1.y + c * p2.y, 1e-5) << "t = " << t;
    }
}

class EndPoints : public testing::TestWithParam<int> {};

TEST_P(EndPoints, CurveStartsAndEndsExactlyAtTheOuterControlPoints) {
    const std::vector<FPoint> points = Wiggly(GetParam());
    const CBSpline s = Curve(points);
    EXPECT_EQ(s.Evaluate(0.0f), points.front());
    EXPECT_EQ(s.Evaluate(1.0f), points.back());
    // Clamped end tangents: p / (t_(p+1) - t_1) (P_1 - P_0) with t_3 = 1/(n-1).
    const double k = 2.0 * (GetParam() - 2);
    const int n = GetParam() - 1;
    auto near = [](float actual, double expected) {
        EXPECT_NEAR(actual, expected, 1e-5 * std::max(1.0, std::fabs(expected)));
    };
    near(s.EvaluateDerivative(0.0f).x, k * (points[1].x - points[0].x));
    near(s.EvaluateDerivative(0.0f).y, k * (points[1].y - points[0].y));
    near(s.EvaluateDerivative(1.0f).x, k * (points[n].x - points[n - 1].x));
    near(s.EvaluateDerivative(1.0f).y, k * (points[n].y - points[n - 1].y));
}

INSTANTIATE_TEST_SUITE_P(Counts, EndPoints, testing::Values(3, 4, 8, 31));

TEST(BSplineEvaluate, DerivativeMatchesCentralDifferences) {
    const CBSpline s = Curve(Wiggly(7)); // inner knots at 0.2, 0.4, 0.6, 0.8
    for (int k = 0; k < 10; ++k) {
        const double t = 0.05 + 0.1 * k;
        const float lo = static_cast<float>(t - 1e-3), hi = static_cast<float>(t + 1e-3);
        const double span = static_cast<double>(hi) - lo;
        const FPoint d = s.EvaluateDerivative(static_cast<float>(t));
        const double fx = (static_cast<double>(s.Evaluate(hi).x) - s.Evaluate(lo).x) / span;
        const double fy = (static_cast<double>(s.Evaluate(hi).y) - s.Evaluate(lo).y) / span;
        EXPECT_NEAR(d.x, fx, 1e-3 * std::max(1.0, std::fabs(fx))) << "t = " << t;
        EXPECT_NEAR(d.y, fy, 1e-3 * std::max(1.0, std::fabs(fy))) << "t = " << t;
    }
}

TEST(BSplineEvaluate, EmptyCurveIsTheOriginAndDrawsNothing) {
    CBSpline s;
    s.DrawControlPointsText = true;
    EXPECT_EQ(s.Evaluate(0.5f), FPoint(0.0f, 0.0f));
    EXPECT_EQ(s.EvaluateDerivative(0.5f), FPoint(0.0f, 0.0f));
    CRecordingDC dc;
    s.Draw(dc);
    EXPECT_TRUE(dc.Ops().empty());
}

// Fewer than three points leave the degree-2 basis incomplete: with knots 0,0,0,1,1 the two
// functions are (1-t)^2 and 2t(1-t); with one point only (1-t)^2 remains.
TEST(BSplineEvaluate, ShortCurvesUseTheDegenerateBasisAndStillDraw) {
    CBSpline two = Curve({{4.0f, 8.0f}, {2.0f, -6.0f}});
    EXPECT_EQ(two.Evaluate(0.5f), FPoint(0.25f * 4 + 0.5f * 2, 0.25f * 8 - 0.5f * 6));
    const CBSpline one = Curve({{4.0f, 8.0f}});
    EXPECT_EQ(one.Evaluate(0.5f), FPoint(1.0f, 2.0f));
    two.DrawControlPointsText = true;
    CRecordingDC dc;
    two.Draw(dc);
    EXPECT_EQ(dc.OpsOfKind(Kind::Line).size(), 101u + 1u);
    EXPECT_EQ(dc.OpsOfKind(Kind::Rectangle).size(), 2u);
    dc.Clear();
    one.Draw(dc);
    EXPECT_EQ(dc.OpsOfKind(Kind::Line).size(), 101u); // the polygon of one point has no line
}

TEST(BSplineEditing, AddSetGetAndRemove) {
    CBSpline s;
    EXPECT_TRUE(s.DrawSpline && s.DrawControlPoints && s.DrawControlPolygon);
    EXPECT_FALSE(s.DrawControlPointsText);
    EXPECT_EQ(s.SplinePenWidth, 1);
    EXPECT_EQ(s.ColorSpline, 255u);
    s.AddControlPoint(1.0f, 2.0f);
    s.AddControlPoint(3.0f, 4.0f);
    s.SetControlPoint(0, {5.0f, 6.0f});
    EXPECT_EQ(s.GetControlPointCount(), 2);
    EXPECT_EQ(s.GetControlPoint(0), FPoint(5.0f, 6.0f));
    EXPECT_EQ(s.GetControlPoint(1), FPoint(3.0f, 4.0f));
    EXPECT_THROW(s.GetControlPoint(2), std::out_of_range);
    EXPECT_THROW(s.SetControlPoint(-1, {}), std::out_of_range);
    s.RemoveAllControlPoints();
    EXPECT_EQ(s.GetControlPointCount(), 0);
}

// --- drawing -------------------------------------------------------------------------------

CBSpline Only(std::vector<FPoint> points, bool spline, bool polygon, bool squares, bool texts) {
    CBSpline s = Curve(std::move(points));
    s.DrawSpline = spline;
    s.DrawControlPolygon = polygon;
    s.DrawControlPoints = squares;
    s.DrawControlPointsText = texts;
    return s;
}

// The samples t = 0, step, 2 step, ... accumulated in a float while t <= 1.
std::vector<float> Samples(float step) {
    std::vector<float> ts;
    for (float t = 0.0f; t <= 1.0f; t += step)
        ts.push_back(t);
    return ts;
}

class CurveSampling : public testing::TestWithParam<bool> {};

// Move to P(0), then one line to P(t) for every sample including t = 0: the first line has
// zero length, and there are as many lines as samples, 101 on screen and 51 on paper.
TEST_P(CurveSampling, OneLinePerSampleEndingShortOfTheLastPoint) {
    const bool printing = GetParam();
    CBSpline s = Only({{0, 0}, {500000, 400000}, {1000000, 0}}, true, false, false, false);
    s.SplinePenWidth = 3;
    s.ColorSpline = RGB(0, 128, 255);
    CRecordingDC dc(printing);
    s.Draw(dc);
    const auto lines = dc.OpsOfKind(Kind::Line);
    const std::vector<float> ts = Samples(printing ? 0.02f : 0.01f);
    ASSERT_EQ(lines.size(), printing ? 51u : 101u);
    ASSERT_EQ(ts.size(), lines.size());
    EXPECT_EQ(lines[0].box, (CRect{0, 0, 0, 0}));
    for (size_t k = 0; k < lines.size(); ++k) {
        const double t = ts[k];
        const double x = 1e6 * t, y = 800000.0 * t * (1 - t); // the Bezier curve, simplified
        EXPECT_NEAR(lines[k].box.right, std::round(x), 1.0) << "k = " << k;
        EXPECT_NEAR(lines[k].box.bottom, std::round(y), 1.0) << "k = " << k;
        EXPECT_EQ(lines[k].pen, (CPen{PenStyle::Solid, 3, RGB(0, 128, 255)}));
        if (k > 0) {
            EXPECT_EQ(lines[k].box.left, lines[k - 1].box.right);
        }
    }
    if (!printing) { // t ends at 0.9999993: x = 999999.3, one unit before P(1)
        EXPECT_EQ(lines.back().box.right, 999999);
    }
}

INSTANTIATE_TEST_SUITE_P(ScreenAndPaper, CurveSampling, testing::Bool());

TEST(BSplineDraw, CurveCoordinatesRoundHalvesAwayFromZero) {
    // Constant curve: every sample is the point itself.
    const CBSpline s =
        Only({{-2.5f, 2.5f}, {-2.5f, 2.5f}, {-2.5f, 2.5f}}, true, false, false, false);
    CRecordingDC dc;
    s.Draw(dc);
    EXPECT_EQ(dc.OpsOfKind(Kind::Line).back().box, (CRect{-3, 3, -3, 3}));
}

TEST(BSplineDraw, ControlPolygonUsesTruncatedCoordinatesAndAHairline) {
    const CBSpline s =
        Only({{-2.7f, 3.9f}, {5.5f, -1.2f}, {8.9f, 7.99f}}, false, true, false, false);
    CRecordingDC dc;
    s.Draw(dc);
    const auto lines = dc.OpsOfKind(Kind::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].box, (CRect{-2, 3, 5, -1}));
    EXPECT_EQ(lines[1].box, (CRect{5, -1, 8, 7}));
    for (const auto& line : lines)
        EXPECT_EQ(line.pen, (CPen{PenStyle::Solid, 0, RGB(0, 0, 0)}));
}

struct MappingCase {
    const char* name;
    int mapMode;
    CSize window, viewport;
    int dpi;
    int a, b;   // square half sizes
    int height; // font height
    int textY;  // text y for a point at y = -7.8
};

class MarkerSizes : public testing::TestWithParam<MappingCase> {};

TEST_P(MarkerSizes, SquaresAndTextsFollowTheMapping) {
    const MappingCase& m = GetParam();
    CRecordingDC dc;
    dc.SetDeviceCaps(LOGPIXELSX, m.dpi);
    dc.SetDeviceCaps(LOGPIXELSY, m.dpi);
    dc.SetMapMode(m.mapMode);
    dc.SetWindowExt(m.window.cx, m.window.cy);
    dc.SetViewportExt(m.viewport.cx, m.viewport.cy);
    ASSERT_EQ(dc.GetViewportExt(), m.viewport); // no isotropic correction in these cases
    const CBSpline s = Only({{10.7f, -7.8f}}, false, false, true, true);
    s.Draw(dc);
    const auto squares = dc.OpsOfKind(Kind::Rectangle);
    ASSERT_EQ(squares.size(), 1u);
    EXPECT_EQ(squares[0].box, (CRect{10 - m.a, -7 - m.b, 10 + m.a, -7 + m.b}));
    EXPECT_EQ(squares[0].pen, (CPen{PenStyle::Solid, 0, RGB(0, 0, 0)}));
    EXPECT_EQ(squares[0].brush, (CBrush{BrushStyle::Solid, RGB(255, 255, 0)}));
    const auto texts = dc.OpsOfKind(Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].box.left, 10);
    EXPECT_EQ(texts[0].box.top, m.textY);
    EXPECT_EQ(texts[0].font.height, m.height);
}

// a = wx*4/vx*dpi/96 + 0.5 and b = wy*(-4)/vy*dpi/96 + 0.5, truncated; h = wy*10/vy*dpi/96;
// text y = trunc(-7 - 1.3 h).
INSTANTIATE_TEST_SUITE_P(
    Mappings, MarkerSizes,
    testing::Values(
        MappingCase{"Text", MM_TEXT, {1, 1}, {1, 1}, 96, 4, -3, 10, -20},
        MappingCase{"IsotropicYUp", MM_ISOTROPIC, {1000, 1000}, {500, -500}, 96, 8, 8, -20, 19},
        MappingCase{
            "IsotropicYUp120", MM_ISOTROPIC, {1000, 1000}, {500, -500}, 120, 10, 10, -25, 25},
        MappingCase{"Anisotropic", MM_ANISOTROPIC, {300, 200}, {100, -50}, 96, 12, 16, -40, 45}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BSplineDraw, SquaresAreWhiteOnPaper) {
    const CBSpline s = Only({{1, 1}, {2, 2}, {3, 3}}, false, false, true, false);
    CRecordingDC dc(true);
    s.Draw(dc);
    const auto squares = dc.OpsOfKind(Kind::Rectangle);
    ASSERT_EQ(squares.size(), 3u);
    for (const auto& square : squares)
        EXPECT_EQ(square.brush, (CBrush{BrushStyle::Solid, RGB(255, 255, 255)}));
}

TEST(BSplineDraw, CoordinateTextsWithThreeDecimals) {
    const CBSpline s =
        Only({{10.7f, -7.8f}, {-0.0004f, 1234.5678f}, {2.0625f, 1e6f}}, false, false, false, true);
    CRecordingDC dc;
    s.Draw(dc);
    const auto texts = dc.OpsOfKind(Kind::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "(10.700, -7.800)");
    EXPECT_EQ(texts[1].text, "(-0.000, 1234.568)");
    EXPECT_EQ(texts[2].text, "(2.062, 1000000.000)"); // an exact tie rounds to even, as printf
    CFont arial;
    arial.height = 10;
    arial.weight = 400;
    arial.pitchAndFamily = 32;
    arial.faceName = "Arial";
    for (const auto& text : texts) {
        EXPECT_EQ(text.font, arial);
        EXPECT_EQ(text.color, RGB(0, 0, 0));
        EXPECT_EQ(text.textAlign, TA_BASELINE | TA_CENTER);
    }
}

TEST(BSplineDraw, DeviceContextStateIsRestored) {
    CRecordingDC dc;
    const CPen pen{PenStyle::Dash, 2, RGB(1, 2, 3)};
    const CBrush brush{BrushStyle::Solid, RGB(4, 5, 6)};
    CFont font;
    font.height = 7;
    font.faceName = "Courier";
    dc.SelectPen(pen);
    dc.SelectBrush(brush);
    dc.SelectFont(font);
    dc.SetTextColor(RGB(7, 8, 9));
    dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    const CBSpline s = Only(Wiggly(5), true, true, true, true);
    s.Draw(dc);
    EXPECT_EQ(dc.OpsOfKind(Kind::Text).size(), 5u);
    EXPECT_EQ(dc.GetPen(), pen);
    EXPECT_EQ(dc.GetBrush(), brush);
    EXPECT_EQ(dc.GetFont(), font);
    EXPECT_EQ(dc.GetTextColor(), RGB(7, 8, 9));
    EXPECT_EQ(dc.GetTextAlign(), TA_RIGHT | TA_BOTTOM);
}

TEST(BSplineDraw, NothingWhenEveryPartIsOff) {
    CRecordingDC dc;
    Only(Wiggly(4), false, false, false, false).Draw(dc);
    EXPECT_TRUE(dc.Ops().empty());
}

TEST(BSplineDraw, HostileCoordinatesDrawWithoutFailing) {
    const CBSpline s =
        Only({{1e30f, -1e30f}, {kNaN, 0}, {kInf, -kInf}, {3e38f, 1}}, true, true, true, true);
    CRecordingDC dc;
    s.Draw(dc);
    EXPECT_EQ(dc.OpsOfKind(Kind::Line).size(), 101u + 3u);
    EXPECT_EQ(dc.OpsOfKind(Kind::Rectangle).size(), 4u);
    EXPECT_EQ(dc.OpsOfKind(Kind::Text).at(1).text.substr(0, 4), "(nan");
}

} // namespace
