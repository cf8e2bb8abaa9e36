#pragma once

#include "formats/specimen_reader.h"

#include <memory>
#include <string>
#include <string_view>

// The reader for a file, chosen as the document does: the first format whose test accepts the
// start of the file, in the order TPS, Morphosys, simple, then the formats of other programs:
// chain code, NTSYS, x-y list. The reader takes over the cursor; null (and the cursor left as
// it was) when no format fits.
std::unique_ptr<CSpecimenReader> CreateSpecimenReader(const std::string& path,
                                                      CLineCursor& lines);

// The same for a text the caller keeps alive as long as the reader.
std::unique_ptr<CSpecimenReader> CreateSpecimenReader(const std::string& path,
                                                      std::string_view text);

// The formats' names in that order, for messages.
const char* KnownFormatNames();
