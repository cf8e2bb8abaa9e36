#include "drawing/cluster_fixture.h"
#include "drawing/cluster_overlay_picture.h"
#include "drawing/cluster_overlay_print.h"
#include "platform/recording_dc.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

using Kind = CRecordingDC::OpKind;
using Op = CRecordingDC::Op;

constexpr ColorRef kBlack = RGB(0, 0, 0);
constexpr ColorRef kMemberGrey = RGB(192, 192, 192);
constexpr ColorRef kReferenceBlue = RGB(0, 0, 255);
constexpr ColorRef kMeanRed = RGB(176, 0, 0);
constexpr unsigned kLegendAlign = TA_RIGHT | TA_BASELINE;

std::vector<Op> LegendTexts(const CRecordingDC& dc) {
    std::vector<Op> found;
    for (const Op& op : dc.OpsOfKind(Kind::Text))
        if (op.textAlign == kLegendAlign)
            found.push_back(op);
    return found;
}

std::set<ColorRef> CurveColours(const CRecordingDC& dc) {
    std::set<ColorRef> colours;
    for (const Op& op : dc.OpsOfKind(Kind::Line))
        colours.insert(op.pen.color);
    return colours;
}

// Bounds (-1000, -400) - (1000, 400): window 1.3 * 2000 x 1.2 * 800 from (-1300, 520); on an
// 800 x 600 client the isotropic mapping shrinks the height to 800 * 960 / 2600 = 295.4 -> 295.
TEST_F(ClusterFixture, MappingFitsTheClusterWithMargins) {
    AddMember("a");
    CRecordingDC dc;
    PrepareOverlayMapping(dc, doc, {800, 600});
    EXPECT_EQ(dc.GetMapMode(), MM_ISOTROPIC);
    EXPECT_EQ(dc.GetWindowExt(), (CSize{2600, 960}));
    EXPECT_EQ(dc.GetWindowOrg(), (CPoint{-1300, 520}));
    EXPECT_EQ(dc.GetViewportExt(), (CSize{800, -295}));
    EXPECT_EQ(dc.LPtoDP({-1300, 520}), (CPoint{0, 0}));
}

struct LegendCase {
    const char* name;
    int normalize;
    bool allScaled;
    const char* firstLine;
    bool scaleBar;
};
void PrintTo(const LegendCase& c, std::ostream* os) {
    *os << c.name;
}

class OverlayLegend : public ClusterFixture, public ::testing::WithParamInterface<LegendCase> {};

INSTANTIATE_TEST_SUITE_P(
    Modes, OverlayLegend,
    ::testing::Values(LegendCase{"OuterPoints", 1, true, "Normalised (m1-m2)", false},
                      LegendCase{"Area", 2, true, "Normalised (Area)", false},
                      LegendCase{"CentroidSize", 3, false, "Normalised (Centroid Size)", false},
                      LegendCase{"ScaledMicrons", 0, true, "100 microns", true},
                      LegendCase{"UnscaledMember", 0, false, "Invalid scales", false}),
    [](const auto& info) { return std::string(info.param.name); });

