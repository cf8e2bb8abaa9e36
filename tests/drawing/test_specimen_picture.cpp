#include "cluster/specimen_record.h"
#include "drawing/specimen_picture.h"
#include "platform/recording_dc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Kind = CRecordingDC::OpKind;
using Op = CRecordingDC::Op;

constexpr ColorRef kRed = RGB(255, 0, 0);
constexpr ColorRef kBlue = RGB(0, 0, 255);

// A 200 x 100 rectangle drawn as stored (no normal position), centroid (100, 50), axes along x
// and y: its bounding box is (0, 0) - (200, 100).
std::unique_ptr<CSpecimenRecord> BoxRecord(bool scale = false) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->ApplyTransformation = false;
    specimen->Contour = {{0, 0}, {200, 0}, {200, 100}, {0, 100}};
    specimen->Centroid = {100, 50};
    specimen->FirstEigenvect = {1, 0};
    specimen->SecondEigenvect = {0, 1};
    specimen->ShortPathName = "box.tps";
    specimen->PathName = "/data/box.tps";
    specimen->ScaleSpecified = scale;
    return std::make_unique<CSpecimenRecord>(std::move(specimen));
}

// Control points spanning (-50, -40) - (250, 140), in red.
std::unique_ptr<CApproxSpecimen> Approximation() {
    auto a = std::make_unique<CApproxSpecimen>();
    a->ApproxLower.ControlPoints = {{-50, 50}, {100, -40}, {250, 50}};
    a->ApproxUpper.ControlPoints = {{250, 50}, {100, 140}, {-50, 50}};
    a->SetColor(kRed);
    return a;
}

// The mean specimen as the cluster makes it: no outline, a cluster approximation in the mean
// colour without control points, polygon, error texts or labels of its own.
constexpr ColorRef kMeanRed = RGB(176, 0, 0);
std::unique_ptr<CSpecimenRecord> MeanRecord() {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->ShortPathName = "<Mean Specimen>";
    auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
    auto curves = Approximation();
    curves->SetColor(kMeanRed);
    for (CBSpline* curve : {&curves->ApproxUpper, &curves->ApproxLower}) {
        curve->DrawControlPoints = false;
        curve->DrawControlPolygon = false;
    }
    curves->DrawError = false;
    curves->DrawIndex = false;
    record->SetClusterApproximation(std::move(curves));
    return record;
}

std::vector<Op> TextsNamed(const CRecordingDC& dc, const std::string& text) {
    std::vector<Op> found;
    for (const Op& op : dc.OpsOfKind(Kind::Text))
        if (op.text == text)
            found.push_back(op);
    return found;
}

std::vector<CRect> LinesInColour(const CRecordingDC& dc, ColorRef colour, PenStyle style) {
    std::vector<CRect> lines;
    for (const Op& op : dc.OpsOfKind(Kind::Line))
        if (op.pen.color == colour && op.pen.style == style)
            lines.push_back(op.box);
    return lines;
}

struct MappingCase {
    const char* name;
    bool withApproximation;
    CSize client;
    CSize windowExt;
    CPoint windowOrg;
    CSize viewportExt;
};
void PrintTo(const MappingCase& c, std::ostream* os) {
    *os << c.name;
}

class SpecimenMapping : public ::testing::TestWithParam<MappingCase> {};

