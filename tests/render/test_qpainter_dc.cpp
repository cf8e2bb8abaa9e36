#include "image_probe.h"
#include "qpainter_dc.h"
#include "render_targets.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>

namespace {

// Metrics of Arial, which Liberation Sans copies; read from the font's head, hhea, OS/2, hmtx
// and glyf tables (font units).
constexpr double kUnitsPerEm = 2048.0;
constexpr double kAscent = 1854.0;
constexpr double kDescent = 434.0;
constexpr double kCapHeight = 1409.0; // the height of "H"
constexpr double kAdvanceH = 1479.0;
constexpr double kInkLeftH = 168.0;
constexpr double kInkRightH = 1312.0;
constexpr double kAdvanceHello = 1479.0 + 1139.0 + 455.0 + 455.0 + 1139.0;
// Hinting and rounding to whole pixels move glyph edges by up to this much.
constexpr double kGlyphTolerance = 1.5;

constexpr ColorRef kRed = RGB(255, 0, 0);
constexpr ColorRef kBlack = RGB(0, 0, 0);

CFont Arial(int height) {
    CFont font;
    font.height = height;
    font.faceName = "Arial";
    return font;
}

QImage Draw(const std::function<void(CDC&)>& draw, int width = 200, int height = 200) {
    return RenderImage(width, height, draw);
}

// Window 2000 x 2000 units around the origin on a 200-pixel square, y up: 0.1 pixel a unit.
void CentredYUp(CDC& dc) {
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(2000, 2000);
    dc.SetWindowOrg(-1000, 1000);
    dc.SetViewportExt(200, -200);
}

// --- mapping: a logical point lands on the pixel worked out by hand -----------------------

struct MappingCase {
    const char* name;
    std::function<void(CDC&)> setUp;
    CPoint logical;
    QPoint device;
};

void PrintTo(const MappingCase& c, std::ostream* os) {
    *os << c.name;
}

class QPainterDcMapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(QPainterDcMapping, PixelLandsWhereTheMappingPutsIt) {
    const MappingCase& c = GetParam();
    const QImage image = Draw([&](CDC& dc) {
        c.setUp(dc);
        dc.SetPixel(c.logical.x, c.logical.y, kRed);
    });
    EXPECT_EQ(image.pixel(c.device), qRgb(255, 0, 0));
    const CInkBox red = FindPixels(image, [](QRgb p) { return p == qRgb(255, 0, 0); });
    EXPECT_EQ(red.count, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, QPainterDcMapping,
    ::testing::Values(
        MappingCase{"TextWithOrigins",
                    [](CDC& dc) {
                        dc.SetWindowOrg(10, 20);
                        dc.SetViewportOrg(30, 40);
                    },
                    {15, 25},
                    {35, 45}},
        // Viewport 200 x -100 for a 1000-unit square window: x shrinks to 100, 0.1 px a unit.
        MappingCase{"IsotropicShrinksX",
                    [](CDC& dc) {
                        dc.SetMapMode(MM_ISOTROPIC);
                        dc.SetWindowExt(1000, 1000);
                        dc.SetWindowOrg(-500, 500);
                        dc.SetViewportExt(200, -100);
                    },
                    {300, -200},
                    {80, 70}},
        // Viewport 100 x -400: y shrinks to -100; (400, 300) -> (40 + 10, -30 + 150).
        MappingCase{"IsotropicShrinksY",
                    [](CDC& dc) {
                        dc.SetMapMode(MM_ISOTROPIC);
                        dc.SetWindowExt(1000, 1000);
                        dc.SetViewportExt(100, -400);
                        dc.SetViewportOrg(10, 150);
                    },
                    {400, 300},
                    {50, 120}},
        // 254 units of 0.1 mm are one inch, 96 pixels on this image.
        MappingCase{
            "LoMetric", [](CDC& dc) { dc.SetMapMode(MM_LOMETRIC); }, {254, -508}, {96, 192}},
        MappingCase{"Anisotropic",
                    [](CDC& dc) {
                        dc.SetMapMode(MM_ANISOTROPIC);
                        dc.SetWindowExt(100, 50);
                        dc.SetViewportExt(50, 100);
                    },
                    {60, 30},
                    {30, 60}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QPainterDc, LineCoversItsStartAndLeavesOutItsEnd) {
    const QImage image = Draw([](CDC& dc) {
        CentredYUp(dc);
        dc.MoveTo(-500, 300); // device (50, 70)
        dc.LineTo(500, 300);  // device (150, 70)
    });
    EXPECT_TRUE(IsInk(image.pixel(50, 70)));
    EXPECT_TRUE(IsInk(image.pixel(149, 70)));
    EXPECT_FALSE(IsInk(image.pixel(150, 70)));
    EXPECT_FALSE(IsInk(image.pixel(49, 70)));
    EXPECT_EQ(InkInRow(image, 70), 100);
    EXPECT_EQ(InkInRow(image, 69) + InkInRow(image, 71), 0);
}

// --- pens ---------------------------------------------------------------------------------

class QPainterDcHairline : public ::testing::TestWithParam<int> {};

TEST_P(QPainterDcHairline, PenWidthZeroIsOnePixelWide) {
    const int windowExtent = GetParam(); // on 200 pixels
    const QImage image = Draw([&](CDC& dc) {
        dc.SetMapMode(MM_ISOTROPIC);
        dc.SetWindowExt(windowExtent, windowExtent);
        dc.SetViewportExt(200, 200);
        dc.SelectPen({PenStyle::Solid, 0, kBlack});
        dc.MoveTo(windowExtent / 2, 0);
        dc.LineTo(windowExtent / 2, windowExtent);
        dc.MoveTo(0, windowExtent / 4);
        dc.LineTo(windowExtent, windowExtent / 4);
    });
    EXPECT_EQ(InkInRow(image, 150), 1);
    EXPECT_EQ(InkInColumn(image, 20), 1);
}

INSTANTIATE_TEST_SUITE_P(Scales, QPainterDcHairline, ::testing::Values(8, 200, 20000, 2000000));

TEST(QPainterDc, WidePenScalesWithTheMapping) {
    // 2 pixels a unit: a pen 3 units wide is 6 pixels; width 1 at half a pixel a unit stays 1.
    const QImage wide = Draw([](CDC& dc) {
        dc.SetMapMode(MM_ISOTROPIC);
        dc.SetWindowExt(100, 100);
        dc.SetViewportExt(200, 200);
        dc.SelectPen({PenStyle::Solid, 3, kBlack});
        dc.MoveTo(10, 50);
        dc.LineTo(90, 50);
    });
    EXPECT_EQ(InkInColumn(wide, 100), 6);
    const QImage thin = Draw([](CDC& dc) {
        dc.SetMapMode(MM_ISOTROPIC);
        dc.SetWindowExt(400, 400);
        dc.SetViewportExt(200, 200);
        dc.SelectPen({PenStyle::Solid, 1, kBlack});
        dc.MoveTo(40, 200);
        dc.LineTo(360, 200);
    });
    EXPECT_EQ(InkInColumn(thin, 100), 1);
}

TEST(QPainterDc, DashStylesFollowTheGdiPatterns) {
    // Dash 18 on 6 off, dot 3 on 3 off: three quarters and half of a long line are inked.
    auto inkedShare = [](PenStyle style) {
        const QImage image = Draw(
            [&](CDC& dc) {
                dc.SelectPen({style, 0, kBlack});
                dc.MoveTo(0, 10);
                dc.LineTo(480, 10);
            },
            480, 20);
        return InkInRow(image, 10) / 480.0;
    };
    EXPECT_NEAR(inkedShare(PenStyle::Dash), 0.75, 0.02);
    EXPECT_NEAR(inkedShare(PenStyle::Dot), 0.5, 0.02);
    EXPECT_EQ(inkedShare(PenStyle::Null), 0.0);
}

// --- shapes -------------------------------------------------------------------------------

TEST(QPainterDc, RectangleLeavesOutRightAndBottomEdges) {
    const QImage image = Draw([](CDC& dc) {
        dc.SelectPen({PenStyle::Solid, 0, kBlack});
        dc.SelectBrush({BrushStyle::Solid, kRed});
        dc.Rectangle(10, 10, 20, 30);
        dc.SelectPen({PenStyle::Null, 0, kBlack});
        dc.Rectangle(50, 10, 60, 30); // no pen: one pixel less each way
    });
    const CInkBox frame = InkBox(image);
    EXPECT_EQ(frame.left, 10);
    EXPECT_EQ(frame.right, 19);
    EXPECT_EQ(frame.top, 10);
    EXPECT_EQ(frame.bottom, 29);
    EXPECT_EQ(frame.count, 2 * 20 + 2 * 8);
    EXPECT_EQ(image.pixel(15, 20), qRgb(255, 0, 0));
    const CInkBox red = FindPixels(image, [](QRgb p) { return p == qRgb(255, 0, 0); });
    EXPECT_EQ(red.count, 8 * 18 + 9 * 19);
    EXPECT_EQ(red.right, 58);
    EXPECT_EQ(red.bottom, 28);
}

TEST(QPainterDc, ShapesAreNormalisedUnderYUp) {
    // Logical (-500, 500)..(-300, 200) is device (50, 50)..(70, 80) on the centred mapping.
    const QImage image = Draw([](CDC& dc) {
        CentredYUp(dc);
        dc.SelectBrush({BrushStyle::Null, 0});
        dc.Rectangle(-500, 500, -300, 200);
        dc.Ellipse(0, 500, 300, -200); // device (100, 50)..(130, 120)
    });
    const CInkBox rectangle = FindPixels(image.copy(0, 0, 100, 200), IsInk);
    EXPECT_EQ(rectangle.left, 50);
    EXPECT_EQ(rectangle.top, 50);
    EXPECT_EQ(rectangle.right, 69);
    EXPECT_EQ(rectangle.bottom, 79);
    const CInkBox ellipse = FindPixels(image.copy(100, 0, 100, 200), IsInk);
    EXPECT_EQ(ellipse.left + 100, 100);
    EXPECT_EQ(ellipse.top, 50);
    EXPECT_EQ(ellipse.right + 100, 129);
    EXPECT_EQ(ellipse.bottom, 119);
    EXPECT_TRUE(IsWhite(image.pixel(115, 85))); // hollow
}

TEST(QPainterDc, FillSolidRectAndSetPixelIgnoreTheRasterOperation) {
    const QImage image = Draw([](CDC& dc) {
        dc.FillSolidRect({0, 0, 40, 40}, kBlack);
        dc.SetROP2(R2_NOTXORPEN);
        dc.FillSolidRect({10, 10, 20, 15}, kRed);
        dc.SetPixel(30, 30, kRed);
    });
    const CInkBox red = FindPixels(image, [](QRgb p) { return p == qRgb(255, 0, 0); });
    EXPECT_EQ(red.count, 10 * 5 + 1);
    EXPECT_EQ(red.left, 10);
    EXPECT_EQ(red.right, 30);
    EXPECT_EQ(red.bottom, 30);
    EXPECT_EQ(image.pixel(20, 15), qRgb(0, 0, 0));
}

// --- raster operations --------------------------------------------------------------------

void DrawMarks(CDC& dc) {
    dc.SetROP2(R2_NOTXORPEN);
    dc.SelectPen({PenStyle::Solid, 0, kBlack});
    dc.SelectBrush({BrushStyle::Solid, RGB(40, 200, 90)});
    dc.Ellipse(20, 20, 120, 90);
    dc.Rectangle(60, 60, 180, 150);
    dc.MoveTo(0, 100);
    dc.LineTo(200, 120);
    dc.LineTo(10, 190);
    dc.SetROP2(R2_COPYPEN);
}

TEST(QPainterDc, NotXorDrawnTwiceRestoresTheImage) {
    auto background = [](CDC& dc) {
        dc.FillSolidRect({0, 0, 100, 200}, RGB(10, 60, 200));
        dc.FillSolidRect({100, 0, 200, 100}, kBlack);
        dc.SelectFont(Arial(-30));
        dc.TextOut(20, 150, "Hello");
    };
    const QImage before = Draw(background);
    const QImage once = Draw([&](CDC& dc) {
        background(dc);
        DrawMarks(dc);
    });
    const QImage twice = Draw([&](CDC& dc) {
        EXPECT_TRUE(dc.SupportsRasterOps());
        background(dc);
        DrawMarks(dc);
        DrawMarks(dc);
    });
    EXPECT_NE(once, before);
    EXPECT_EQ(twice, before);
    // A black pen leaves black on white and turns black to white.
    EXPECT_EQ(once.pixel(190, 119), qRgb(0, 0, 0));      // the last line on white
    EXPECT_EQ(once.pixel(150, 60), qRgb(255, 255, 255)); // the rectangle's top on black
}

TEST(QPainterDc, VectorDevicesDrawNotXorAsPlainColour) {
    // A picture records for replay: no raster operations. The white brush, which NOT-XOR
    // leaves unchanged, must not paint over what lies below.
    QPicture picture;
    {
        QPainter painter(&picture);
        CQPainterDC dc(painter);
        EXPECT_FALSE(dc.SupportsRasterOps());
        dc.FillSolidRect({40, 40, 160, 160}, kRed);
        dc.SetROP2(R2_NOTXORPEN);
        dc.SelectPen({PenStyle::Solid, 0, RGB(0, 0, 255)});
        dc.SelectBrush({BrushStyle::Solid, RGB(255, 255, 255)});
        dc.Ellipse(60, 60, 140, 140);
    }
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        picture.play(&painter);
    }
    EXPECT_EQ(image.pixel(100, 100), qRgb(255, 0, 0));
    const CInkBox blue = FindPixels(image, [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 60; });
    EXPECT_NEAR(blue.left, 60, 1);
    EXPECT_NEAR(blue.right, 139, 1);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    QPainter pdfPainter(&pdf);
    EXPECT_FALSE(CQPainterDC(pdfPainter, true).SupportsRasterOps());
}

// --- text ---------------------------------------------------------------------------------

struct AlignCase {
    const char* name;
    unsigned align;
    QPoint at;
    // Expected ink edges of "H" in pixels, em 40.
    double left, top, right, bottom;
};

void PrintTo(const AlignCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr double kEm = 40.0;
constexpr double Px(double units) {
    return units * kEm / kUnitsPerEm;
}

class QPainterDcTextAlign : public ::testing::TestWithParam<AlignCase> {};

TEST_P(QPainterDcTextAlign, InkSitsWhereTheAlignmentPutsIt) {
    const AlignCase& c = GetParam();
    const QImage image = Draw([&](CDC& dc) {
        dc.SelectFont(Arial(-40));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(c.align);
        dc.TextOut(c.at.x(), c.at.y(), "H");
    });
    const CInkBox ink = InkBox(image);
    ASSERT_FALSE(ink.Empty());
    EXPECT_NEAR(ink.left, c.left, kGlyphTolerance);
    EXPECT_NEAR(ink.top, c.top, kGlyphTolerance);
    EXPECT_NEAR(ink.right + 1, c.right, kGlyphTolerance);
    EXPECT_NEAR(ink.bottom + 1, c.bottom, kGlyphTolerance);
}

// Ink of "H": from 168 to 1312 units across, 1409 units above the baseline; the cell has the
// ascent (1854) above the baseline and the descent (434) below it.
INSTANTIATE_TEST_SUITE_P(Alignments, QPainterDcTextAlign,
                         ::testing::Values(AlignCase{"LeftTop",
                                                     TA_LEFT | TA_TOP,
                                                     {50, 20},
                                                     50 + Px(kInkLeftH),
                                                     20 + Px(kAscent - kCapHeight),
                                                     50 + Px(kInkRightH),
                                                     20 + Px(kAscent)},
                                           AlignCase{"LeftBaseline",
                                                     TA_LEFT | TA_BASELINE,
                                                     {50, 100},
                                                     50 + Px(kInkLeftH),
                                                     100 - Px(kCapHeight),
                                                     50 + Px(kInkRightH),
                                                     100},
                                           AlignCase{"CenterBaseline",
                                                     TA_CENTER | TA_BASELINE,
                                                     {100, 100},
                                                     100 - Px(kAdvanceH) / 2 + Px(kInkLeftH),
                                                     100 - Px(kCapHeight),
                                                     100 - Px(kAdvanceH) / 2 + Px(kInkRightH),
                                                     100},
                                           AlignCase{"RightTop",
                                                     TA_RIGHT | TA_TOP,
                                                     {150, 20},
                                                     150 - Px(kAdvanceH) + Px(kInkLeftH),
                                                     20 + Px(kAscent - kCapHeight),
                                                     150 - Px(kAdvanceH) + Px(kInkRightH),
                                                     20 + Px(kAscent)},
                                           AlignCase{"LeftBottom",
                                                     TA_LEFT | TA_BOTTOM,
                                                     {50, 150},
                                                     50 + Px(kInkLeftH),
                                                     150 - Px(kDescent + kCapHeight),
                                                     50 + Px(kInkRightH),
                                                     150 - Px(kDescent)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QPainterDc, TextStaysUprightUnderYUp) {
    // Font height -400 units at 0.1 pixel a unit: em 40 pixels; logical (0, 0) is (100, 100).
    const QImage image = Draw([](CDC& dc) {
        CentredYUp(dc);
        dc.SelectFont(Arial(-400));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(TA_CENTER | TA_BASELINE);
        dc.TextOut(0, 0, "H");
    });
    const CInkBox ink = InkBox(image);
    EXPECT_NEAR(ink.bottom + 1, 100, kGlyphTolerance);
    EXPECT_NEAR(ink.bottom + 1 - ink.top, Px(kCapHeight), kGlyphTolerance);
    EXPECT_NEAR((ink.left + ink.right + 1) / 2.0, 100 + Px(kInkLeftH + kInkRightH - kAdvanceH) / 2,
                kGlyphTolerance);
}

TEST(QPainterDc, PositiveHeightIsTheCellNegativeTheCharacter) {
    auto inkHeight = [](int height) {
        const QImage image = Draw([&](CDC& dc) {
            dc.SelectFont(Arial(height));
            dc.TextOut(20, 20, "H");
        });
        const CInkBox ink = InkBox(image);
        return ink.bottom + 1 - ink.top;
    };
    EXPECT_NEAR(inkHeight(-60), 60 * kCapHeight / kUnitsPerEm, kGlyphTolerance);
    EXPECT_NEAR(inkHeight(60), 60 * kCapHeight / (kAscent + kDescent), kGlyphTolerance);
}

TEST(QPainterDc, TextExtentIsPositiveAndGrowsWithTheFont) {
    CSize small, large, yUp;
    Draw([&](CDC& dc) {
        dc.SelectFont(Arial(-20));
        small = dc.GetTextExtent("Hello");
        dc.SelectFont(Arial(-40));
        large = dc.GetTextExtent("Hello");
        CentredYUp(dc); // 10 units a pixel
        dc.SelectFont(Arial(-200));
        yUp = dc.GetTextExtent("Hello");
    });
    const double cell = (kAscent + kDescent) / kUnitsPerEm;
    const double width = kAdvanceHello / kUnitsPerEm;
    EXPECT_NEAR(small.cx, 20 * width, 2);
    EXPECT_NEAR(small.cy, 20 * cell, 1);
    EXPECT_NEAR(large.cx, 40 * width, 3);
    EXPECT_NEAR(large.cy, 40 * cell, 1);
    EXPECT_NEAR(yUp.cx, 200 * width, 20);
    EXPECT_NEAR(yUp.cy, 200 * cell, 10);
}

TEST(QPainterDc, OpaqueTextFillsItsCellTransparentDoesNot) {
    auto isBlue = [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 60 && qGreen(p) < 60; };
    CSize extent;
    const QImage opaque = Draw([&](CDC& dc) {
        dc.SelectFont(Arial(-20));
        dc.SetBkColor(RGB(0, 0, 255));
        extent = dc.GetTextExtent("Hello");
        dc.TextOut(20, 30, "Hello");
    });
    const CInkBox cell = FindPixels(opaque, isBlue);
    EXPECT_EQ(cell.left, 20);
    EXPECT_EQ(cell.top, 30);
    EXPECT_NEAR(cell.right + 1 - 20, extent.cx, 1);
    EXPECT_NEAR(cell.bottom + 1 - 30, extent.cy, 1);
    EXPECT_GT(InkBox(opaque).count, 0);

    const QImage transparent = Draw([](CDC& dc) {
        dc.SelectFont(Arial(-20));
        dc.SetBkColor(RGB(0, 0, 255));
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(20, 30, "Hello");
    });
    EXPECT_TRUE(FindPixels(transparent, isBlue).Empty());
    EXPECT_GT(InkBox(transparent).count, 0);
}

// --- device -------------------------------------------------------------------------------

TEST(QPainterDc, DeviceCapsComeFromTheDevice) {
    Draw(
        [](CDC& dc) {
            EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 96);
            EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 96);
            EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 300);
            EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 150);
            EXPECT_NEAR(dc.GetDeviceCaps(HORZSIZE), 300 * 25.4 / 96, 1);
            EXPECT_NEAR(dc.GetDeviceCaps(VERTSIZE), 150 * 25.4 / 96, 1);
            EXPECT_FALSE(dc.IsPrinting());
            static_cast<CQPainterDC&>(dc).SetDeviceCaps(LOGPIXELSY, 72);
            EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 72);
        },
        300, 150);
}

TEST(QPainterDc, HostileCoordinatesAreClippedNotFatal) {
    const QImage image = Draw([](CDC& dc) {
        dc.SelectBrush({BrushStyle::Solid, kRed});
        dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        dc.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        dc.MoveTo(INT_MIN, 5);
        dc.LineTo(INT_MAX, 5);
        dc.SelectFont(Arial(INT_MIN));
        dc.TextOut(INT_MAX, INT_MIN, "huge");
        EXPECT_GE(dc.GetTextExtent("huge").cx, 0);
        dc.SelectFont(Arial(INT_MAX));
        EXPECT_GE(dc.GetTextExtent("huge").cy, 0);
    });
    EXPECT_EQ(InkInRow(image, 5), 200);
    EXPECT_EQ(image.pixel(100, 100), qRgb(255, 0, 0));
}

} // namespace