// hf = 960 * 12 / -295 = -39.05: lines at ymin - 6, 8 and 10 text heights (-634.3, -712.4,
// -790.5), ending at xmax - 50 = 950; the bar from ymin - 4 |hf| to ymin - 4.6 |hf|.
TEST_P(OverlayLegend, NamesTheNormalisationOrDrawsTheScale) {
    const LegendCase& c = GetParam();
    AddMember("a");
    AddMember("b", {}, c.allScaled);
    doc.GetClusterParameter().Normalize = c.normalize;
    CRecordingDC dc;
    DrawOverlayPicture(dc, doc, {800, 600});
    const auto legend = LegendTexts(dc);
    ASSERT_EQ(legend.size(), 3u);
    EXPECT_EQ(legend[0].text, c.firstLine);
    EXPECT_EQ(legend[1].text, "DeltaVecScale: 1.00");
    EXPECT_EQ(legend[2].text, "Number of Iterations: 6");
    const int ys[] = {-634, -712, -790};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(legend[i].box.left, 950);
        EXPECT_EQ(legend[i].box.top, ys[i]);
        EXPECT_EQ(legend[i].color, kBlack);
        EXPECT_EQ(legend[i].font.height, -39);
        EXPECT_EQ(legend[i].font.weight, 400);
        EXPECT_EQ(legend[i].font.pitchAndFamily, FF_SWISS);
    }
    const auto bars = dc.OpsOfKind(Kind::Rectangle);
    ASSERT_EQ(bars.size(), c.scaleBar ? 1u : 0u);
    if (c.scaleBar) {
        EXPECT_EQ(bars[0].box, (CRect{850, -556, 950, -579}));
        EXPECT_EQ(bars[0].brush.color, RGB(255, 255, 0));
    }
    EXPECT_EQ(dc.GetTextAlign(), TA_LEFT | TA_TOP);
}

TEST_F(ClusterFixture, LegendShowsScaleAndIterationSettings) {
    AddMember("a");
    CClusterParameter& parameter = doc.GetClusterParameter();
    parameter.ErrorVectorsScale = 2.5f;
    parameter.ApplyParamIteration = false;
    CRecordingDC dc;
    DrawOverlayPicture(dc, doc, {800, 600});
    const auto legend = LegendTexts(dc);
    ASSERT_EQ(legend.size(), 3u);
    EXPECT_EQ(legend[1].text, "DeltaVecScale: 2.50");
    EXPECT_EQ(legend[2].text, "Number of Iterations: not applied");
}

TEST_F(ClusterFixture, ScaleBarIsWhiteOnlyOnMonochromePaper) {
    AddMember("a");
    doc.GetClusterParameter().Normalize = 0;
    for (const int colorSpace : {0, 1}) {
        doc.GetClusterParameter().ColorSpace = colorSpace;
        CRecordingDC printer(true);
        PrintOverlayPage(printer, doc, {800, 600}, {});
        std::vector<Op> bars;
        for (const Op& r : printer.OpsOfKind(Kind::Rectangle))
            if (r.brush.style == BrushStyle::Solid)
                bars.push_back(r);
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(bars[0].brush.color, colorSpace == 0 ? RGB(255, 255, 255) : RGB(255, 255, 0));
    }
}

struct DeltaCase {
    const char* name;
    int normalize;
    float scale;
    FPoint shift;
    int first; // control-point indices drawn
    int last;
};
void PrintTo(const DeltaCase& c, std::ostream* os) {
    *os << c.name;
}

class OverlayDeltas : public ClusterFixture, public ::testing::WithParamInterface<DeltaCase> {};

