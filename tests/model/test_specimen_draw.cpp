#include "model/specimen.h"
#include "platform/recording_dc.h"

#include <gtest/gtest.h>

namespace {

using Kind = CRecordingDC::OpKind;

void Untransformed(CSpecimen& s, std::vector<FPoint> points) {
    s.ApplyTransformation = false;
    s.Contour = std::move(points);
}

TEST(SpecimenDraw, OnePointDrawsNothingJoinedAndOnePixelOtherwise) {
    CSpecimen s;
    Untransformed(s, {{3, 4}});
    CRecordingDC dc;
    s.Draw(dc);
    EXPECT_TRUE(dc.Ops().empty());
    s.LineJoined = false;
    s.ColorContur = RGB(10, 20, 30);
    s.Draw(dc);
    ASSERT_EQ(dc.Ops().size(), 1u);
    EXPECT_EQ(dc.Ops()[0].kind, Kind::Pixel);
    EXPECT_EQ(dc.Ops()[0].color, RGB(10, 20, 30));
}

TEST(SpecimenDraw, ClosedLineWithRoundedPointsAndRestoredPen) {
    CSpecimen s;
    Untransformed(s, {{-2.5f, 2.5f}, {10.4f, 0.5f}, {0.49f, -7.5f}});
    s.ColorContur = RGB(0, 0, 255);
    CRecordingDC dc;
    const CPen before{PenStyle::Dash, 3, RGB(1, 2, 3)};
    dc.SelectPen(before);
    s.Draw(dc);
    const auto lines = dc.OpsOfKind(Kind::Line);
    ASSERT_EQ(lines.size(), 3u);
    // Halves round away from zero: (-2.5, 2.5) -> (-3, 3), (0.5) -> 1, (-7.5) -> -8.
    EXPECT_EQ(lines[0].box, (CRect{-3, 3, 10, 1}));
    EXPECT_EQ(lines[1].box, (CRect{10, 1, 0, -8}));
    EXPECT_EQ(lines[2].box, (CRect{0, -8, -3, 3})); // the closing line back to the first point
    EXPECT_EQ(lines[0].pen, (CPen{PenStyle::Solid, 0, RGB(0, 0, 255)}));
    EXPECT_EQ(dc.GetPen(), before);
}

TEST(SpecimenDraw, PrintingUsesAOneUnitPen) {
    CSpecimen s;
    Untransformed(s, {{0, 0}, {10, 0}, {0, 10}});
    CRecordingDC printer(true);
    s.Draw(printer);
    EXPECT_EQ(printer.OpsOfKind(Kind::Line).at(0).pen.width, 1);
}

TEST(SpecimenDraw, NumbersEveryNthPoint) {
    std::vector<FPoint> points;
    for (int i = 0; i < 150; ++i)
        points.emplace_back(static_cast<float>(i), 0.0f);
    CSpecimen s;
    Untransformed(s, points);
    s.NumeratePoints = true;
    CRecordingDC dc;
    s.Draw(dc);
    const auto texts = dc.OpsOfKind(Kind::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "0");
    EXPECT_EQ(texts[1].text, "60");
    EXPECT_EQ(texts[2].text, "120");
    EXPECT_EQ(texts[2].box.left, 120);
}

TEST(SpecimenDraw, StepsBelowOneOrHugeDoNotStall) {
    CSpecimen s;
    Untransformed(s, {{0, 0}, {1, 0}, {1, 1}});
    s.NumeratePoints = true;
    for (int step : {0, -5, 2147483647}) {
        s.NumerationStep = step;
        CRecordingDC dc;
        s.Draw(dc);
        EXPECT_EQ(dc.OpsOfKind(Kind::Text).size(), step > 0 ? 1u : 3u) << step;
    }
}

} // namespace
