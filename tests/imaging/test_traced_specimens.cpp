// Traced valves as TPS outlines and as specimens: the file reads back to the same specimens,
// bit for bit, with and without a scale.
#include "formats/reader_test_support.h"
#include "imaging/traced_specimens.h"
#include "scratch_folder.h"
#include "support/valve_raster.h"

#include <gtest/gtest.h>

namespace {

TEST(TpsOutlinesText, ShortestExactNumbersAndKeywordLines) {
    CTpsOutline a;
    a.points = {{1.5f, 2.25f}, {3.0f, 4.0f}, {0.1f, 1234.567f}};
    a.image = "valves.png";
    a.scale = 0.0025f;
    CTpsOutline b;
    b.points = {{-1.0f, 0.0f}};
    b.image = "line\nbreak.png";
    b.identifier = "7";
    EXPECT_EQ(TpsOutlinesText({a, b}),
              "LM=0\r\nOUTLINES=1\r\nPOINTS=3\r\n1.5 2.25\r\n3 4\r\n0.1 1234.567\r\n"
              "IMAGE=valves.png\r\nID=\r\nSCALE=0.0025\r\n"
              "LM=0\r\nOUTLINES=1\r\nPOINTS=1\r\n-1 0\r\nIMAGE=line break.png\r\nID=7\r\n");
}

class TracedSpecimensTest : public ::testing::TestWithParam<std::optional<float>> {};

TEST_P(TracedSpecimensTest, TheirFileReadsBackToTheSameSpecimens) {
    constexpr int kWidth = 400;
    constexpr int kHeight = 160;
    std::vector<raster::Polygon> valves;
    for (const double cx : {80.3, 205.1, 321.7}) {
        raster::ValveShape shape;
        shape.cx = cx;
        shape.cy = 81.4;
        shape.length = 100;
        shape.height = 60;
        valves.push_back(raster::ValvePolygon(shape, 2000));
    }
    const CGreyImage image = raster::Quantize(
        raster::Blend(raster::Coverage(valves, kWidth, kHeight), 225, 30), kWidth, kHeight);
    const CTraceResult result = TraceValves(image, {});
    ASSERT_EQ(result.valves.size(), 3u);

    const CTracedImage traced{"/data/photos/valves.png", kHeight, GetParam()};
    const std::vector<CTpsOutline> outlines = TracedOutlines(result, traced);
    const SpecimenList specimens = TracedSpecimens(outlines, traced.path);
    ASSERT_EQ(specimens.size(), 3u);
    // tpsDig's coordinates: y from the bottom, so the anticlockwise order stays as traced.
    const FPoint first = result.valves[0].outline.front();
    EXPECT_EQ(outlines[0].points.front(), FPoint(first.x, kHeight - first.y));
    EXPECT_EQ(specimens[1]->ShortPathName, "valves.png (2)");
    EXPECT_EQ(specimens[2]->ImageFile, "valves.png");

    CScratchFolder folder;
    const std::filesystem::path file = folder.Path() / "valves.tps";
    std::string error;
    ASSERT_TRUE(WriteTpsOutlines(outlines, file, error)) << error;
    const SpecimenList read = ReadAllDetected(file.string());
    ASSERT_EQ(read.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(PointsText(read[i]->Contour), PointsText(specimens[i]->Contour)) << i;
        EXPECT_EQ(read[i]->ImageFile, specimens[i]->ImageFile);
        EXPECT_EQ(read[i]->ScaleSpecified, GetParam().has_value());
        EXPECT_EQ(read[i]->ScaleFactor, specimens[i]->ScaleFactor);
        EXPECT_EQ(read[i]->Centroid, specimens[i]->Centroid);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, TracedSpecimensTest,
                         ::testing::Values(std::nullopt, std::optional<float>(0.00123f),
                                           std::optional<float>(2.5f)));

} // namespace