// Every case draws the member's vectors as (5, 15): a shift of (5, 15) at scale 1 or half of
// it at scale 2. Numbers sit at 1.1 times the vector: (5.5, 16.5) beyond the reference point.
INSTANTIATE_TEST_SUITE_P(Scales, OverlayDeltas,
                         ::testing::Values(DeltaCase{"AreaScaleOne", 2, 1.0f, {5, 15}, 0, 4},
                                           DeltaCase{"AreaScaleTwo", 2, 2.0f, {2.5f, 7.5f}, 0, 4},
                                           DeltaCase{
                                               "OuterPointsLeaveOutM1M2", 1, 1.0f, {5, 15}, 1, 3},
                                           DeltaCase{"CentroidSize", 3, 1.0f, {5, 15}, 0, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(OverlayDeltas, RunFromTheReferenceToEachMember) {
    const DeltaCase& c = GetParam();
    CSpecimenRecord* reference = AddMember("ref");
    AddMember("member", c.shift);
    doc.SetReferenceRecord(reference);
    doc.GetClusterParameter().Normalize = c.normalize;
    doc.GetClusterParameter().ErrorVectorsScale = c.scale;
    CRecordingDC dc;
    DrawOverlayPicture(dc, doc, {800, 600});

    std::vector<CRect> expectedLines;
    std::vector<std::string> expectedTexts;
    std::vector<CPoint> expectedAnchors;
    for (int p = 0; p < 2; ++p) {
        for (int i = c.first; i <= c.last; ++i) {
            for (const auto& curve : {Ventral(), Dorsal()}) {
                const int x = static_cast<int>(curve[i].x);
                const int y = static_cast<int>(curve[i].y);
                const int dx = p == 0 ? 0 : 5;
                const int dy = p == 0 ? 0 : 15;
                expectedLines.push_back({x, y, x + dx, y + dy});
                expectedTexts.push_back(std::to_string(p));
                expectedAnchors.push_back({static_cast<int>(std::trunc(x + 1.1 * dx)),
                                           static_cast<int>(std::trunc(y + 1.1 * dy))});
            }
        }
    }
    std::vector<CRect> lines;
    for (const Op& op : dc.OpsOfKind(Kind::Line))
        if (op.pen.color == kBlack)
            lines.push_back(op.box);
    EXPECT_EQ(lines, expectedLines);
    std::vector<std::string> texts;
    std::vector<CPoint> anchors;
    for (const Op& op : dc.OpsOfKind(Kind::Text))
        if (op.font.weight == 200) {
            texts.push_back(op.text);
            anchors.push_back({op.box.left, op.box.top});
        }
    EXPECT_EQ(texts, expectedTexts);
    EXPECT_EQ(anchors, expectedAnchors);
}

TEST_F(ClusterFixture, NoDeltaVectorsWithoutReferenceOrWhenSwitchedOff) {
    AddMember("a");
    CSpecimenRecord* b = AddMember("b", {5, 15});
    auto blackLines = [&] {
        CRecordingDC dc;
        DrawOverlayPicture(dc, doc, {800, 600});
        int n = 0;
        for (const Op& op : dc.OpsOfKind(Kind::Line))
            n += op.pen.color == kBlack;
        return n;
    };
    EXPECT_EQ(blackLines(), 0);
    doc.SetReferenceRecord(b);
    EXPECT_EQ(blackLines(), 20);
    doc.GetClusterParameter().DrawVectorNumbers = false;
    doc.GetClusterParameter().DrawDeltaVectors = false;
    EXPECT_EQ(blackLines(), 0);
}

TEST_F(ClusterFixture, PrintedDeltaVectorsUseTheirOwnPen) {
    CSpecimenRecord* a = AddMember("a");
    AddMember("b", {5, 15});
    doc.SetReferenceRecord(a);
    doc.GetClusterParameter().PrintingPenWidthDeltaVectors = 3;
    doc.GetClusterParameter().DrawVectorNumbers = false;
    CRecordingDC printer(true);
    PrintOverlayPage(printer, doc, {800, 600}, {});
    int thick = 0;
    for (const Op& op : printer.OpsOfKind(Kind::Line))
        thick += op.pen == CPen{PenStyle::Solid, 3, kBlack};
    EXPECT_EQ(thick, 20);
}

class OverlayCurves : public ClusterFixture {
protected:
    CSpecimenRecord* reference = nullptr;
    void SetUp() override {
        AddMember("a");
        reference = AddMember("b", {10, 10});
        AddMember("c", {-10, -10});
        doc.CalculateMeanSpecimen();
        doc.GetClusterParameter().DrawDeltaVectors = false;
    }
};

TEST_F(OverlayCurves, ReferenceOnlyAndMeanSwitchesChooseTheCurves) {
    CClusterParameter& parameter = doc.GetClusterParameter();
    auto colours = [&] {
        CRecordingDC dc;
        DrawOverlayPicture(dc, doc, {800, 600});
        return CurveColours(dc);
    };
    EXPECT_EQ(colours(), (std::set<ColorRef>{kMemberGrey, kMeanRed}));
    parameter.DrawReferenceSpecimenOnly = true; // no reference yet: every member
    EXPECT_EQ(colours(), (std::set<ColorRef>{kMemberGrey, kMeanRed}));
    doc.SetReferenceRecord(reference);
    EXPECT_EQ(colours(), (std::set<ColorRef>{kReferenceBlue, kMeanRed}));
    parameter.DrawMeanClusterSpecimen = false;
    EXPECT_EQ(colours(), (std::set<ColorRef>{kReferenceBlue}));
    parameter.DrawReferenceSpecimenOnly = false;
    EXPECT_EQ(colours(), (std::set<ColorRef>{kMemberGrey, kReferenceBlue}));
}

TEST_F(OverlayCurves, ScreenHairlinesAndPrintPensLeaveTheDocumentAlone) {
    CClusterParameter& parameter = doc.GetClusterParameter();
    parameter.ColorSpace = 0;
    parameter.PrintingPenWidthSpecimen = 2;
    CRecordingDC screen;
    DrawOverlayPicture(screen, doc, {800, 600});
    for (const Op& op : screen.OpsOfKind(Kind::Line))
        EXPECT_EQ(op.pen.width, 0);
    CRecordingDC printer(true);
    PrintOverlayPage(printer, doc, {800, 600}, {});
    std::set<std::pair<int, ColorRef>> printed;
    for (const Op& op : printer.OpsOfKind(Kind::Line))
        printed.insert({op.pen.width, op.pen.color});
    // Header and footer rules are drawn with the default hairline; the curves all black, 2 wide.
    EXPECT_EQ(printed, (std::set<std::pair<int, ColorRef>>{{0, kBlack}, {2, kBlack}}));
    for (const CSpecimenRecord* record : doc.GetClusterList()) {
        EXPECT_EQ(record->GetClusterApproximation()->GetSplinePenWidth(), 1);
        EXPECT_NE(record->GetClusterApproximation()->GetColor(), kBlack);
    }
}

TEST_F(OverlayCurves, TheViewKeepsHairlinesOnlyInTheDrawnCurves) {
    doc.SetReferenceRecord(reference);
    doc.GetClusterParameter().DrawReferenceSpecimenOnly = true;
    KeepOverlayScreenPenWidth(doc);
    const CSpecimenRecord* mean = doc.GetClusterParameter().GetMeanRecord();
    for (const CSpecimenRecord* record : doc.GetClusterList()) {
        const bool drawn = record == reference || record == mean;
        EXPECT_EQ(record->GetClusterApproximation()->GetSplinePenWidth(), drawn ? 0 : 1);
    }
}

// A document read back lists the mean before its members; it is drawn on top all the same.
TEST_F(ClusterFixture, TheMeanIsDrawnOnTopWhereverItStandsInTheList) {
    AddMember("a");
    AddMember("b", {10, 10});
    doc.CalculateMeanSpecimen();
    CScratchFolder folder;
    const std::string path = (folder.Path() / "mean-first.xml").string();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    CCarinovaDoc loaded{ui};
    ASSERT_TRUE(loaded.OnOpenDocument(path));
    const CSpecimenRecord* mean = loaded.GetClusterParameter().GetMeanRecord();
    ASSERT_EQ(loaded.GetClusterList().front(), mean);
    loaded.GetClusterParameter().DrawDeltaVectors = false;
    CRecordingDC dc;
    DrawOverlayPicture(dc, loaded, {800, 600});
    const auto lines = dc.OpsOfKind(Kind::Line);
    std::size_t lastMember = 0;
    std::size_t firstMean = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].pen.color == kMemberGrey)
            lastMember = i;
        else if (lines[i].pen.color == kMeanRed)
            firstMean = std::min(firstMean, i);
    }
    ASSERT_LT(firstMean, lines.size());
    EXPECT_LT(lastMember, firstMean);
}

