#pragma once

#include <QImage>

#include <filesystem>
#include <functional>
#include <string>

class CDC;

// Drawing code renders into files through these helpers. Every file is written whole to a
// temporary file beside the target and renamed over it, so a failure leaves no half-written
// file; each failure returns false with a message naming the file.

using DrawFunction = std::function<void(CDC&)>;
// Draws one printed page; pages count from 1.
using PageFunction = std::function<void(CDC&, int page)>;

enum class ImageFormat { Png, Bmp };

// Screen resolution the pictures are laid out for.
constexpr int kScreenDotsPerInch = 96;

struct CPdfLayout {
    double pageWidthMm = 210.0; // A4 portrait
    double pageHeightMm = 297.0;
    int dotsPerInch = 300;
    double marginMm = 0.0; // the unprintable border; the device origin is its top-left corner
    std::string title;
};

// A white RGB image of the size with the drawing on it; a null image when the size is empty
// or too large to allocate.
QImage RenderImage(int width, int height, const DrawFunction& draw,
                   int dotsPerInch = kScreenDotsPerInch);

// PNG, or BMP with 24 bits a pixel and no colour table.
bool SaveImage(const QImage& image, const std::filesystem::path& file, ImageFormat format,
               std::string& error);

bool RenderImageFile(const std::filesystem::path& file, ImageFormat format, int width, int height,
                     const DrawFunction& draw, std::string& error);

// One page per call of `drawPage`, on a printing device context.
bool RenderPdfFile(const std::filesystem::path& file, int pageCount, const PageFunction& drawPage,
                   const CPdfLayout& layout, std::string& error);

// A picture of the size in pixels at screen resolution, on a white background, as a PDF page of
// that size: what the screen shows, drawn as on the screen (not as printed).
bool RenderPicturePdfFile(const std::filesystem::path& file, int width, int height,
                          const DrawFunction& draw, const std::string& title, std::string& error);

// A picture of the size in pixels at screen resolution, on a white background.
bool RenderSvgFile(const std::filesystem::path& file, int width, int height,
                   const DrawFunction& draw, const std::string& title, std::string& error);
