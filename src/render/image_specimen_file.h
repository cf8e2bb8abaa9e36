#pragma once

#include "formats/specimen_file.h"
#include "formats/tps_outline_writer.h"
#include "imaging/valve_tracer.h"
#include "valve_image_reader.h"

#include <optional>
#include <string>
#include <vector>

// How the valves of an image file are traced: the trace's options, and the size of a pixel in
// units (millimetres) when the user gives it; otherwise the image's own resolution, if any.
struct CImageTraceSettings {
    CTraceOptions trace;
    std::optional<float> scale;
};

// One image file traced, as an outline file is read: its specimens with what was left out or
// noted (`file`), and their outlines as a TPS file holds them (`outlines`).
struct CTracedImageFile {
    CSpecimenFile file;
    std::vector<CTpsOutline> outlines;
    CTraceResult trace;
};

CTracedImageFile TraceImageFile(const std::string& path, const CImageTraceSettings& settings);
// The same for an image already decoded from the file at `path`.
CTracedImageFile TraceValveImage(const std::string& path, const CValveImage& image,
                                 const CImageTraceSettings& settings);

// Whether an input named by a user is an image to trace rather than an outline file: a regular
// file (never a pipe, which could be read only once) whose content is an image.
bool IsImageInput(const std::string& path);