TEST_F(ClusterFixture, EmptyClusterShowsTheFourHints) {
    CRecordingDC dc;
    DrawOverlayPicture(dc, doc, {800, 600});
    EXPECT_EQ(dc.GetMapMode(), MM_LOMETRIC);
    const auto texts = dc.OpsOfKind(Kind::Text);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "To add a specimen to the cluster select it in the tree view");
    EXPECT_EQ(texts[1].text, "and insert it with the menu item \"Cluster - Insert\".");
    EXPECT_EQ(texts[2].text, "Select a cluster reference specimen.");
    EXPECT_EQ(texts[3].text,
              "Calculate a mean specimen with the menu item \"Cluster - Calc mean specimen\"");
    const CPoint at[] = {{100, -100}, {116, -160}, {100, -260}, {100, -360}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(texts[i].box.left, at[i].x);
        EXPECT_EQ(texts[i].box.top, at[i].y);
        EXPECT_EQ(texts[i].font, CFont{}); // the device's default font
    }
    for (const int top : {-100, -260, -360}) {
        int inside = 0;
        for (const Op& e : dc.OpsOfKind(Kind::Ellipse))
            if (e.box.left >= 40 && e.box.right <= 88 && e.box.top <= top &&
                e.box.bottom >= top - 48)
                ++inside;
        EXPECT_GE(inside, 1) << top;
    }
    EXPECT_TRUE(dc.OpsOfKind(Kind::Line).empty());
}