// Box widened by 15 % each side: (-30, -15) - (230, 115); top raised by 10 % of 130 to 128,
// so the box is 260 x 143 from (-30, 128). Around it the texts take 12-pixel label heights:
// the name up to 4.2 over the specimen's top (100), the bounding-box label 1.3 under -10, the
// scale caption 6.5 under its bottom (0), and with an approximation its error lines 5.4 under
// the box's bottom less 12 units. s, the units per pixel, is the largest of W / width and
// (y_high - y_low) / (height - pixels above y_high - pixels below y_low) over the reaches.
// - 800 x 600: s = 260 / 800 = 0.325 (no text pair needs more); the name stays under 128, so
//   the window is the box and the viewport 800 x 143 / 0.325 = 440.
// - 200 x 600: s = 1.3; the name reaches 100 + 50.4 * 1.3 = 165.5 over the box, so the window
//   is 260 x 180 from (-30, 165) and the viewport 200 x 180 / 1.3 = 138.5 -> 138.
// - With the approximation the union (-80, -58) - (280, 158) is raised by 21.6 to 179.6: 360 x
//   237.6; the error lines under -70 need s = (179.6 + 70) / (600 - 64.8) = 0.4664 > 360 / 800,
//   so the viewport is 360 / 0.4664 = 771.9 -> 772 by 237 / 0.4664 = 508.2 -> 508.
INSTANTIATE_TEST_SUITE_P(
    Boxes, SpecimenMapping,
    ::testing::Values(
        MappingCase{"Specimen", false, {800, 600}, {260, 143}, {-30, 128}, {800, -440}},
        MappingCase{"NarrowWindow", false, {200, 600}, {260, 180}, {-30, 165}, {200, -138}},
        MappingCase{"WithApproximation", true, {800, 600}, {360, 237}, {-80, 179}, {772, -508}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(SpecimenMapping, FitsTheWidenedBoxIntoTheClientArea) {
    const MappingCase& c = GetParam();
    auto record = BoxRecord();
    if (c.withApproximation)
        record->SetApproximation(Approximation());
    CRecordingDC dc;
    PrepareSpecimenMapping(dc, record.get(), c.client);
    EXPECT_EQ(dc.GetMapMode(), MM_ISOTROPIC);
    EXPECT_EQ(dc.GetWindowExt(), c.windowExt);
    EXPECT_EQ(dc.GetWindowOrg(), c.windowOrg);
    EXPECT_EQ(dc.GetViewportExt(), c.viewportExt);
    EXPECT_EQ(dc.LPtoDP(c.windowOrg), (CPoint{0, 0})); // the box's top-left at the client's
}

// Landmarks are numbered crosses with arms of half a label height (3.9 / 2 = 1.95), in green.
TEST(SpecimenPicture, LandmarksAreNumberedCrosses) {
    auto record = BoxRecord();
    record->GetSpecimen()->Landmarks = {{20, 30}, {180, 70}};
    CSpecimenViewSettings settings;
    settings.m_bDrawMainAxes = false;
    CRecordingDC dc;
    DrawSpecimenPicture(dc, record.get(), settings, {800, 600});
    const ColorRef green = RGB(0, 128, 0);
    EXPECT_EQ(LinesInColour(dc, green, PenStyle::Solid),
              (std::vector<CRect>{{18, 28, 21, 31}, {18, 31, 21, 28}, {178, 68, 181, 71},
                                  {178, 71, 181, 68}}));
    const auto first = TextsNamed(dc, "1");
    const auto second = TextsNamed(dc, "2");
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].box.left, 21);
    EXPECT_EQ(first[0].box.top, 31);
    EXPECT_EQ(second[0].box.left, 181);
    EXPECT_EQ(second[0].box.top, 71);
    EXPECT_EQ(second[0].color, green);
}

// Window 260 x 143 on a viewport 800 x -440: the label height is 143 * 12 / -440 = -3.9.
TEST(SpecimenPicture, DrawsEveryDecorationWhereItBelongs) {
    auto record = BoxRecord();
    CSpecimenViewSettings all;
    all.m_bDrawBoundingBox = true;
    all.m_bDrawMainAxes = true;
    CRecordingDC dc;
    DrawSpecimenPicture(dc, record.get(), all, {800, 600});

    EXPECT_EQ(LinesInColour(dc, RGB(186, 186, 186), PenStyle::Solid),
              (std::vector<CRect>{{-10, 0, 210, 0}, {0, -10, 0, 110}}));
    EXPECT_EQ(LinesInColour(dc, kBlue, PenStyle::DashDot),
              (std::vector<CRect>{
                  {0, 0, 200, 0}, {200, 0, 200, 100}, {200, 100, 0, 100}, {0, 100, 0, 0}}));
    EXPECT_EQ(LinesInColour(dc, kRed, PenStyle::DashDot),
              (std::vector<CRect>{{100, 50, 200, 50}, {100, 50, 100, 150}}));

    const auto label = TextsNamed(dc, "BoundingBox: 0 0 200 100");
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(label[0].box.left, 0);
    EXPECT_EQ(label[0].box.top, -10);
    EXPECT_EQ(label[0].color, kBlue);
    EXPECT_EQ(label[0].textAlign, TA_LEFT | TA_TOP);
    EXPECT_EQ(label[0].font.height, -3);
    EXPECT_EQ(label[0].font.faceName, "Arial");
    ASSERT_EQ(TextsNamed(dc, "1").size(), 1u);
    EXPECT_EQ(TextsNamed(dc, "1")[0].color, kRed);
    EXPECT_EQ(TextsNamed(dc, "2")[0].box.top, 150);

    // The outline (pen width 0 in the specimen's colour, black) and the centroid cross share a
    // pen; the cross is the last four black solid lines before the scale bar.
    const auto black = LinesInColour(dc, RGB(0, 0, 0), PenStyle::Solid);
    ASSERT_EQ(black.size(), 4u + 2u);
    EXPECT_EQ(black[4], (CRect{90, 50, 110, 50}));
    EXPECT_EQ(black[5], (CRect{100, 40, 100, 60}));

    // Scale bar from (100, 4h) to (200, 4.4h): -15.6 and -17.16 truncated.
    const auto bars = dc.OpsOfKind(Kind::Rectangle);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].box, (CRect{100, -15, 200, -17}));
    EXPECT_EQ(bars[0].brush.color, RGB(255, 255, 0));
    EXPECT_EQ(bars[0].pen, (CPen{PenStyle::Solid, 0, RGB(0, 0, 0)}));
    const auto caption = TextsNamed(dc, "100 pixel");
    ASSERT_EQ(caption.size(), 1u);
    EXPECT_EQ(caption[0].box.left, 150);
    EXPECT_EQ(caption[0].box.top, -23); // 6h = -23.4
    EXPECT_EQ(caption[0].textAlign, TA_CENTER | TA_BASELINE);
    const auto name = TextsNamed(dc, "box.tps");
    ASSERT_EQ(name.size(), 1u);
    EXPECT_EQ(name[0].box.top, 111); // 100 - 3h = 111.7
    EXPECT_EQ(name[0].textAlign, TA_LEFT | TA_BASELINE);

    // The decorations come in their order: axes, box, outline, ..., bar, name last.
    const auto& ops = dc.Ops();
    EXPECT_EQ(ops.front().pen.color, RGB(186, 186, 186));
    EXPECT_EQ(ops.back().text, "box.tps");
    // The context is left as it was found.
    EXPECT_EQ(dc.GetPen(), CPen{});
    EXPECT_EQ(dc.GetFont(), CFont{});
    EXPECT_EQ(dc.GetTextAlign(), TA_LEFT | TA_TOP);
}

