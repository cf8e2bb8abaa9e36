#pragma once

#include <iosfwd>
#include <string>

struct CMorphospaceOptions;

// The "render" command: the pictures, tables, data export and report of a saved document,
// written into outDir together with the document saved again under its own file name.
// Returns 0 on success, 1 when the document cannot be read or a result cannot be written.
int RunRender(const std::string& documentPath, const std::string& outDir, int decimals,
              const CMorphospaceOptions& morphospace, std::ostream& out, std::ostream& err);
