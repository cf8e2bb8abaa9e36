#include "platform/cdc.h"
#include "platform/recording_dc.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using Op = CRecordingDC::Op;
using OpKind = CRecordingDC::OpKind;

CFont FontOfHeight(int height) {
    CFont font;
    font.height = height;
    return font;
}

TEST(CdcMapping, TextModeIsTheIdentityPlusOrigins) {
    CRecordingDC dc;
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(dc.LPtoDP({17, -5}), (CPoint{17, -5}));
    EXPECT_EQ(dc.DPtoLP({17, -5}), (CPoint{17, -5}));
    EXPECT_EQ(dc.SetWindowOrg(10, 20), (CPoint{0, 0}));
    EXPECT_EQ(dc.SetViewportOrg(100, 200), (CPoint{0, 0}));
    // device = logical - window origin + viewport origin
    EXPECT_EQ(dc.LPtoDP({15, 25}), (CPoint{105, 205}));
    EXPECT_EQ(dc.DPtoLP({105, 205}), (CPoint{15, 25}));
    EXPECT_EQ(dc.LPtoDP({10, 20}), (CPoint{100, 200}));
}

TEST(CdcMapping, ExtentsAreFixedOutsideTheScalableModes) {
    CRecordingDC dc;
    dc.SetWindowExt(10, 10);
    dc.SetViewportExt(5, 7);
    EXPECT_EQ(dc.LPtoDP({3, 4}), (CPoint{3, 4}));

    dc.SetMapMode(MM_LOMETRIC);
    dc.SetWindowExt(1, 1);
    dc.SetViewportExt(1, 1);
    EXPECT_EQ(dc.LPtoDP({254, 254}), (CPoint{96, -96}));

    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(100, 100);
    dc.SetViewportExt(200, 300);
    // Zero extents are refused; the call still reports the extent in force.
    EXPECT_EQ(dc.SetWindowExt(0, 5), (CSize{100, 100}));
    EXPECT_EQ(dc.SetViewportExt(7, 0), (CSize{200, 300}));
    EXPECT_EQ(dc.LPtoDP({10, 10}), (CPoint{20, 30}));
}

TEST(CdcMapping, UnknownMapModeIsRefused) {
    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    EXPECT_EQ(dc.SetMapMode(0), 0);
    EXPECT_EQ(dc.SetMapMode(42), 0);
    EXPECT_EQ(dc.GetMapMode(), MM_LOMETRIC);
    EXPECT_EQ(dc.LPtoDP({254, 254}), (CPoint{96, -96}));
}

TEST(CdcMapping, LowMetricAt96DpiIsATenthOfAMillimetreWithYUp) {
    CRecordingDC dc;
    EXPECT_EQ(dc.SetMapMode(MM_LOMETRIC), MM_TEXT);
    // 100 units = 10 mm = 10 / 25.4 inch = 37.795... pixels at 96 dpi.
    EXPECT_NEAR(dc.LPtoDPx(100), 9600.0 / 254.0, 1e-9);
    EXPECT_NEAR(dc.LPtoDPy(100), -9600.0 / 254.0, 1e-9);
    EXPECT_EQ(dc.LPtoDP({100, 100}), (CPoint{38, -38}));
    EXPECT_EQ(dc.LPtoDP({-100, -100}), (CPoint{-38, 38}));
    EXPECT_NEAR(dc.DPtoLPx(96), 254.0, 1e-9);
    EXPECT_NEAR(dc.DPtoLPy(96), -254.0, 1e-9);
    EXPECT_EQ(dc.DPtoLP({10, 10}), (CPoint{26, -26})); // 10 px = 26.458 units
}

struct FixedMode {
    int mode;
    double unitsPerInch;
};

std::ostream& operator<<(std::ostream& out, const FixedMode& m) {
    return out << "mode " << m.mode;
}

class CdcFixedModes : public ::testing::TestWithParam<std::tuple<FixedMode, int, int>> {};