TEST(SpecimenPicture, SwitchesOffLeaveOnlyScaleBarAndName) {
    auto record = BoxRecord(true);
    CSpecimenViewSettings none{false, false, false, false, false};
    CRecordingDC dc;
    DrawSpecimenPicture(dc, record.get(), none, {800, 600});
    EXPECT_TRUE(dc.OpsOfKind(Kind::Line).empty());
    EXPECT_EQ(dc.OpsOfKind(Kind::Rectangle).size(), 1u);
    std::vector<std::string> texts;
    for (const Op& op : dc.OpsOfKind(Kind::Text))
        texts.push_back(op.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"100 microns", "box.tps"}));
}

TEST(SpecimenPicture, WithoutARecordShowsTheHints) {
    CRecordingDC dc;
    DrawSpecimenPicture(dc, nullptr, {}, {800, 600});
    EXPECT_EQ(dc.GetMapMode(), MM_LOMETRIC);
    const auto texts = dc.OpsOfKind(Kind::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text,
              "Open an existing Carinova document with the menu item \"File - Open\".");
    EXPECT_EQ(texts[1].text, "You can insert specimens via the menu item \"Specimen - Insert\".");
    EXPECT_EQ(texts[2].text,
              "To display the outline of a specimen select it in the left tree view.");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(texts[i].box.left, 100);
        EXPECT_EQ(texts[i].box.top, -100 * (i + 1));
    }
    // Bullets: 16 pixels stretched three times, from (40, top) downward, one per line.
    for (const int top : {-100, -200, -300}) {
        int inside = 0;
        for (const Op& e : dc.OpsOfKind(Kind::Ellipse))
            if (e.box.left >= 40 && e.box.right <= 88 && e.box.top <= top &&
                e.box.bottom >= top - 48)
                ++inside;
        EXPECT_GE(inside, 1) << top;
    }
    EXPECT_EQ(dc.OpsOfKind(Kind::Ellipse).size() % 3, 0u);
}

