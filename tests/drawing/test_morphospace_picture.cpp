#include "drawing/cluster_fixture.h"
#include "drawing/morphospace_picture.h"
#include "drawing/morphospace_print.h"
#include "drawing/morphospace_scene.h"
#include "platform/recording_dc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

using Kind = CRecordingDC::OpKind;
using Op = CRecordingDC::Op;

// Records, besides every primitive, the device box all of them cover (the pictures have no
// clipping, so nothing may fall outside its area). Texts count with their anchor point.
class CBoundsDC : public CRecordingDC {
public:
    using CRecordingDC::CRecordingDC;
    CRect covered{INT_MAX, INT_MAX, INT_MIN, INT_MIN};

protected:
    void Cover(CPoint logical) {
        const CPoint d = LPtoDP(logical);
        covered = {std::min(covered.left, d.x), std::min(covered.top, d.y),
                   std::max(covered.right, d.x), std::max(covered.bottom, d.y)};
    }
    void DoLine(CPoint from, CPoint to) override {
        CRecordingDC::DoLine(from, to);
        Cover(from);
        Cover(to);
    }
    void DoRectangle(const CRect& r) override {
        CRecordingDC::DoRectangle(r);
        Cover({r.left, r.top});
        Cover({r.right - 1, r.bottom - 1});
    }
    void DoEllipse(const CRect& r) override {
        CRecordingDC::DoEllipse(r);
        Cover({r.left, r.top});
        Cover({r.right - 1, r.bottom - 1});
    }
    void DoTextOut(CPoint p, std::string_view text) override {
        CRecordingDC::DoTextOut(p, text);
        Cover(p);
    }
};

