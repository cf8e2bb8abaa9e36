// Valve images decoded for the trace: the formats, grey from colour and transparency, the
// refusals of cut, damaged and oversized files, the resolution, and the real silhouettes.
#include "imaging/valve_tracer.h"
#include "support/valve_raster.h"
#include "valve_image_reader.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

QImage DrawnValve(QImage::Format format = QImage::Format_Grayscale8) {
    raster::ValveShape shape;
    shape.cx = 100.4;
    shape.cy = 70.2;
    shape.length = 150;
    shape.height = 80;
    const std::vector<double> levels =
        raster::Blend(raster::Coverage({raster::ValvePolygon(shape)}, 200, 140), 230, 35);
    QImage image(200, 140, QImage::Format_Grayscale8);
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 200; ++x)
            image.scanLine(y)[x] = static_cast<uchar>(std::lround(levels[static_cast<std::size_t>(y) * 200 + x]));
    return image.convertToFormat(format);
}

QByteArray Encode(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, quality)) << format;
    return bytes;
}

std::vector<std::uint16_t> Levels(const QImage& grey8) {
    std::vector<std::uint16_t> levels;
    for (int y = 0; y < grey8.height(); ++y)
        for (int x = 0; x < grey8.width(); ++x)
            levels.push_back(grey8.constScanLine(y)[x]);
    return levels;
}

CGreyImage ToGreyForTest(const QImage& grey8) {
    CGreyImage image;
    image.width = grey8.width();
    image.height = grey8.height();
    image.levels = Levels(grey8);
    return image;
}

class LosslessFormatTest : public ::testing::TestWithParam<const char*> {};

TEST_P(LosslessFormatTest, GivesTheLevelsThatWereSaved) {
    const QImage image = DrawnValve();
    CValveImage decoded;
    std::string error;
    ASSERT_TRUE(DecodeValveImage(Encode(image, GetParam()), decoded, error)) << error;
    EXPECT_EQ(decoded.format, GetParam() == std::string("jpg") ? "jpeg" : GetParam());
    EXPECT_EQ(decoded.grey.bitDepth, 8);
    EXPECT_EQ(decoded.grey.levels, Levels(image));
}

INSTANTIATE_TEST_SUITE_P(Formats, LosslessFormatTest, ::testing::Values("png", "bmp", "tiff", "pgm"));

TEST(DecodeValveImage, JpegTracesLikeTheDrawing) {
    CValveImage decoded;
    std::string error;
    ASSERT_TRUE(DecodeValveImage(Encode(DrawnValve(), "jpeg", 90), decoded, error)) << error;
    const CTraceResult plain = TraceValves(ToGreyForTest(DrawnValve()), {});
    const CTraceResult jpeg = TraceValves(decoded.grey, {});
    ASSERT_EQ(jpeg.valves.size(), 1u);
    EXPECT_NEAR(jpeg.valves[0].area / plain.valves.at(0).area, 1.0, 0.005);
}

TEST(DecodeValveImage, SixteenBitsStaySixteen) {
    QImage image(3, 2, QImage::Format_Grayscale16);
    const std::uint16_t values[6] = {0, 1, 257, 40000, 65534, 65535};
    for (int i = 0; i < 6; ++i)
        reinterpret_cast<std::uint16_t*>(image.scanLine(i / 3))[i % 3] = values[i];
    for (const char* format : {"png", "tiff"}) {
        CValveImage decoded;
        std::string error;
        ASSERT_TRUE(DecodeValveImage(Encode(image, format), decoded, error)) << format << error;
        EXPECT_EQ(decoded.grey.bitDepth, 16) << format;
        EXPECT_EQ(decoded.grey.levels, std::vector<std::uint16_t>(values, values + 6)) << format;
    }
}