// Printer at 600 dpi, 4000 x 4400 pixels, view window 800 x 600. The screen mapping (window
// 260 x 143 from (-30, 128), viewport 800 x -440) turns the page into (-30, 128) - (1270,
// -1302) with a label height of -3.9 * 600 / 96 = -24.375 (text height 24). Header rule at
// 128 - 48 - 100 = -20, footer rule at -1302 + 48 + 100 = -1154; that band is device rows
// 455 to 3945. The picture maps the box 1.3 x (200, 100) from (-30, 100 + 40) into it.
TEST(SpecimenPrint, PageHasHeaderFooterAndThePictureBelow) {
    auto record = BoxRecord();
    CRecordingDC printer(true);
    printer.SetDeviceCaps(LOGPIXELSX, 600);
    printer.SetDeviceCaps(LOGPIXELSY, 600);
    printer.SetDeviceCaps(HORZRES, 4000);
    printer.SetDeviceCaps(VERTRES, 4400);
    PrintSpecimenPage(printer, record.get(), {}, {800, 600}, {1, 1, 1, 1});

    const auto header = TextsNamed(printer, "Specimen: /data/box.tps");
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].box.left, -30);
    EXPECT_EQ(header[0].box.top, 28);
    EXPECT_EQ(header[0].textAlign, TA_LEFT | TA_BASELINE);
    EXPECT_EQ(header[0].font.height, -24);
    const auto footer = TextsNamed(printer, "Page 1 of 1");
    ASSERT_EQ(footer.size(), 1u);
    EXPECT_EQ(footer[0].box.left, 620);
    EXPECT_EQ(footer[0].box.top, -1154 - 24);
    EXPECT_EQ(footer[0].textAlign, TA_CENTER | TA_TOP);
    const auto lines = printer.OpsOfKind(Kind::Line);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].box, (CRect{-30, -20, 1270, -20}));
    EXPECT_EQ(lines[1].box, (CRect{-30, -1154, 1270, -1154}));

    EXPECT_EQ(printer.GetWindowExt(), (CSize{260, -130}));
    EXPECT_EQ(printer.GetWindowOrg(), (CPoint{-30, 140}));
    EXPECT_EQ(printer.GetViewportExt(), (CSize{4000, 2000}));
    EXPECT_EQ(printer.GetViewportOrg(), (CPoint{0, 455}));
    // Body label height -130 * 12 / 2000 * 600 / 96 = -4.875: bar at 4h = -19.5, 4.4h = -21.45.
    const auto bars = printer.OpsOfKind(Kind::Rectangle);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].box, (CRect{100, -19, 200, -21}));
    EXPECT_EQ(bars[0].brush.color, RGB(255, 255, 255));
}

TEST(SpecimenPrint, ApproximationPrintsBlackAndKeepsItsColour) {
    auto record = BoxRecord();
    record->SetApproximation(Approximation());
    CRecordingDC printer(true);
    PrintSpecimenPage(printer, record.get(), {}, {800, 600}, {2, 2, 3, 3});
    EXPECT_TRUE(LinesInColour(printer, kRed, PenStyle::Solid).empty());
    EXPECT_FALSE(TextsNamed(printer, "Page 2 of 2").empty());
    EXPECT_EQ(record->GetApproximation()->ApproxUpper.ColorSpline, kRed);
    CRecordingDC screen;
    DrawSpecimenPicture(screen, record.get(), {}, {800, 600});
    EXPECT_FALSE(LinesInColour(screen, kRed, PenStyle::Solid).empty());
}