TEST_P(CdcFixedModes, OneInchIsTheDeviceResolutionAndYPointsUp) {
    const auto [fixed, dpiX, dpiY] = GetParam();
    CRecordingDC dc;
    dc.SetDeviceCaps(LOGPIXELSX, dpiX);
    dc.SetDeviceCaps(LOGPIXELSY, dpiY);
    dc.SetMapMode(fixed.mode);
    EXPECT_NEAR(dc.LPtoDPx(fixed.unitsPerInch), dpiX, 1e-9);
    EXPECT_NEAR(dc.LPtoDPy(fixed.unitsPerInch), -dpiY, 1e-9);
    EXPECT_NEAR(dc.LPtoDPx(-2.5 * fixed.unitsPerInch), -2.5 * dpiX, 1e-9);
    EXPECT_NEAR(dc.DPtoLPy(dpiY / 2.0), -fixed.unitsPerInch / 2, 1e-9);
    // Origins stay in their own units: the window's logical, the viewport's device.
    dc.SetWindowOrg(static_cast<int>(fixed.unitsPerInch), 0);
    dc.SetViewportOrg(10, 20);
    EXPECT_NEAR(dc.LPtoDPx(2 * fixed.unitsPerInch), 10 + dpiX, 1e-9);
    EXPECT_NEAR(dc.LPtoDPy(fixed.unitsPerInch), 20 - dpiY, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CdcFixedModes,
    ::testing::Combine(::testing::Values(FixedMode{MM_LOMETRIC, 254}, FixedMode{MM_HIMETRIC, 2540},
                                         FixedMode{MM_LOENGLISH, 100},
                                         FixedMode{MM_HIENGLISH, 1000}, FixedMode{MM_TWIPS, 1440}),
                       ::testing::Values(96, 300), ::testing::Values(96, 72)));

struct IsotropicCase {
    int dpiX;
    int dpiY;
    CSize window;
    CSize viewport;
    CSize expected; // worked out by hand: the axis with more pixels per unit is shrunk
};

std::ostream& operator<<(std::ostream& out, const IsotropicCase& c) {
    return out << c.dpiX << "x" << c.dpiY << " dpi, window " << c.window.cx << "," << c.window.cy
               << ", viewport " << c.viewport.cx << "," << c.viewport.cy;
}

class CdcIsotropic : public ::testing::TestWithParam<IsotropicCase> {};

TEST_P(CdcIsotropic, ShrinksOneViewportExtentKeepingSigns) {
    const IsotropicCase& c = GetParam();
    CRecordingDC dc;
    dc.SetDeviceCaps(LOGPIXELSX, c.dpiX);
    dc.SetDeviceCaps(LOGPIXELSY, c.dpiY);
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(c.window.cx, c.window.cy);
    dc.SetViewportExt(c.viewport.cx, c.viewport.cy);
    EXPECT_EQ(dc.GetWindowExt(), c.window);
    EXPECT_EQ(dc.GetViewportExt(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Extents, CdcIsotropic,
                         ::testing::Values(
                             // 0.4 px per unit across, 0.3 down: x shrinks to 1000 * 0.3.
                             IsotropicCase{96, 96, {1000, 1000}, {400, -300}, {300, -300}},
                             IsotropicCase{96, 96, {1000, 1000}, {300, -400}, {300, -300}},
                             IsotropicCase{96, 96, {1000, 1000}, {-400, 300}, {-300, 300}},
                             IsotropicCase{96, 96, {1000, -1000}, {400, 300}, {300, 300}},
                             IsotropicCase{96, 96, {1000, 1000}, {400, 400}, {400, 400}},
                             // 0.4 px per unit across, 0.6 down: y shrinks to 500 * 0.4.
                             IsotropicCase{96, 96, {1000, 500}, {400, -300}, {400, -200}},
                             // 0.002 inch per unit across, 0.003 down: y shrinks to 300 * 2 / 3.
                             IsotropicCase{200, 100, {1000, 1000}, {400, 300}, {400, 200}},
                             // 100 * 2 / 3 = 66.67 rounds to 67.
                             IsotropicCase{96, 96, {3, 2}, {100, 100}, {100, 67}},
                             // A vanishing extent keeps one unit and its sign.
                             IsotropicCase{96, 96, {1000000, 1}, {10, -10}, {10, -1}}));

TEST(CdcMapping, IsotropicShrinksWhicheverExtentIsSetLast) {
    CRecordingDC dc;
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetViewportExt(400, -300);
    dc.SetWindowExt(1000, 1000);
    EXPECT_EQ(dc.GetViewportExt(), (CSize{300, -300}));
}

TEST(CdcMapping, IsotropicPointsWithOrigins) {
    CRecordingDC dc;
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(1000, 1000);
    dc.SetViewportExt(400, -300); // becomes (300, -300): 0.3 px per unit, y up
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(200, 150);
    EXPECT_EQ(dc.LPtoDP({1000, 1000}), (CPoint{500, -150}));
    EXPECT_EQ(dc.LPtoDP({-500, 500}), (CPoint{50, 0}));
    EXPECT_EQ(dc.DPtoLP({500, -150}), (CPoint{1000, 1000}));
    dc.SetWindowOrg(-100, 100);
    EXPECT_EQ(dc.LPtoDP({-100, 100}), (CPoint{200, 150}));
    EXPECT_EQ(dc.LPtoDP({0, 0}), (CPoint{230, 180}));
}

TEST(CdcMapping, AnisotropicKeepsBothExtents) {
    CRecordingDC dc;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1000, 500);
    dc.SetViewportExt(400, -300);
    EXPECT_EQ(dc.GetViewportExt(), (CSize{400, -300}));
    EXPECT_EQ(dc.LPtoDP({500, 250}), (CPoint{200, -150}));
    dc.SetWindowOrg(100, 200);
    dc.SetViewportOrg(10, 20);
    // (500 - 100) * 0.4 + 10, (250 - 200) * -0.6 + 20
    EXPECT_EQ(dc.LPtoDP({500, 250}), (CPoint{170, -10}));
    EXPECT_EQ(dc.DPtoLP({170, -10}), (CPoint{500, 250}));
    // Back to text mode: unit extents, origins kept.
    dc.SetMapMode(MM_TEXT);
    EXPECT_EQ(dc.LPtoDP({100, 200}), (CPoint{10, 20}));
    EXPECT_EQ(dc.LPtoDP({101, 199}), (CPoint{11, 19}));
}

TEST(CdcMapping, LogicalDeviceRoundTrip) {
    CRecordingDC dc;
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(7, -3);
    dc.SetViewportExt(21, 12); // 3 and -4 pixels per unit
    dc.SetWindowOrg(-13, 8);
    dc.SetViewportOrg(40, -25);
    for (int x = -50; x <= 50; x += 7)
        for (int y = -50; y <= 50; y += 5)
            ASSERT_EQ(dc.DPtoLP(dc.LPtoDP({x, y})), (CPoint{x, y}));

    // Where units are finer than pixels, device points come back instead.
    dc.SetMapMode(MM_LOMETRIC);
    for (int x = -50; x <= 50; x += 3)
        for (int y = -50; y <= 50; y += 4)
            ASSERT_EQ(dc.LPtoDP(dc.DPtoLP({x, y})), (CPoint{x, y}));

    std::mt19937 rng(99);
    std::uniform_real_distribution<double> any(-1e5, 1e5);
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(1234, -987);
    dc.SetViewportExt(640, 480);
    for (int i = 0; i < 1000; ++i) {
        const double x = any(rng);
        const double y = any(rng);
        ASSERT_NEAR(dc.DPtoLPx(dc.LPtoDPx(x)), x, 1e-9 * 1e5);
        ASSERT_NEAR(dc.DPtoLPy(dc.LPtoDPy(y)), y, 1e-9 * 1e5);
    }
}

TEST(CdcState, DefaultsAreThoseOfAFreshDeviceContext) {
    CRecordingDC dc;
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetBkColor(), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetTextAlign(), TA_LEFT | TA_TOP);
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.GetPen().style, PenStyle::Solid);
    EXPECT_EQ(dc.GetPen().color, RGB(0, 0, 0));
    EXPECT_EQ(dc.GetBrush().style, BrushStyle::Solid);
    EXPECT_EQ(dc.GetBrush().color, RGB(255, 255, 255));
    EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{0, 0}));
}

