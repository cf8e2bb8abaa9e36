// Traced valves as TPS outlines and as specimens: the file reads back to the same specimens,
// bit for bit, with and without a scale.
#include "drawing/source_image.h"
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

    // The image's pixels land where the specimen draws its points: each traced point, mapped,
    // is the specimen's transformed point (centred on the centroid, turned onto the axes).
    for (std::size_t i = 0; i < 3; ++i) {
        const CSpecimen& s = *specimens[i];
        const CAffineMap m = ImageToSpecimenMap(s, kHeight);
        const std::vector<FPoint>& outline = result.valves[i].outline;
        ASSERT_EQ(outline.size(), s.Contour.size());
        const double tolerance = 1e-4 * (GetParam() ? 1000.0 * *GetParam() : 1.0) * kWidth;
        for (std::size_t k = 0; k < outline.size(); k += 37) {
            const FPoint drawn = s.GetTransformedPoint(static_cast<int>(k));
            const double x = outline[k].x, y = outline[k].y;
            EXPECT_NEAR(m.m11 * x + m.m21 * y + m.dx, drawn.x, tolerance) << i << " " << k;
            EXPECT_NEAR(m.m12 * x + m.m22 * y + m.dy, drawn.y, tolerance) << i << " " << k;
        }
    }
}

// A traced specimen's image is its own file; a read one's IMAGE= name (even a Windows path) is
// looked for beside the document first, then beside its outline file.
TEST(FindSourceImage, BesideTheDocumentThenBesideTheOutlineFile) {
    CScratchFolder folder;
    for (const char* sub : {"docs", "outlines"})
        std::filesystem::create_directories(folder.Path() / sub);
    const std::string image = folder.Write("docs/v.png", "not looked into");
    const std::string besideOutline = folder.Write("outlines/v.png", "not looked into");
    CSpecimen traced;
    traced.FileType = kTracedImageFileType;
    traced.PathName = folder.Write("w.png", "");
    EXPECT_EQ(FindSourceImage(traced, ""), traced.PathName);
    CSpecimen read;
    read.PathName = (folder.Path() / "outlines/v.tps").string();
    read.ImageFile = "C:\\photos\\v.png";
    const std::string document = (folder.Path() / "docs/doc.xml").string();
    EXPECT_EQ(FindSourceImage(read, document), image);
    EXPECT_EQ(FindSourceImage(read, ""), besideOutline);
    read.ImageFile = "other.png";
    EXPECT_EQ(FindSourceImage(read, document), std::filesystem::path());
    read.ImageFile.clear();
    EXPECT_EQ(FindSourceImage(read, document), std::filesystem::path());
}

INSTANTIATE_TEST_SUITE_P(Scales, TracedSpecimensTest,
                         ::testing::Values(std::nullopt, std::optional<float>(0.00123f),
                                           std::optional<float>(2.5f)));

} // namespace
