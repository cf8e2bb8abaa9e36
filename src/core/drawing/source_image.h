#pragma once

#include "model/specimen.h"

#include <filesystem>
#include <string>

// Where the image a specimen was traced or digitised from may be found: a specimen traced here
// names the image as its file; otherwise its `ImageFile` (reduced to the name after the last
// `/` or `\`, as tpsDig may store a Windows path) beside the document, then beside the outline
// file. Empty when none of them is a regular file.
std::filesystem::path FindSourceImage(const CSpecimen& specimen, const std::string& documentPath);

// An affine map: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct CAffineMap {
    double m11 = 1.0, m12 = 0.0, m21 = 0.0, m22 = 1.0, dx = 0.0, dy = 0.0;
};

// From the pixels of the specimen's image (x right, y down from the top-left corner, `height`
// rows) to the coordinates the specimen is drawn in: tpsDig's coordinates (pixels up from the
// bottom-left corner), times 1000 x the scale when the specimen has one, then the specimen's
// own transformation onto its centroid and main axes when it applies.
CAffineMap ImageToSpecimenMap(const CSpecimen& specimen, int height);
