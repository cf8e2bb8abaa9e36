#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A grey-level raster: `width` x `height` levels, row by row from the top-left pixel, with 8 or
// 16 significant bits. Pixel (x, y) covers the square [x, x + 1) x [y, y + 1); y grows
// downwards, as images are stored. Levels of an 8-bit image stay within 0 to 255.
struct CGreyImage {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    std::vector<std::uint16_t> levels;

    std::uint16_t Level(int x, int y) const {
        return levels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    int MaxLevel() const { return bitDepth > 8 ? 65535 : 255; }
    std::int64_t PixelCount() const { return static_cast<std::int64_t>(width) * height; }
};

// Larger images are refused: their levels alone would take 400 MB, and a hostile header must
// not make the decoder allocate what it announces.
inline constexpr std::int64_t kMaxImagePixels = 200'000'000;
