#include "imaging/image_resolution.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

// Bounds-checked reads of the file's bytes. A read beyond them gives 0 and marks the view as
// overrun: what was read from a cut header is not trusted.
class CByteView {
public:
    CByteView(std::span<const std::uint8_t> bytes, bool bigEndian = true)
        : bytes_(bytes), big_(bigEndian) {}
    std::size_t Size() const { return bytes_.size(); }
    bool Has(std::size_t at, std::size_t n) const { return at <= bytes_.size() && n <= bytes_.size() - at; }
    std::uint32_t U8(std::size_t at) const {
        if (Has(at, 1))
            return bytes_[at];
        overrun_ = true;
        return 0;
    }
    bool Overrun() const { return overrun_; }
    std::uint32_t U16(std::size_t at) const {
        return big_ ? U8(at) << 8 | U8(at + 1) : U8(at + 1) << 8 | U8(at);
    }
    std::uint32_t U32(std::size_t at) const {
        return big_ ? U16(at) << 16 | U16(at + 2) : U16(at + 2) << 16 | U16(at);
    }
    bool Matches(std::size_t at, std::string_view text) const {
        return Has(at, text.size()) && std::memcmp(bytes_.data() + at, text.data(), text.size()) == 0;
    }
    std::string_view Text(std::size_t at, std::size_t n) const {
        if (!Has(at, n)) {
            overrun_ = true;
            return {};
        }
        return {reinterpret_cast<const char*>(bytes_.data() + at), n};
    }
    CByteView Sub(std::size_t at) const {
        return {Has(at, 0) ? bytes_.subspan(at) : std::span<const std::uint8_t>{}, big_};
    }
    void SetBigEndian(bool big) { big_ = big; }

private:
    std::span<const std::uint8_t> bytes_;
    bool big_;
    mutable bool overrun_ = false;
};

std::optional<CImageResolution> Unless(bool overrun, std::optional<CImageResolution> r) {
    return overrun ? std::nullopt : r;
}

std::string Number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

std::optional<CImageResolution> Resolution(double pixelsPerUnit, double unitMillimetres,
                                           const std::string& stated) {
    if (!(pixelsPerUnit > 0.0) || !std::isfinite(pixelsPerUnit))
        return std::nullopt;
    const double mm = unitMillimetres / pixelsPerUnit;
    if (!(mm > 0.0) || !std::isfinite(mm))
        return std::nullopt;
    return CImageResolution{mm, stated};
}

std::optional<CImageResolution> PerInch(double dpi) {
    return Resolution(dpi, 25.4, Number(dpi) + " dpi");
}
std::optional<CImageResolution> PerCentimetre(double dpcm) {
    return Resolution(dpcm, 10.0, Number(dpcm) + " pixels per cm");
}

// ImageJ keeps the unit of its calibration in the description: "unit=micron".
double ImageJUnitMillimetres(std::string_view description, std::string& name) {
    const std::size_t at = description.find("unit=");
    if (at == std::string_view::npos)
        return 0.0;
    std::string_view unit = description.substr(at + 5);
    unit = unit.substr(0, std::min(unit.find('\n'), unit.find('\0')));
    static const std::array<std::pair<std::string_view, double>, 10> kUnits = {{
        {"micron", 1e-3}, {"um", 1e-3}, {"\xc2\xb5m", 1e-3}, {"\xb5m", 1e-3}, {"nm", 1e-6},
        {"mm", 1.0}, {"cm", 10.0}, {"inch", 25.4}, {"meter", 1000.0}, {"m", 1000.0},
    }};
    for (const auto& [text, mm] : kUnits) {
        if (unit == text) {
            name = text == "\xb5m" ? "\xc2\xb5m" : std::string(text);
            return mm;
        }
    }
    return 0.0;
}