// Members without curves, curves with NaN points or fewer points than the reference, and a
// cluster shrunk to a point all draw and print without crashing.
TEST_F(ClusterFixture, HostileClustersDrawAndPrint) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    CSpecimenRecord* reference = AddMember("ref");
    CSpecimenRecord* bare = AddMember("bare");
    CSpecimenRecord* broken = AddMember("broken");
    CSpecimenRecord* shortOne = AddMember("short");
    doc.SetReferenceRecord(reference);
    bare->TakeClusterApproximation().reset();
    broken->GetClusterApproximation()->ApproxLower.ControlPoints[2] = {nan, nan};
    broken->GetClusterApproximation()->ApproxUpper.ControlPoints[0] = {nan, 1e30f};
    shortOne->GetClusterApproximation()->ApproxUpper.ControlPoints.resize(2);
    shortOne->GetClusterApproximation()->ApproxLower.ControlPoints.clear();
    auto drawAll = [&](const char* what) {
        CRecordingDC dc;
        DrawOverlayPicture(dc, doc, {800, 600});
        bool legend = false;
        for (const Op& op : dc.OpsOfKind(Kind::Text))
            legend |= op.text == "DeltaVecScale: 1.00";
        EXPECT_TRUE(legend) << what;
        EXPECT_NE(dc.GetWindowExt().cx, 0) << what;
        CRecordingDC printer(true);
        printer.SetDeviceCaps(VERTSIZE, 1);
        const int pages = OverlayPrintPageCount(printer, doc);
        for (int page = 1; page <= pages; ++page)
            PrintOverlayPage(printer, doc, {800, 600}, {page, 1, 0, pages});
        EXPECT_EQ(pages, static_cast<int>(doc.GetClusterList().size()) + 1) << what;
    };
    drawAll("mixed members");
    // The reference loses its curves: no vectors, the rest still drawn.
    reference->TakeClusterApproximation().reset();
    drawAll("reference without curves");
    // Everything at one point: zero-size bounds.
    for (CSpecimenRecord* r : {broken, shortOne}) {
        r->GetClusterApproximation()->ApproxLower.ControlPoints.assign(5, FPoint(7, 7));
        r->GetClusterApproximation()->ApproxUpper.ControlPoints.assign(5, FPoint(7, 7));
    }
    drawAll("point cluster");
    CRecordingDC tiny;
    DrawOverlayPicture(tiny, doc, {0, 0});
    EXPECT_NE(tiny.GetViewportExt().cy, 0);
}

} // namespace