TEST(CdcState, EverySelectionReturnsThePreviousOne) {
    CRecordingDC dc;
    const CPen firstPen = dc.GetPen();
    const CPen red{PenStyle::Dash, 3, RGB(255, 0, 0)};
    const CPen blue{PenStyle::Solid, 0, RGB(0, 0, 255)};
    EXPECT_EQ(dc.SelectPen(red), firstPen);
    EXPECT_EQ(dc.SelectPen(blue), red);
    EXPECT_EQ(dc.GetPen(), blue);

    const CBrush firstBrush = dc.GetBrush();
    const CBrush hollow{BrushStyle::Null, 0};
    EXPECT_EQ(dc.SelectBrush(hollow), firstBrush);
    EXPECT_EQ(dc.SelectBrush(firstBrush), hollow);

    const CFont firstFont = dc.GetFont();
    const CFont big = FontOfHeight(-40);
    EXPECT_EQ(dc.SelectFont(big), firstFont);
    EXPECT_EQ(dc.SelectFont(firstFont), big);

    EXPECT_EQ(dc.SetTextColor(RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(dc.SetTextColor(RGB(4, 5, 6)), RGB(1, 2, 3));
    EXPECT_EQ(dc.SetBkColor(RGB(7, 8, 9)), RGB(255, 255, 255));
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(dc.SetBkMode(OPAQUE), TRANSPARENT);
    EXPECT_EQ(dc.SetTextAlign(TA_CENTER | TA_BASELINE), TA_LEFT | TA_TOP);
    EXPECT_EQ(dc.SetTextAlign(TA_RIGHT | TA_BOTTOM), TA_CENTER | TA_BASELINE);
    EXPECT_EQ(dc.SetROP2(R2_NOTXORPEN), R2_COPYPEN);
    EXPECT_EQ(dc.SetROP2(R2_COPYPEN), R2_NOTXORPEN);
    EXPECT_EQ(dc.SetMapMode(MM_ANISOTROPIC), MM_TEXT);
    EXPECT_EQ(dc.SetMapMode(MM_ISOTROPIC), MM_ANISOTROPIC);
    EXPECT_EQ(dc.SetWindowOrg(3, 4), (CPoint{0, 0}));
    EXPECT_EQ(dc.SetWindowOrg(5, 6), (CPoint{3, 4}));
    EXPECT_EQ(dc.SetViewportOrg(7, 8), (CPoint{0, 0}));
    EXPECT_EQ(dc.SetViewportOrg(0, 0), (CPoint{7, 8}));
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(50, 50);
    EXPECT_EQ(dc.SetWindowExt(60, 70), (CSize{50, 50}));
    dc.SetViewportExt(30, -30);
    EXPECT_EQ(dc.SetViewportExt(40, -40), (CSize{30, -30}));
    EXPECT_EQ(dc.GetWindowExt(), (CSize{60, 70}));
    EXPECT_EQ(dc.MoveTo(9, 10), (CPoint{0, 0}));
    EXPECT_EQ(dc.MoveTo(1, 1), (CPoint{9, 10}));
}

// The recording device measures a character as half the font height wide: "abcd" in a
// font of height 20 is 40 by 20 logical units.
struct CalcRectCase {
    const char* name;
    std::function<void(CDC&)> mapping;
    CRect expected; // from (100, 100)
    int height;
};

std::ostream& operator<<(std::ostream& out, const CalcRectCase& c) {
    return out << c.name;
}

class CdcDrawTextCalcRect : public ::testing::TestWithParam<CalcRectCase> {};

TEST_P(CdcDrawTextCalcRect, MeasuresWithSignedExtents) {
    const CalcRectCase& c = GetParam();
    CRecordingDC dc;
    c.mapping(dc);
    dc.SelectFont(FontOfHeight(-20));
    CRect rect{100, 100, 0, 0};
    EXPECT_EQ(dc.DrawText("abcd", rect, DT_CALCRECT | DT_SINGLELINE), c.height);
    EXPECT_EQ(rect, c.expected);
    EXPECT_TRUE(dc.Ops().empty()) << "measuring draws nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Mappings, CdcDrawTextCalcRect,
    ::testing::Values(CalcRectCase{"YDown", [](CDC&) {}, {100, 100, 140, 120}, 20},
                      CalcRectCase{"LowMetric",
                                   [](CDC& dc) { dc.SetMapMode(MM_LOMETRIC); },
                                   {100, 100, 140, 80},
                                   -20},
                      CalcRectCase{"IsotropicNegativeWindowY",
                                   [](CDC& dc) {
                                       dc.SetMapMode(MM_ISOTROPIC);
                                       dc.SetWindowExt(1000, -1000);
                                       dc.SetViewportExt(500, 500);
                                   },
                                   {100, 100, 140, 80},
                                   -20},
                      CalcRectCase{"MirroredX",
                                   [](CDC& dc) {
                                       dc.SetMapMode(MM_ANISOTROPIC);
                                       dc.SetWindowExt(-100, 100);
                                       dc.SetViewportExt(100, 100);
                                   },
                                   {100, 100, 60, 120},
                                   20}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CdcDrawText, DefaultFontHeightIsSixteen) {
    CRecordingDC dc;
    CRect rect{0, 0, 0, 0};
    EXPECT_EQ(dc.DrawText("ab", rect, DT_CALCRECT), 16);
    EXPECT_EQ(rect, (CRect{0, 0, 16, 16}));
}

struct PlacementCase {
    bool yUp;
    unsigned format;
    CRect box;
    CPoint expected; // top-left corner of "abcd" (40 by 20)
};

std::ostream& operator<<(std::ostream& out, const PlacementCase& c) {
    return out << (c.yUp ? "y up" : "y down") << ", format " << c.format << ", box " << c.box.left
               << "," << c.box.top << "," << c.box.right << "," << c.box.bottom;
}

class CdcDrawTextPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(CdcDrawTextPlacement, PlacesTheTextInsideTheBox) {
    const PlacementCase& c = GetParam();
    CRecordingDC dc;
    if (c.yUp)
        dc.SetMapMode(MM_LOMETRIC);
    const CFont font = FontOfHeight(-20);
    dc.SelectFont(font);
    dc.SetTextColor(RGB(10, 20, 30));
    dc.SetTextAlign(TA_CENTER | TA_BASELINE);
    CRect box = c.box;
    EXPECT_EQ(dc.DrawText("abcd", box, c.format), c.yUp ? -20 : 20);
    EXPECT_EQ(box, c.box);
    const auto texts = dc.OpsOfKind(OpKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "abcd");
    EXPECT_EQ((CPoint{texts[0].box.left, texts[0].box.top}), c.expected);
    // Boxes place text by its top-left corner whatever alignment is set, which is kept.
    EXPECT_EQ(texts[0].textAlign, TA_LEFT | TA_TOP);
    EXPECT_EQ(dc.GetTextAlign(), TA_CENTER | TA_BASELINE);
    EXPECT_EQ(texts[0].color, RGB(10, 20, 30));
    EXPECT_EQ(texts[0].font, font);
}

constexpr unsigned kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

INSTANTIATE_TEST_SUITE_P(
    Boxes, CdcDrawTextPlacement,
    ::testing::Values(
        PlacementCase{false, DT_LEFT, {0, 0, 100, 50}, {0, 0}},
        // (100 - 40) / 2, (50 - 20) / 2
        PlacementCase{false, kCentred, {0, 0, 100, 50}, {30, 15}},
        PlacementCase{false, kCentred, {10, 20, 111, 71}, {40, 35}}, // halves truncated
        PlacementCase{false, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, {0, 0, 100, 50}, {60, 30}},
        // Vertical placement needs a single line.
        PlacementCase{false, DT_CENTER | DT_VCENTER, {0, 0, 100, 50}, {30, 0}},
        PlacementCase{true, DT_LEFT, {0, 0, 100, -50}, {0, 0}},
        // y up: the text runs from -15 down to -35, 15 units from either edge.
        PlacementCase{true, kCentred, {0, 0, 100, -50}, {30, -15}},
        PlacementCase{true, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, {0, 0, 100, -50}, {60, -30}},
        PlacementCase{true, kCentred, {-21, 11, 21, -11}, {-20, 10}}));

// A label measured, boxed around an anchor with a unit of margin and drawn centred must come
// out centred on the anchor, in both directions of y.
TEST(CdcDrawText, MeasuredLabelIsCentredOnItsAnchor) {
    for (const bool yUp : {false, true}) {
        CRecordingDC dc;
        if (yUp)
            dc.SetMapMode(MM_LOMETRIC);
        dc.SelectFont(FontOfHeight(-24));
        CRect measure{0, 0, 0, 0};
        dc.DrawText("label", measure, DT_CALCRECT);
        const int w = measure.Width();
        const int hh = measure.Height();
        const int x = 500;
        const int y = -300;
        CRect box{x - w / 2 - 1, y - hh / 2 + 1, x + w / 2 + 1, y + hh / 2 - 1};
        dc.DrawText("label", box, kCentred);
        const Op text = dc.OpsOfKind(OpKind::Text).at(0);
        EXPECT_EQ(text.box.left + w / 2, x) << yUp;
        EXPECT_EQ(text.box.top + hh / 2, y) << yUp;
    }
}

TEST(CdcRecording, PrimitivesKeepTheStateTheyWereDrawnIn) {
    CRecordingDC dc;
    const CPen red{PenStyle::Dash, 3, RGB(255, 0, 0)};
    const CPen blue{PenStyle::Solid, 0, RGB(0, 0, 255)};
    const CBrush hollow{BrushStyle::Null, 0};
    const CBrush yellow{BrushStyle::Solid, RGB(255, 255, 0)};

    dc.SelectPen(red);
    dc.MoveTo(1, 2);
    dc.LineTo(3, 4);
    EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{3, 4}));
    dc.LineTo(5, 0);
    dc.SelectBrush(hollow);
    dc.SetROP2(R2_NOTXORPEN);
    dc.Rectangle(0, 0, 10, 10);
    dc.SelectPen(blue);
    dc.SelectBrush(yellow);
    dc.Ellipse(-5, -5, 5, 5);
    dc.SetROP2(R2_COPYPEN);
    dc.Polyline({{0, 0}, {1, 1}, {2, 0}});
    dc.Polyline({{7, 7}});
    dc.Polyline({});
    EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{5, 0})) << "polylines leave it alone";
    dc.FillSolidRect({1, 2, 3, 4}, RGB(0, 128, 0));
    dc.SetPixel(7, 8, RGB(9, 9, 9));
    dc.SetTextColor(RGB(1, 1, 1));
    dc.SetTextAlign(TA_CENTER | TA_BASELINE);
    dc.SelectFont(FontOfHeight(-12));
    dc.TextOut(5, 6, "hi");

    const auto& ops = dc.Ops();
    ASSERT_EQ(ops.size(), 9u);
    const std::vector<OpKind> kinds{OpKind::Line,     OpKind::Line,  OpKind::Rectangle,
                                    OpKind::Ellipse,  OpKind::Line,  OpKind::Line,
                                    OpKind::FillRect, OpKind::Pixel, OpKind::Text};
    for (std::size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(ops[i].kind, kinds[i]) << i;
    EXPECT_EQ(ops[0].box, (CRect{1, 2, 3, 4}));
    EXPECT_EQ(ops[1].box, (CRect{3, 4, 5, 0}));
    EXPECT_EQ(ops[0].pen, red);
    EXPECT_EQ(ops[0].rop2, R2_COPYPEN);
    EXPECT_EQ(ops[2].box, (CRect{0, 0, 10, 10}));
    EXPECT_EQ(ops[2].pen, red);
    EXPECT_EQ(ops[2].brush, hollow);
    EXPECT_EQ(ops[2].rop2, R2_NOTXORPEN);
    EXPECT_EQ(ops[3].pen, blue);
    EXPECT_EQ(ops[3].brush, yellow);
    EXPECT_EQ(ops[3].rop2, R2_NOTXORPEN);
    EXPECT_EQ(ops[4].box, (CRect{0, 0, 1, 1}));
    EXPECT_EQ(ops[5].box, (CRect{1, 1, 2, 0}));
    EXPECT_EQ(ops[5].rop2, R2_COPYPEN);
    EXPECT_EQ(ops[6].box, (CRect{1, 2, 3, 4}));
    EXPECT_EQ(ops[6].color, RGB(0, 128, 0));
    EXPECT_EQ(ops[7].box.left, 7);
    EXPECT_EQ(ops[7].box.top, 8);
    EXPECT_EQ(ops[7].color, RGB(9, 9, 9));
    EXPECT_EQ(dc.GetBrush(), yellow) << "filling a rectangle selects no brush";

    const auto texts = dc.OpsOfKind(OpKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "hi");
    EXPECT_EQ(texts[0].box.left, 5);
    EXPECT_EQ(texts[0].box.top, 6);
    EXPECT_EQ(texts[0].textAlign, TA_CENTER | TA_BASELINE);
    EXPECT_EQ(texts[0].color, RGB(1, 1, 1));
    EXPECT_EQ(texts[0].font.height, -12);
    EXPECT_EQ(dc.OpsOfKind(OpKind::Line).size(), 4u);

    dc.Clear();
    EXPECT_TRUE(dc.Ops().empty());
}

} // namespace
