#pragma once

#include "image_specimen_file.h"

#include <iosfwd>
#include <string>
#include <vector>

struct CTraceCommandOptions {
    std::vector<std::string> inputs; // image files, and folders whose images are all traced
    std::string output;              // the TPS file written
    CImageTraceSettings settings;
};

// The "trace" command: the valves of every image as outlines of one TPS file (OUTLINES=,
// IMAGE=, SCALE=), in the order of the inputs, a folder's images by name. One line per image
// on err says, with its count, what was found or why nothing was, so that it shows the
// progress of a long run. An image that gives nothing does not stop the others: the file is
// written with what was found and the run exits with kExitPartial; kExitFailure when no image
// gave a valve or the file cannot be written (the previous file then stays as it was).
int RunTrace(const CTraceCommandOptions& options, std::ostream& out, std::ostream& err);

// "auto" (Otsu's threshold, as -1) or a grey level from 0 to 65535; empty when `text` is one,
// else why not.
std::string ParseThreshold(const std::string& text, int& threshold);
