#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The size of a pixel as an image file states it: the resolution of a PNG (pHYs), a JPEG
// (JFIF density, else the Exif resolution), a TIFF (resolution tags, or the unit that ImageJ
// writes into the description) or a BMP header. Only the horizontal resolution is taken, as a
// TPS scale has one value.
struct CImageResolution {
    double millimetresPerPixel = 0.0;
    std::string stated; // as the file states it: "300 dpi", "2.5 pixels per micron"
};

// Nothing when the file states no resolution, or only an aspect ratio, or one that is not a
// positive finite number. Reads only within `bytes`, whatever they hold.
std::optional<CImageResolution> ReadImageResolution(std::span<const std::uint8_t> bytes);
