#pragma once

#include "imaging/grey_image.h"
#include "imaging/image_resolution.h"

#include <QByteArray>
#include <QImage>

#include <filesystem>
#include <optional>
#include <string>

// A valve image decoded for the trace.
struct CValveImage {
    CGreyImage grey;
    std::string format; // as Qt's image reader names it: "png", "jpeg", "tiff", "bmp", ...
    std::optional<CImageResolution> resolution;
};

// Whether the file holds an image in one of the formats read here (PNG, JPEG, TIFF, BMP, GIF,
// PBM/PGM/PPM, WebP where Qt has a plugin for it), judged by its content, not its name.
bool IsValveImageFile(const std::filesystem::path& path);

// Decodes an image through Qt's image reader into grey levels: grey images as they are, colour
// as luminance (Rec. 601 weights), transparency over white; 16 bits where the image has more
// than 8 bits a channel. Refuses, with `error` saying why: images of more than
// kMaxImagePixels (before decoding them), data the decoder cannot read, JPEG data it warns
// about (damaged entropy data) and files that end before their image data.
bool DecodeValveImage(const QByteArray& bytes, CValveImage& image, std::string& error);

// The same for a file, read once.
bool ReadValveImage(const std::filesystem::path& path, CValveImage& image, std::string& error);

// The grey levels as a picture to show: 8 or 16 bits of grey, as the image has them.
QImage GreyPicture(const CGreyImage& grey);
