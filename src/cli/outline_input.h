#pragma once

#include "model/specimen.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// Appends every specimen of an outline file (TPS, Morphosys or simple, whichever reads it) to
// `specimens`; false with a message on err when the file cannot be opened or holds none.
bool ReadOutlineFile(const std::string& path, std::vector<std::unique_ptr<CSpecimen>>& specimens,
                     std::ostream& err);
