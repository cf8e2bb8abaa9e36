#pragma once

#include "morphospace_outputs.h"

#include <iosfwd>
#include <string>
#include <vector>

struct CAnalyzeOptions {
    std::vector<std::string> files;
    std::string outDir;
    int controlPoints = 8;
    int iterations = 6;
    bool correction = true;
    std::string normalize = "area";  // none, m1m2, area, centroid
    std::string reference = "first"; // a specimen name, "first" or "mean"
    bool mean = false;
    int decimals = 4;
    CMorphospaceOptions morphospace;
};

// The "analyze" command: reads every file, approximates each specimen, puts all of them into
// the cluster, computes the mean when asked, marks the reference and writes the document, the
// data export, the pairwise tables, the pictures and the report into outDir. Returns 0 on
// success, 1 when an input or an output failed (then nothing of this run is left in outDir).
int RunAnalyze(const CAnalyzeOptions& options, std::ostream& out, std::ostream& err);

// Normalisation mode for its command-line name; -1 when unknown.
int NormalizeModeOf(const std::string& name);