TEST(DecodeValveImage, ColourAsLuminanceAndTransparencyOverWhite) {
    QImage image(4, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(1, 0, qRgba(10, 200, 30, 255));
    image.setPixel(2, 0, qRgba(0, 0, 0, 0));     // transparent: the white under it
    image.setPixel(3, 0, qRgba(0, 0, 0, 128));   // half covering white
    CValveImage decoded;
    std::string error;
    ASSERT_TRUE(DecodeValveImage(Encode(image, "png"), decoded, error)) << error;
    const auto y = [](double r, double g, double b) { return 0.299 * r + 0.587 * g + 0.114 * b; };
    EXPECT_EQ(decoded.grey.levels[0], std::lround(y(255, 0, 0)));
    EXPECT_EQ(decoded.grey.levels[1], std::lround(y(10, 200, 30)));
    EXPECT_EQ(decoded.grey.levels[2], 255);
    EXPECT_EQ(decoded.grey.levels[3], std::lround(255.0 * (255 - 128) / 255));
}

TEST(DecodeValveImage, ResolutionOfTheFile) {
    QImage image = DrawnValve();
    image.setDotsPerMeterX(10000); // 0.1 mm a pixel
    image.setDotsPerMeterY(10000);
    CValveImage decoded;
    std::string error;
    ASSERT_TRUE(DecodeValveImage(Encode(image, "png"), decoded, error)) << error;
    ASSERT_TRUE(decoded.resolution.has_value());
    EXPECT_DOUBLE_EQ(decoded.resolution->millimetresPerPixel, 0.1);
}

struct SRefusal {
    const char* name;
    QByteArray bytes;
    const char* why;
    friend void PrintTo(const SRefusal& c, std::ostream* os) { *os << c.name; }
};

class RefusedImageTest : public ::testing::TestWithParam<SRefusal> {};

TEST_P(RefusedImageTest, SaysWhy) {
    CValveImage decoded;
    std::string error;
    EXPECT_FALSE(DecodeValveImage(GetParam().bytes, decoded, error));
    EXPECT_NE(error.find(GetParam().why), std::string::npos) << error;
}

QByteArray Cut(const QByteArray& bytes, double share) {
    return bytes.left(static_cast<qsizetype>(bytes.size() * share));
}

// A restart marker where the entropy-coded data has none: the decoder warns and fills in what
// it cannot read.
QByteArray DamagedJpeg() {
    QByteArray bytes = Encode(DrawnValve(), "jpeg", 90);
    const qsizetype middle = bytes.size() * 2 / 3;
    bytes[middle] = static_cast<char>(0xFF);
    bytes[middle + 1] = static_cast<char>(0xD3);
    return bytes;
}

// A BMP header announcing 15000 x 15000 pixels (Qt reads up to 16384 a side), and no pixels.
QByteArray HugeBmp() {
    QByteArray bytes(54, '\0');
    const auto put = [&](int at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes[at + k] = static_cast<char>(v >> (8 * k));
    };
    bytes[0] = 'B', bytes[1] = 'M';
    put(2, 54 + 15000u * 15000u * 3u), put(10, 54), put(14, 40), put(18, 15000), put(22, 15000);
    bytes[26] = 1, bytes[28] = 24;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedImageTest,
    ::testing::Values(
        SRefusal{"CutPng", Cut(Encode(DrawnValve(), "png"), 0.6), "cannot be decoded"},
        SRefusal{"CutJpeg", Cut(Encode(DrawnValve(), "jpeg"), 0.6), "cut short"},
        SRefusal{"CutTiff", Cut(Encode(DrawnValve(), "tiff"), 0.6), "cannot be decoded"},
        SRefusal{"CutBmp", Cut(Encode(DrawnValve(), "bmp"), 0.6), "cut short"},
        SRefusal{"DamagedJpeg", DamagedJpeg(), "the JPEG data is damaged"},
        SRefusal{"HugeBmp", HugeBmp(), "225000000 pixels, more than the 200 million"},
        SRefusal{"OutlineText", QByteArray("LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n1 0\n0 1\n"),
                 "not an image"},
        SRefusal{"Empty", QByteArray(), "not an image"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadValveImage, MissingFileSaysSo) {
    CValveImage decoded;
    std::string error;
    EXPECT_FALSE(ReadValveImage("/nonexistent/valve.png", decoded, error));
    EXPECT_EQ(error, "cannot open file: No such file or directory");
}

// The real silhouettes: one closed outline each, enclosing as many pixels as are dark; the
// spur of borders.jpg, which reaches the image's edge, is a thin part of the outline or
// opened away, never a second outline.
class RealImageTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RealImageTest, OneOutlineEnclosingTheDarkPixels) {
    const std::filesystem::path path = std::filesystem::path(CARINOVA_IMAGE_DATA_DIR) / GetParam();
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << path << " is not there";
    CValveImage image;
    std::string error;
    ASSERT_TRUE(ReadValveImage(path, image, error)) << error;
    for (const int radius : {0, 2}) {
        CTraceOptions options;
        options.openingRadius = radius;
        const CTraceResult result = TraceValves(image.grey, options);
        ASSERT_EQ(result.valves.size(), 1u) << result.failure;
        std::int64_t dark = 0;
        for (const std::uint16_t v : image.grey.levels)
            dark += v <= result.threshold;
        EXPECT_NEAR(result.valves[0].area / static_cast<double>(dark), 1.0, 0.01) << radius;
        const bool spur = GetParam() == std::string("borders.jpg") && radius == 0;
        EXPECT_EQ(result.valves[0].touchesBorder, spur) << radius;
    }
}

INSTANTIATE_TEST_SUITE_P(Silhouettes, RealImageTest,
                         ::testing::Values("beer_chimay.jpg", "borders.jpg", "rvb.jpg", "whisky_jb.jpg"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
