#pragma once

#include "formats/tps_outline_writer.h"
#include "imaging/valve_tracer.h"
#include "model/specimen.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Where the traced valves of one image go: their outlines as a TPS file holds them and the
// specimens they become. Coordinates follow tpsDig: pixels from the image's bottom-left
// corner, y upwards, so that the outlines keep their anticlockwise order; `ImageFile` and
// IMAGE= name the image file; the scale, in units (millimetres) per pixel, works as a TPS
// SCALE= line does.
// The file type of a specimen traced from an image; its `PathName` is the image file.
inline constexpr const char* kTracedImageFileType = "Traced image";

struct CTracedImage {
    std::string path;              // the image file
    int height = 0;                // of the image, in pixels
    std::optional<float> scale;    // units per pixel
};

std::vector<CTpsOutline> TracedOutlines(const CTraceResult& result, const CTracedImage& image);

// One specimen per outline, as a TPS reader makes it from the outlines' file: named
// "<image name>", "<image name> (2)", ..., coordinates multiplied by 1000 x the scale,
// completed (orientation, statistics, halves).
std::vector<std::unique_ptr<CSpecimen>> TracedSpecimens(const std::vector<CTpsOutline>& outlines,
                                                        const std::string& imagePath);
