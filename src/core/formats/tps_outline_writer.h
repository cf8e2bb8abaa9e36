#pragma once

#include "model/fpoint.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// One outline as a TPS file holds it: points in the file's units (pixels of its image) and
// the keyword lines after them.
struct CTpsOutline {
    std::vector<FPoint> points;
    std::string image;
    std::string identifier;
    std::optional<float> scale; // units per pixel
};

// The outlines as one TPS file, a specimen each with no landmarks and one outline. Numbers are
// written as the shortest decimals that read back as the same floats, so that sub-pixel
// outlines and their scale survive the file exactly. Lines end with CR LF.
std::string TpsOutlinesText(const std::vector<CTpsOutline>& outlines);

// Writes that text; the previous file at the path is replaced only when everything was
// written, otherwise `error` says why.
bool WriteTpsOutlines(const std::vector<CTpsOutline>& outlines, const std::filesystem::path& path,
                      std::string& error);
