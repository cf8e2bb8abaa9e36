#pragma once

#include "formats/specimen_reader.h"

#include <memory>
#include <string>
#include <string_view>

// The reader for a file's text, chosen as the document does: the first format whose test
// accepts the text, in the order TPS, Morphosys, simple, then the formats of other programs:
// chain code, NTSYS, x-y list. Null when none does. The reader reads `text`, which the caller
// keeps alive as long as the reader.
std::unique_ptr<CSpecimenReader> CreateSpecimenReader(const std::string& path,
                                                      std::string_view text);

// The formats' names in that order, for messages.
const char* KnownFormatNames();
