#pragma once

#include "formats/specimen_reader.h"

#include <memory>
#include <string>

// The reader for a file, chosen as the document does: the first format whose test accepts the
// file, in the order TPS, Morphosys, simple. Null when none does.
std::unique_ptr<CSpecimenReader> CreateSpecimenReader(const std::string& path);