std::optional<CImageResolution> FromTiff(CByteView tiff) {
    if (tiff.Matches(0, "II*"))
        tiff.SetBigEndian(false);
    else if (!tiff.Matches(0, std::string_view("MM\0*", 4)))
        return std::nullopt;
    const std::size_t ifd = tiff.U32(4);
    const std::size_t count = tiff.U16(ifd);
    double resolution = 0.0;
    std::uint32_t unit = 2; // inches unless stated
    std::string_view description;
    for (std::size_t i = 0; i < count && tiff.Has(ifd + 2 + 12 * i, 12); ++i) {
        const std::size_t entry = ifd + 2 + 12 * i;
        const std::uint32_t tag = tiff.U16(entry);
        const std::uint32_t type = tiff.U16(entry + 2);
        const std::uint32_t n = tiff.U32(entry + 4);
        if (tag == 282 && type == 5) { // XResolution, a rational
            const std::size_t at = tiff.U32(entry + 8);
            const std::uint32_t den = tiff.U32(at + 4);
            if (tiff.Has(at, 8) && den != 0)
                resolution = static_cast<double>(tiff.U32(at)) / den;
        } else if (tag == 296 && type == 3) { // ResolutionUnit
            unit = tiff.U16(entry + 8);
        } else if (tag == 270 && type == 2) { // ImageDescription
            description = n <= 4 ? tiff.Text(entry + 8, n) : tiff.Text(tiff.U32(entry + 8), n);
        }
    }
    std::string unitName;
    if (const double mm = ImageJUnitMillimetres(description, unitName); mm > 0.0)
        return Unless(tiff.Overrun(),
                      Resolution(resolution, mm, Number(resolution) + " pixels per " + unitName));
    if (unit == 2)
        return Unless(tiff.Overrun(), PerInch(resolution));
    if (unit == 3)
        return Unless(tiff.Overrun(), PerCentimetre(resolution));
    return std::nullopt; // no absolute unit
}

std::optional<CImageResolution> FromPng(const CByteView& png) {
    std::size_t at = 8;
    while (png.Has(at, 8)) {
        const std::size_t length = png.U32(at);
        if (png.Matches(at + 4, "pHYs") && length >= 9 && png.U8(at + 16) == 1)
            return Unless(png.Overrun(), Resolution(png.U32(at + 8), 1000.0,
                                                    Number(png.U32(at + 8)) + " pixels per metre"));
        if (png.Matches(at + 4, "IDAT") || png.Matches(at + 4, "IEND"))
            break;
        at += 12 + length;
    }
    return std::nullopt;
}

std::optional<CImageResolution> FromJpeg(const CByteView& jpeg) {
    std::optional<CImageResolution> exif;
    std::size_t at = 2;
    while (jpeg.Has(at, 4) && jpeg.U8(at) == 0xFF) {
        const std::uint32_t marker = jpeg.U8(at + 1);
        if (marker == 0xDA || marker == 0xD9) // the image data: no header follows
            break;
        const std::size_t length = jpeg.U16(at + 2);
        if (marker == 0xE0 && jpeg.Matches(at + 4, std::string_view("JFIF\0", 5))) {
            const std::uint32_t units = jpeg.U8(at + 11);
            const double density = jpeg.U16(at + 12);
            if (units == 1)
                return Unless(jpeg.Overrun(), PerInch(density));
            if (units == 2)
                return Unless(jpeg.Overrun(), PerCentimetre(density));
        } else if (marker == 0xE1 && !exif &&
                   jpeg.Matches(at + 4, std::string_view("Exif\0\0", 6))) {
            exif = FromTiff(jpeg.Sub(at + 10));
        }
        at += 2 + length;
    }
    return exif;
}

std::optional<CImageResolution> FromBmp(CByteView bmp) {
    bmp.SetBigEndian(false);
    if (bmp.U32(14) < 40) // an old header without a resolution
        return std::nullopt;
    const std::uint32_t ppm = bmp.U32(38);
    if (ppm == 0 || ppm > 0x7FFFFFFF)
        return std::nullopt;
    return Unless(bmp.Overrun(), Resolution(ppm, 1000.0, Number(ppm) + " pixels per metre"));
}

} // namespace

std::optional<CImageResolution> ReadImageResolution(std::span<const std::uint8_t> bytes) {
    const CByteView view(bytes);
    if (view.Matches(0, "\x89PNG\r\n\x1a\n"))
        return FromPng(view);
    if (view.U8(0) == 0xFF && view.U8(1) == 0xD8)
        return FromJpeg(view);
    if (view.Matches(0, "II*") || view.Matches(0, std::string_view("MM\0*", 4)))
        return FromTiff(view);
    if (view.Matches(0, "BM"))
        return FromBmp(view);
    return std::nullopt;
}
