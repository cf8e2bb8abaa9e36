// Resolutions read from hand-assembled file headers; every cut of them reads safely.
#include "imaging/image_resolution.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CBytes {
public:
    explicit CBytes(bool bigEndian = true) : big_(bigEndian) {}
    CBytes& Text(std::string_view s) {
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        return *this;
    }
    CBytes& U8(std::uint32_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    CBytes& U16(std::uint32_t v) { return big_ ? U8(v >> 8).U8(v) : U8(v).U8(v >> 8); }
    CBytes& U32(std::uint32_t v) { return big_ ? U16(v >> 16).U16(v) : U16(v).U16(v >> 16); }
    CBytes& Zeros(std::size_t n) {
        bytes_.resize(bytes_.size() + n, 0);
        return *this;
    }
    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    bool big_;
};

CBytes Png(std::uint32_t perMetre, std::uint32_t unit) {
    CBytes b;
    b.Text("\x89PNG\r\n\x1a\n").U32(13).Text("IHDR").Zeros(13).U32(0);
    b.U32(9).Text("pHYs").U32(perMetre).U32(perMetre).U8(unit).U32(0);
    b.U32(0).Text("IDAT").U32(0);
    return b;
}

// A TIFF with XResolution `num`/`den`, ResolutionUnit `unit` and an optional description.
CBytes Tiff(bool big, std::uint32_t num, std::uint32_t den, std::uint32_t unit,
            std::string_view description = {}) {
    CBytes b(big);
    b.Text(big ? std::string_view("MM\0*", 4) : std::string_view("II*\0", 4)).U32(8);
    const std::uint32_t entries = description.empty() ? 2 : 3;
    const std::uint32_t data = 8 + 2 + 12 * entries + 4;
    b.U16(entries);
    if (!description.empty())
        b.U16(270).U16(2).U32(static_cast<std::uint32_t>(description.size())).U32(data + 8);
    b.U16(282).U16(5).U32(1).U32(data);
    b.U16(296).U16(3).U32(1).U16(unit).U16(0);
    b.U32(0).U32(num).U32(den).Text(description);
    return b;
}

CBytes Jpeg(std::uint32_t units, std::uint32_t density, const CBytes* exif = nullptr) {
    CBytes b;
    b.U8(0xFF).U8(0xD8);
    b.U8(0xFF).U8(0xE0).U16(16).Text(std::string_view("JFIF\0", 5)).U16(0x0101).U8(units);
    b.U16(density).U16(density).U8(0).U8(0);
    if (exif) {
        b.U8(0xFF).U8(0xE1).U16(static_cast<std::uint32_t>(2 + 6 + exif->Size()));
        b.Text(std::string_view("Exif\0\0", 6));
        for (std::uint8_t v : exif->Bytes())
            b.U8(v);
    }
    b.U8(0xFF).U8(0xDA).U16(2).U8(0xFF).U8(0xD9);
    return b;
}

CBytes Bmp(std::uint32_t perMetre) {
    CBytes b(false);
    b.Text("BM").U32(54).U32(0).U32(54).U32(40).U32(1).U32(1).U16(1).U16(24).U32(0).U32(0);
    b.U32(perMetre).U32(perMetre).U32(0).U32(0);
    return b;
}

struct SResolutionCase {
    const char* name;
    CBytes file;
    double millimetresPerPixel; // 0: none stated
    const char* stated;
    friend void PrintTo(const SResolutionCase& c, std::ostream* os) { *os << c.name; }
};

class ImageResolutionTest : public ::testing::TestWithParam<SResolutionCase> {};

TEST_P(ImageResolutionTest, ReadsWhatTheHeaderStatesAndEveryCutSafely) {
    const SResolutionCase& c = GetParam();
    const std::vector<std::uint8_t>& bytes = c.file.Bytes();
    const auto resolution = ReadImageResolution(bytes);
    if (c.millimetresPerPixel == 0.0) {
        EXPECT_FALSE(resolution.has_value());
    } else {
        ASSERT_TRUE(resolution.has_value());
        EXPECT_NEAR(resolution->millimetresPerPixel, c.millimetresPerPixel, 1e-12);
        EXPECT_EQ(resolution->stated, c.stated);
    }
    // A cut file states a resolution only if the cut left its header whole.
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const auto cut = ReadImageResolution(std::span(bytes.data(), n));
        if (cut)
            EXPECT_EQ(cut->millimetresPerPixel, resolution->millimetresPerPixel);
    }
}

const CBytes kExif = Tiff(false, 72, 1, 2);

INSTANTIATE_TEST_SUITE_P(
    Headers, ImageResolutionTest,
    ::testing::Values(
        SResolutionCase{"PngPerMetre", Png(3780, 1), 1000.0 / 3780, "3780 pixels per metre"},
        SResolutionCase{"PngAspectOnly", Png(3780, 0), 0, ""},
        SResolutionCase{"JpegDpi", Jpeg(1, 300), 25.4 / 300, "300 dpi"},
        SResolutionCase{"JpegPerCentimetre", Jpeg(2, 40), 10.0 / 40, "40 pixels per cm"},
        SResolutionCase{"JpegAspectThenExif", Jpeg(0, 1, &kExif), 25.4 / 72, "72 dpi"},
        SResolutionCase{"JpegAspectOnly", Jpeg(0, 1), 0, ""},
        SResolutionCase{"TiffLittleEndianCentimetres", Tiff(false, 254, 1, 3), 10.0 / 254,
                        "254 pixels per cm"},
        SResolutionCase{"TiffImageJMicrons",
                        Tiff(true, 5, 2, 1, "ImageJ=1.53t\nunit=micron\n"), 1e-3 / 2.5,
                        "2.5 pixels per micron"},
        SResolutionCase{"TiffNoUnit", Tiff(true, 5, 2, 1), 0, ""},
        SResolutionCase{"TiffZeroDenominator", Tiff(false, 300, 0, 2), 0, ""},
        SResolutionCase{"BmpPerMetre", Bmp(11811), 1000.0 / 11811, "11811 pixels per metre"},
        SResolutionCase{"BmpUnset", Bmp(0), 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