// The control points (-50, -40) - (250, 140) widened by 15 %: (-95, -67) - (295, 167), raised by
// 10 % of 234 to 190.4; 390 units on 800 pixels leave room for the name (s = 0.4875).
TEST(SpecimenPicture, TheMeanIsDrawnFromItsClusterApproximation) {
    auto mean = MeanRecord();
    CRecordingDC dc;
    DrawSpecimenPicture(dc, mean.get(), {}, {800, 600});
    EXPECT_EQ(dc.GetWindowOrg(), (CPoint{-95, 190}));
    EXPECT_EQ(dc.GetWindowExt(), (CSize{390, 257}));
    EXPECT_GT(LinesInColour(dc, kMeanRed, PenStyle::Solid).size(), 100u);
    // Six control-point squares and no scale bar: the mean's units are the cluster's.
    EXPECT_EQ(dc.OpsOfKind(Kind::Rectangle).size(), 6u);
    EXPECT_EQ(TextsNamed(dc, "<Mean Specimen>").size(), 1u);
    EXPECT_TRUE(TextsNamed(dc, "100 pixel").empty());
    EXPECT_FALSE(mean->GetClusterApproximation()->ApproxUpper.DrawControlPoints);
}

// On paper the mean keeps its colour; the page has the usual header above the footer.
TEST(SpecimenPrint, TheMeanPrintsItsNameAndItsCurves) {
    auto mean = MeanRecord();
    CRecordingDC printer(true);
    printer.SetDeviceCaps(LOGPIXELSX, 600);
    printer.SetDeviceCaps(LOGPIXELSY, 600);
    printer.SetDeviceCaps(HORZRES, 4000);
    printer.SetDeviceCaps(VERTRES, 4400);
    PrintSpecimenPage(printer, mean.get(), {}, {800, 600}, {3, 1, 9, 9});
    const auto header = TextsNamed(printer, "Specimen: <Mean Specimen>");
    const auto footer = TextsNamed(printer, "Page 3 of 9");
    ASSERT_EQ(header.size(), 1u);
    ASSERT_EQ(footer.size(), 1u);
    EXPECT_GT(header[0].box.top, footer[0].box.top);
    EXPECT_EQ(printer.GetWindowExt(), (CSize{390, -234}));
    EXPECT_GT(LinesInColour(printer, kMeanRed, PenStyle::Solid).size(), 50u);
}

// Broken records draw something sensible and never crash.
TEST(SpecimenPicture, HostileRecordsDrawWithoutCrashing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<std::unique_ptr<CSpecimenRecord>> records;
    records.push_back(std::make_unique<CSpecimenRecord>(nullptr)); // no specimen: hints
    records.push_back(BoxRecord());
    records.back()->GetSpecimen()->Contour.clear();
    records.push_back(BoxRecord());
    records.back()->GetSpecimen()->Contour = {{nan, 1}, {inf, -inf}, {1, nan}};
    records.push_back(BoxRecord());
    records.back()->SetApproximation(Approximation());
    records.back()->GetApproximation()->ApproxLower.ControlPoints[1] = {nan, inf};
    records.push_back(BoxRecord());
    records.back()->GetSpecimen()->Contour = {{5, 5}}; // a single point: zero-size box
    for (const auto& record : records) {
        for (const CSize client : {CSize{800, 600}, CSize{0, 0}, CSize{1, 100000}}) {
            CRecordingDC dc;
            DrawSpecimenPicture(dc, record.get(), {true, true, true, true, true}, client);
            EXPECT_NE(dc.GetWindowExt().cx, 0);
            EXPECT_NE(dc.GetWindowExt().cy, 0);
            EXPECT_FALSE(dc.OpsOfKind(Kind::Text).empty());
            CRecordingDC printer(true);
            PrintSpecimenPage(printer, record.get(), {}, client, {});
            EXPECT_FALSE(TextsNamed(printer, "Page 1 of 1").empty());
        }
    }
}

} // namespace
