#pragma once

#include "morphospace_outputs.h"
#include "output_options.h"

#include <iosfwd>
#include <string>

struct CRenderOptions {
    std::string documentPath;
    std::string outDir;
    int decimals = 4;
    COutputRequest outputs;
    CMorphospaceOptions morphospace;
    bool terminal = false; // progress redrawn on a terminal, else one line per stage
};

// The "render" command: the pictures, tables, data export and report of a saved document,
// written into outDir together with the document saved again under its own file name (never
// over the document itself: that is refused as a usage error). See exit_status.h.
int RunRender(const CRenderOptions& options, std::ostream& out, std::ostream& err);