// Members are the fixture's lens moved by these steps (normal position keeps m1 and m2 on the
// axis, so the steps stand for shape differences here): along x by +-a and along y by +-b.
// With 4 intervals the shape vector holds the x of all 8 distinct points and the y of the 6
// inner ones, so the two directions have variances 2 a^2 8 / 3 and 2 b^2 6 / 3: for a = 30 and
// b = 10 shares of 14400 / 15600 = 92.3 % and 7.7 %.
class MorphospacePicture : public ClusterFixture {
protected:
    void SetUp() override {
        AddMember("right", {30, 0});
        AddMember("left", {-30, 0});
        AddMember("up", {0, 10});
        AddMember("down", {0, -10});
        doc.SetReferenceRecord(members[1]);
    }
    CMorphospaceScene Scene() {
        CMorphospaceScene scene;
        scene.Compute(doc);
        return scene;
    }
    static std::vector<std::string> Texts(const CRecordingDC& dc) {
        std::vector<std::string> texts;
        for (const Op& op : dc.OpsOfKind(Kind::Text))
            texts.push_back(op.text);
        return texts;
    }
    static bool Has(const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

TEST_F(MorphospacePicture, SharesInTheAxisTitles) {
    const CMorphospaceScene scene = Scene();
    ASSERT_TRUE(scene.space) << scene.message;
    ASSERT_EQ(scene.space->ComponentCount(), 2);
    CRecordingDC dc;
    DrawMorphospacePicture(dc, scene, {0, 0, 1000, 700});
    const auto texts = Texts(dc);
    EXPECT_TRUE(Has(texts, "PC1 (92.3 %)"));
    EXPECT_TRUE(Has(texts, "PC2 (7.7 %)"));
    for (const char* label :
         {"PC1 -2 sd", "PC1 +2 sd", "PC2 -2 sd", "PC2 +2 sd", "Members (4)", "Reference"})
        EXPECT_TRUE(Has(texts, label)) << label;
}

// One filled marker per member in the group's colour (and one in the legend, drawn last); the
// reference ringed in its colour around its own marker; hit tests at the markers find their
// members.
TEST_F(MorphospacePicture, MarkersRingAndHitTest) {
    CMorphospaceScene scene = Scene();
    ASSERT_TRUE(scene.space);
    CRecordingDC dc;
    const CMorphospacePlot plot = DrawMorphospacePicture(dc, scene, {0, 0, 900, 600});
    ASSERT_FALSE(plot.IsEmpty());
    std::vector<CRect> markers;
    std::vector<CRect> rings;
    for (const Op& op : dc.OpsOfKind(Kind::Ellipse)) {
        if (op.brush.style == BrushStyle::Solid && op.brush.color == scene.groups[0].color)
            markers.push_back(op.box);
        if (op.brush.style == BrushStyle::Null && op.pen.color == RGB(0, 0, 255))
            rings.push_back(op.box);
    }
    ASSERT_EQ(markers.size(), 5u);
    ASSERT_EQ(rings.size(), 2u);
    const CRect& ring = rings[0];
    const int ref = scene.referencePoint;
    EXPECT_EQ(scene.space->Record(ref), members[1]);
    EXPECT_EQ((ring.left + ring.right) / 2, (markers[ref].left + markers[ref].right) / 2);
    EXPECT_EQ((ring.top + ring.bottom) / 2, (markers[ref].top + markers[ref].bottom) / 2);
    for (int p = 0; p < 4; ++p) {
        const double x = (markers[p].left + markers[p].right - 1) / 2.0;
        const double y = (markers[p].top + markers[p].bottom - 1) / 2.0;
        EXPECT_EQ(plot.HitTest(scene, x, y, 4.0), p);
    }
    EXPECT_EQ(plot.HitTest(scene, -100.0, -100.0, 4.0), -1);
}

// Beyond eight groups the markers change: squares are filled, triangles and diamonds outlined
// with three and four lines, each in the group's colour.
TEST_F(MorphospacePicture, EachMarkerShape) {
    CMorphospaceScene scene = Scene();
    scene.referencePoint = -1;
    const CMorphospaceGroup::Marker markers[] = {
        CMorphospaceGroup::Circle, CMorphospaceGroup::Square, CMorphospaceGroup::Triangle,
        CMorphospaceGroup::Diamond};
    scene.groups.clear();
    for (int p = 0; p < 4; ++p)
        scene.groups.push_back({std::to_string(p), RGB(10 + p, 0, 0), markers[p], {p}});
    CRecordingDC dc;
    DrawMorphospacePicture(dc, scene, {0, 0, 900, 600});
    auto count = [&dc](Kind kind, ColorRef color) {
        int n = 0;
        for (const Op& op : dc.OpsOfKind(kind))
            n += kind == Kind::Line
                     ? op.pen.color == color && op.pen.width > 0
                     : op.brush.color == color && op.brush.style == BrushStyle::Solid;
        return n;
    };
    // Each group also has its marker in the legend and its mean as a cross of two lines.
    EXPECT_EQ(count(Kind::Ellipse, RGB(10, 0, 0)), 2);
    EXPECT_EQ(count(Kind::Rectangle, RGB(11, 0, 0)), 2);
    EXPECT_EQ(count(Kind::Line, RGB(12, 0, 0)), 2 * 3 + 2);
    EXPECT_EQ(count(Kind::Line, RGB(13, 0, 0)), 2 * 4 + 2);
}

struct CAreaCase {
    int width;
    int height;
    int dpi;
    bool mean;
};

class MorphospaceArea : public MorphospacePicture,
                        public ::testing::WithParamInterface<CAreaCase> {};

// Whatever the size and resolution, nothing is drawn outside the area.
TEST_P(MorphospaceArea, DrawsInsideItsArea) {
    const CAreaCase& c = GetParam();
    if (c.mean)
        doc.CalculateMeanSpecimen();
    CMorphospaceScene scene = Scene();
    scene.GroupBy(CGroupField::Comment);
    CBoundsDC dc;
    dc.SetDeviceCaps(LOGPIXELSX, c.dpi);
    dc.SetDeviceCaps(LOGPIXELSY, c.dpi);
    const CRect area{40, 30, 40 + c.width, 30 + c.height};
    DrawMorphospacePicture(dc, scene, area);
    EXPECT_GE(dc.covered.left, area.left);
    EXPECT_GE(dc.covered.top, area.top);
    EXPECT_LE(dc.covered.right, area.right);
    EXPECT_LE(dc.covered.bottom, area.bottom);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MorphospaceArea,
                         ::testing::Values(CAreaCase{1200, 900, 96, false},
                                           CAreaCase{640, 420, 96, true},
                                           CAreaCase{2400, 1600, 300, true},
                                           CAreaCase{3000, 1500, 300, false}));

TEST_F(MorphospacePicture, WithoutAnalysisTheMessageStands) {
    doc.RemoveFromCluster(members[0]);
    doc.RemoveFromCluster(members[1]);
    const CMorphospaceScene scene = Scene();
    ASSERT_FALSE(scene.space);
    CRecordingDC dc;
    const CMorphospacePlot plot = DrawMorphospacePicture(dc, scene, {0, 0, 1000, 700});
    EXPECT_TRUE(plot.IsEmpty());
    std::string shown;
    for (const std::string& line : Texts(dc))
        shown += (shown.empty() ? "" : " ") + line;
    EXPECT_EQ(shown, "The morphospace needs at least 3 cluster members; the cluster has 2.");
}

// The printed page: header and footer, the picture and the variance chart with a bar label
// for each component.
TEST_F(MorphospacePicture, PrintedPageHoldsPictureAndVarianceChart) {
    const CMorphospaceScene scene = Scene();
    CRecordingDC printer(true);
    printer.SetDeviceCaps(LOGPIXELSX, 600);
    printer.SetDeviceCaps(LOGPIXELSY, 600);
    printer.SetDeviceCaps(HORZRES, 4960);
    printer.SetDeviceCaps(VERTRES, 7016);
    CPrintPageInfo page;
    PrintMorphospacePage(printer, scene, page);
    const auto texts = Texts(printer);
    for (const char* text : {"Carinova: Morphospace", "Page 1 of 1", "PC1 (92.3 %)",
                             "Explained variance", "92.3 %", "7.7 %", "PC1", "PC2"})
        EXPECT_TRUE(Has(texts, text)) << text;
}

} // namespace
