#pragma once

#include "formats/specimen_file.h"

#include <optional>
#include <string>

// Where the document's Insert turns images into specimens. The core decodes no images; a front
// end that does (the desktop program, with its trace dialog) gives the document one of these.
class CImageSpecimenSource {
public:
    virtual ~CImageSpecimenSource() = default;
    // Whether the file is an image this source reads rather than an outline file.
    virtual bool IsImage(const std::string& path) = 0;
    // The specimens the image gave, with what was noted, as an outline file's reading gives
    // them; nothing when the user cancelled (the file is then passed over without a word).
    virtual std::optional<CSpecimenFile> Read(const std::string& path) = 0;
};
